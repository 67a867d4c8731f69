// The placeholder mesh (a fence panel of seven boxes) and the mesh growth of the builder
// contract.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "mesh.h"
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

// The placeholder follows the builder contract: it lands after what the mesh holds and leaves
// that alone.
TEST(PlaceholderMesh, AppendsAfterExistingGeometry) {
    Mesh mesh;
    mesh.setNumVerts(3);
    mesh.setNumFaces(1);
    mesh.setVert(2, Point3(7, 8, 9));
    mesh.getFace(0).setVerts(0, 1, 2);
    mesh.getFace(0).setMatID(5);
    ASSERT_TRUE(trellon::AppendPlaceholderMesh(mesh, 1.0f));
    ASSERT_EQ(mesh.getNumVerts(), 3 + kVerts);
    ASSERT_EQ(mesh.getNumFaces(), 1 + kFaces);
    EXPECT_EQ(mesh.getVert(2), Point3(7, 8, 9));
    EXPECT_EQ(mesh.getFace(0).v[2], 2u);
    EXPECT_EQ(mesh.getFaceMtlIndex(0), 5);
    for (int f = 1; f < mesh.getNumFaces(); ++f) {
        for (const DWORD v : mesh.getFace(f).v) EXPECT_GE(v, 3u);
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

}  // namespace
