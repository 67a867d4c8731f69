// The built-in meshes: the placeholder (a fence panel of seven boxes) and the light marker (the
// bulb outline turned eight times about Z), and the mesh growth of the builder contract.
#include <gtest/gtest.h>

#include <limits>

#include "mesh.h"
#include "object/marker_mesh.h"
#include "object/mesh_builder.h"
#include "object/placeholder_mesh.h"
#include "support/near.h"

using namespace trellon;

namespace {

// Seven boxes of 8 corners and 6 sides of 2 triangles each.
constexpr int kVerts = 7 * 8;
constexpr int kFaces = 7 * 12;

struct ScaleCase {
    float logoSize;
    float scale;
};

class PlaceholderScaleTest : public ::testing::TestWithParam<ScaleCase> {};

// At size 1 the panel spans [-0.5, 0.5] in X and Z (the posts' outer faces, their tops and
// bottoms) and [-0.05, 0.05] in Y (the posts' thickness); every coordinate scales with s.
TEST_P(PlaceholderScaleTest, BoundingBoxScalesWithTheClampedSize) {
    const ScaleCase& c = GetParam();
    EXPECT_FLOAT_EQ(trellon::PlaceholderScale(c.logoSize), c.scale);
    Mesh mesh;
    ASSERT_TRUE(trellon::AppendPlaceholderMesh(mesh, c.logoSize));
    EXPECT_EQ(mesh.getNumVerts(), kVerts);
    EXPECT_EQ(mesh.getNumFaces(), kFaces);
    const Point3 half = Point3(0.5f, 0.05f, 0.5f) * c.scale;
    EXPECT_TRUE(support::Near(mesh.getBoundingBox(), Box3(-half, half), 1e-5f * c.scale));
}

INSTANTIATE_TEST_SUITE_P(
    Table, PlaceholderScaleTest,
    ::testing::Values(ScaleCase{0.2f, 0.5f},  // below 0.5 counts as 0.5
                      ScaleCase{2.5f, 2.5f},
                      ScaleCase{5000.0f, 5000.0f},  // past the spinner's top: no cap
                      ScaleCase{std::numeric_limits<float>::quiet_NaN(), 0.5f}));

// Every face points away from the centre of its box (faces 12 b .. 12 b + 11 and vertices
// 8 b .. 8 b + 7 make box b), and of its three edges only edge C, the diagonal it shares with
// the other half of its side, is hidden: edge C is the longest edge of the triangle.
TEST(PlaceholderMesh, FacesPointOutwardAndHideOnlyTheDiagonals) {
    Mesh mesh;
    ASSERT_TRUE(trellon::AppendPlaceholderMesh(mesh, 1.0f));
    for (int f = 0; f < mesh.getNumFaces(); ++f) {
        const int b = f / 12;
        Point3 centre(0, 0, 0);
        for (int v = 8 * b; v < 8 * b + 8; ++v) centre += mesh.getVert(v) / 8.0f;
        const Face& face = mesh.getFace(f);
        const Point3 a = mesh.getVert(int(face.v[0]));
        const Point3 p = mesh.getVert(int(face.v[1]));
        const Point3 c = mesh.getVert(int(face.v[2]));
        for (const DWORD v : face.v) {
            EXPECT_GE(int(v), 8 * b);
            EXPECT_LT(int(v), 8 * b + 8);
        }
        const Point3 normal = CrossProd(p - a, c - p);
        EXPECT_GT(DotProd(normal, (a + p + c) / 3.0f - centre), 0.0f) << "face " << f;
        EXPECT_TRUE(face.getEdgeVis(0) && face.getEdgeVis(1)) << "face " << f;
        EXPECT_FALSE(face.getEdgeVis(2)) << "face " << f;
        EXPECT_GT(Length(a - c), Length(p - a)) << "face " << f;
        EXPECT_GT(Length(a - c), Length(c - p)) << "face " << f;
        EXPECT_EQ(face.getMatID(), 0);
    }
}

struct GrowCase {
    const char* name;
    trellon::MeshAppendPoint at;
    int addVerts;
    int addFaces;
};

class GrowMeshRefusesTest : public ::testing::TestWithParam<GrowCase> {};

TEST_P(GrowMeshRefusesTest, LeavesTheCountsAlone) {
    const GrowCase& c = GetParam();
    Mesh mesh;
    mesh.setNumVerts(4);
    mesh.setNumFaces(2);
    EXPECT_FALSE(trellon::GrowMesh(mesh, c.at, c.addVerts, c.addFaces));
    EXPECT_EQ(mesh.getNumVerts(), 4);
    EXPECT_EQ(mesh.getNumFaces(), 2);
}

constexpr int kIntMax = std::numeric_limits<int>::max();

INSTANTIATE_TEST_SUITE_P(Table, GrowMeshRefusesTest,
                         ::testing::Values(GrowCase{"NegativeVerts", {4, 2}, -1, 0},
                                           // Growing from a stale point would cut geometry.
                                           GrowCase{"StaleAppendPoint", {3, 2}, 5, 5},
                                           GrowCase{"FacesPastIntRange", {4, 2}, 0, kIntMax - 1}),
                         [](const ::testing::TestParamInfo<GrowCase>& c) { return c.param.name; });

// 8 copies of a 20-point outline; copy k is copy 0 turned by k x 45 degrees about Z, so copy 2
// is copy 0 turned a quarter: (x, y, z) -> (-y, x, z). The size scales every point. Faces on
// material 2, facing outward, each of the 8 * 19 quads with its diagonal hidden: 2 visible edges
// per face.
TEST(MarkerMesh, TurnsTheOutlineEightTimesFacingOutward) {
    Mesh m;
    ASSERT_TRUE(trellon::MakeMarkerMesh(m, 2.0f));
    EXPECT_EQ(m.getNumVerts(), 160);
    EXPECT_EQ(m.getNumFaces(), 304);
    Mesh half;
    ASSERT_TRUE(trellon::MakeMarkerMesh(half, 1.0f));
    for (int i = 0; i < 20; ++i) {
        const Point3 p = m.getVert(i);
        const Point3 q = m.getVert(2 * 20 + i);
        EXPECT_NEAR(q.x, -p.y, 1e-5f) << i;
        EXPECT_NEAR(q.y, p.x, 1e-5f) << i;
        EXPECT_FLOAT_EQ(q.z, p.z) << i;
        EXPECT_FLOAT_EQ(p.z, 2.0f * half.getVert(i).z) << i;
    }
    // The bulb stands about the origin: tip below, base above, equally far.
    EXPECT_LT(m.getVert(0).z, 0.0f);
    EXPECT_FLOAT_EQ(m.getVert(19).z, -m.getVert(0).z);
    int visible = 0;
    for (int f = 0; f < m.getNumFaces(); ++f) {
        const Face& face = m.faces[f];
        EXPECT_EQ(face.getMatID(), 2);
        for (int e = 0; e < 3; ++e) visible += face.getEdgeVis(e) ? 1 : 0;
        const Point3 a = m.getVert(static_cast<int>(face.v[0]));
        const Point3 b = m.getVert(static_cast<int>(face.v[1]));
        const Point3 c = m.getVert(static_cast<int>(face.v[2]));
        // Outward: the normal points away from the Z axis (a surface of revolution). The
        // faces at the tip and the base (outline points 0 and 19, which lie a hair across the
        // axis) are left out.
        bool pole = false;
        for (DWORD v : face.v) pole = pole || v % 20 == 0 || v % 20 == 19;
        if (pole) continue;
        const Point3 n = CrossProd(b - a, c - a);
        const Point3 centre = (a + b + c) / 3.0f;
        EXPECT_GT(n.x * centre.x + n.y * centre.y, 0.0f) << "face " << f;
    }
    EXPECT_EQ(visible, 2 * 304);
}

}  // namespace
