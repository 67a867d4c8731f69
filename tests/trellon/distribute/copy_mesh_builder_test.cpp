// The distribution's mesh builders through the build driver: counts per display mode, the order
// of the builders in the mesh, material indices, the copies' vertices and what the lighter modes
// draw. Box items have 8 vertices and 12 faces.
#include <gtest/gtest.h>

#include <set>
#include <vector>

#include "distribute/builtin_meshes.h"
#include "distribute/item_meshes.h"
#include "distribute/path_fixtures.h"
#include "distribute/placement_fixture.h"
#include "mesh.h"
#include "object/marker_mesh.h"
#include "object/placeholder_mesh.h"

using namespace trellon;

namespace {

using path_fixtures::Near;
using placement_test::PlacementScene;
using placement_test::Straight;

class DistributionMesh : public PlacementScene {
protected:
    Mesh& Build(int mode) {
        Set(Display_Mode, mode);
        s.object->BuildMesh(0);
        return s.object->mesh;
    }
    std::vector<int> MaterialRuns(const Mesh& m) {
        std::vector<int> runs;
        for (int f = 0; f < m.getNumFaces(); ++f) {
            const int id = m.faces[f].getMatID();
            if (runs.empty() || runs.back() != id) runs.push_back(id);
        }
        return runs;
    }
};

struct ModeCase {
    int mode;
    int kind;
    int verts, faces;  // per copy
};

class BuilderPerMode : public DistributionMesh, public ::testing::WithParamInterface<ModeCase> {};

// 11 copies on a path of 1000 at spacing 100: of the box, its proxy or its pyramid by the
// mode; of a light, the marker whatever the mode keeps of boxes.
TEST_P(BuilderPerMode, ElevenCopiesOfTheModesMesh) {
    SetPath({Straight(1000)});
    AddItem(Object_Nodes, 2.0f, GetParam().kind);
    const Mesh& m = Build(GetParam().mode);
    EXPECT_EQ(m.getNumVerts(), 11 * GetParam().verts);
    EXPECT_EQ(m.getNumFaces(), 11 * GetParam().faces);
    for (int f = 0; f < m.getNumFaces(); ++f) {
        ASSERT_EQ(m.faces[f].getMatID(), 1);
        for (int c = 0; c < 3; ++c) ASSERT_LT(int(m.faces[f].v[c]), m.getNumVerts());
    }
}

INSTANTIATE_TEST_SUITE_P(
    Modes, BuilderPerMode,
    ::testing::Values(ModeCase{6, 0, 8, 12},
                      ModeCase{5, 0, trellon::kProxyVerts, trellon::kProxyFaces},
                      ModeCase{4, 0, 5, 4},
                      ModeCase{4, 1, trellon::kMarkerVertexCount, trellon::kMarkerFaceCount}));

TEST_F(DistributionMesh, CopiesAreTheItemThroughTheirTransforms) {
    SetPath({Straight(1000)});
    AddItem();
    const Mesh& m = Build(6);
    ASSERT_EQ(m.getNumVerts(), 88);
    // Box vertex i is (i&1, i&2, i&4) * 2; turned to face +X, (x, y, z) -> (-y, x, z), then
    // moved 100 per copy. Faces refer to their own copy's eight vertices.
    for (int j = 0; j < 11; ++j) {
        for (int i = 0; i < 8; ++i) {
            const Point3 v(i & 1 ? 2.0f : 0.0f, i & 2 ? 2.0f : 0.0f, i & 4 ? 2.0f : 0.0f);
            EXPECT_TRUE(Near(m.verts[8 * j + i], Point3(100.0f * j - v.y, v.x, v.z), 1e-3f));
        }
        for (int f = 12 * j; f < 12 * j + 12; ++f) {
            for (int c = 0; c < 3; ++c) {
                EXPECT_GE(int(m.faces[f].v[c]), 8 * j);
                EXPECT_LT(int(m.faces[f].v[c]), 8 * j + 8);
            }
        }
    }
}

TEST_F(DistributionMesh, EndObjectsFirstThenPostsThenTheDistribution) {
    SetPath({Straight(200)});
    AddItem();            // item 0: material 1
    AddItem(Post_Nodes);  // item 1: material 2
    AddItem(End_Nodes);   // item 2: material 3
    Set(KnotSpacing, 1000.0f);
    const Mesh& m = Build(6);
    // 2 end objects, 2 posts, 3 objects.
    EXPECT_EQ(m.getNumFaces(), 7 * 12);
    EXPECT_EQ(MaterialRuns(m), (std::vector<int>{3, 2, 1}));
}

TEST_F(DistributionMesh, PlaceholderStaysInFrontWithShowLogo) {
    SetPath({Straight(1000)});
    AddItem();
    Set(Show_Logo, 1);
    const Mesh& m = Build(6);
    EXPECT_EQ(m.getNumVerts(), trellon::PlaceholderVertexCount() + 88);
    EXPECT_EQ(m.getNumFaces(), trellon::PlaceholderFaceCount() + 132);
    EXPECT_EQ(MaterialRuns(m), (std::vector<int>{0, 1}));
}

TEST_F(DistributionMesh, PyramidFromTheStoredBox) {
    SetPath({Straight(100)});
    AddItem(Object_Nodes, 4.0f);
    const Mesh& m = Build(4);
    ASSERT_EQ(m.getNumVerts(), 10);
    // Apex (0, 0, 4) of the first copy at the path start; base corners 2 off the axis.
    EXPECT_TRUE(Near(m.verts[4], Point3(0.0f, 0.0f, 4.0f), 1e-4f));
    EXPECT_TRUE(Near(m.verts[0], Point3(2.0f, -2.0f, 0.0f), 1e-4f));
    for (int f = 0; f < 4; ++f) EXPECT_EQ(m.faces[f].flags & EDGE_ALL, EDGE_ALL);
}

TEST_F(DistributionMesh, ItemWithoutGeometryAddsNothing) {
    SetPath({Straight(1000)});
    AddItem();
    INode* path = s.pb->GetINode(Spline_Obj, 0);
    s.pb->SetValue(Object_Nodes, 0, path, 0);  // a shape: no triangle mesh
    EXPECT_EQ(Build(6).getNumVerts(), 0);
}

struct MaterialCase {
    int item;
    MtlID id;
};

class ItemMaterial : public ::testing::TestWithParam<MaterialCase> {};

TEST_P(ItemMaterial, ItemPlusOneWithinTheTwentySixColours) {
    EXPECT_EQ(trellon::MaterialForItem(GetParam().item), GetParam().id);
}

INSTANTIATE_TEST_SUITE_P(Table, ItemMaterial,
                         ::testing::Values(MaterialCase{0, 1}, MaterialCase{24, 25},
                                           MaterialCase{25, 26}, MaterialCase{26, 1},
                                           MaterialCase{52, 1}, MaterialCase{-1, 0}));

// Every edge of a closed mesh is shared by exactly two faces that run along it in opposite
// directions, and every face turns its front away from the mesh's centre.
TEST(ProxyMesh, ClosedOutwardFacingWithItsCounts) {
    const trellon::TriangleMesh& m = trellon::ProxyMesh();
    ASSERT_EQ(int(m.verts.size()), trellon::kProxyVerts);
    ASSERT_EQ(int(m.faces.size()), trellon::kProxyFaces);
    std::set<std::pair<DWORD, DWORD>> edges;
    for (const Face& f : m.faces) {
        for (int e = 0; e < 3; ++e) {
            EXPECT_TRUE(edges.insert({f.v[e], f.v[(e + 1) % 3]}).second);
        }
        const Point3 a = m.verts[f.v[0]], b = m.verts[f.v[1]], c = m.verts[f.v[2]];
        const Point3 n = CrossProd(b - a, c - b);
        EXPECT_GT(DotProd(n, (a + b + c) / 3.0f), 0.0f);
    }
    for (const auto& e : edges) EXPECT_EQ(edges.count({e.second, e.first}), 1u);
    // Within 0.643 x 0.357 x 1 about the origin.
    for (const Point3& v : m.verts) {
        EXPECT_LE(std::fabs(v.x), 0.9f / 2.8f + 1e-5f);
        EXPECT_LE(std::fabs(v.y), 0.5f / 2.8f + 1e-5f);
        EXPECT_LE(std::fabs(v.z), 0.5f + 1e-5f);
    }
}

}  // namespace
