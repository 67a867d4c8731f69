#include "mesh.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <ostream>
#include <string>

#include "hugearray.h"
#include "matrix3.h"
#include "mesh_fixtures.h"

namespace {

using meshtest::AppendCube;

// ---------------------------------------------------------------------------------------------
// Resizing

TEST(MeshResize, VertsKeepGrowShrinkAndRegrow) {
    Mesh m;
    ASSERT_TRUE(m.setNumVerts(3));
    for (int i = 0; i < 3; ++i) m.setVert(i, float(i), 10.0f * i, -1.0f);
    ASSERT_TRUE(m.setNumVerts(5, TRUE));
    EXPECT_EQ(m.getNumVerts(), 5);
    EXPECT_EQ(m.getVert(2), Point3(2, 20, -1));
    EXPECT_EQ(m.getVert(3), Point3(0, 0, 0));  // added entries are the origin
    EXPECT_EQ(m.getVert(4), Point3(0, 0, 0));
    m.setVert(4, 9, 9, 9);

    Point3* before = m.verts;
    ASSERT_TRUE(m.setNumVerts(2, TRUE));  // shrinking with keep stays in place
    EXPECT_EQ(m.verts, before);
    EXPECT_EQ(m.getVert(1), Point3(1, 10, -1));
    // Growing again within the block: the re-exposed entries are new, not the old 2..4.
    ASSERT_TRUE(m.setNumVerts(5, TRUE));
    EXPECT_EQ(m.getVert(1), Point3(1, 10, -1));
    EXPECT_EQ(m.getVert(2), Point3(0, 0, 0));
    EXPECT_EQ(m.getVert(4), Point3(0, 0, 0));
}

TEST(MeshResize, TVertsAndTVFacesKeep) {
    Mesh m;
    ASSERT_TRUE(m.setNumTVerts(2));
    m.setTVert(0, 0.25f, 0.5f, 0.0f);
    m.setTVert(1, 1.0f, 0.75f, 0.0f);
    ASSERT_TRUE(m.setNumTVFaces(1));
    m.tvFace[0].setTVerts(1, 0, 1);
    ASSERT_TRUE(m.setNumTVerts(4, TRUE));
    ASSERT_TRUE(m.setNumTVFaces(3, TRUE));
    EXPECT_EQ(m.getNumTVerts(), 4);
    EXPECT_EQ(m.numTVerts, 4);
    EXPECT_EQ(m.getTVert(1), UVVert(1.0f, 0.75f, 0.0f));
    EXPECT_EQ(m.tVerts[3], UVVert(0, 0, 0));
    EXPECT_EQ(m.tvFace[0].getTVert(0), 1u);
    EXPECT_EQ(m.tvFace[0].getTVert(2), 1u);
    EXPECT_EQ(m.getNumMapFaces(1), 3);
    EXPECT_TRUE(m.mapSupport(1));
}

TEST(MeshResize, NegativeCountIsRefusedAndChangesNothing) {
    Mesh m;
    m.setNumVerts(2);
    m.setNumFaces(1);
    EXPECT_FALSE(m.setNumVerts(-1));
    EXPECT_FALSE(m.setNumFaces(-5, TRUE));
    EXPECT_FALSE(m.setNumMapVerts(2, -1));
    EXPECT_EQ(m.getNumVerts(), 2);
    EXPECT_EQ(m.getNumFaces(), 1);
    EXPECT_NE(m.verts, nullptr);
}

// ---------------------------------------------------------------------------------------------
// Map channels

TEST(MeshMaps, BadChannelsAndIndicesGiveErrorsNotCrashes) {
    Mesh m;
    m.setNumVerts(2);
    m.setNumFaces(1);
    EXPECT_EQ(m.getNumMapVerts(-3), 0);
    EXPECT_FALSE(m.mapSupport(150));
    EXPECT_THROW(m.Map(7), MeshIndexException);
    EXPECT_THROW(m.getVert(2), MeshIndexException);
    EXPECT_THROW(m.setVert(-1, Point3(0, 0, 0)), MeshIndexException);
    EXPECT_THROW(m.getFaceMtlIndex(1), MeshIndexException);
    EXPECT_THROW(m.getTVert(0), MeshIndexException);
    m.setMapSupport(150);  // outside the channel range: ignored
    EXPECT_EQ(m.getNumMaps(), 2);
}

// ---------------------------------------------------------------------------------------------
// Bounding box

struct BoxCase {
    const char* name;
    Matrix3 tm;
    Point3 lo, hi;
};

void PrintTo(const BoxCase& c, std::ostream* os) { *os << c.name; }

class MeshBoundingBox : public testing::TestWithParam<BoxCase> {};

TEST_P(MeshBoundingBox, OfTheUnitCube) {
    Mesh m;
    AppendCube(m);
    Matrix3 tm = GetParam().tm;
    const Box3 b = m.getBoundingBox(&tm);
    EXPECT_TRUE(b.pmin.Equals(GetParam().lo, 1e-5f)) << b.pmin;
    EXPECT_TRUE(b.pmax.Equals(GetParam().hi, 1e-5f)) << b.pmax;
}

INSTANTIATE_TEST_SUITE_P(
    Transforms, MeshBoundingBox,
    testing::Values(
        BoxCase{"Identity", Matrix3(1), Point3(0, 0, 0), Point3(1, 1, 1)},
        // The cube moved by (10,-2,3).
        BoxCase{"Translation", TransMatrix(Point3(10, -2, 3)), Point3(10, -2, 3),
                Point3(11, -1, 4)},
        // +90 degrees about Z takes +X to +Y and +Y to -X: x in [-1,0], y in [0,1].
        BoxCase{"RotateZ90", RotateZMatrix(meshtest::Deg(90)), Point3(-1, 0, 0), Point3(0, 1, 1)},
        // Scale by (2,3,-1): z flips into [-1,0].
        BoxCase{"Scale", ScaleMatrix(Point3(2, 3, -1)), Point3(0, 0, -1), Point3(2, 3, 0)}),
    [](const testing::TestParamInfo<BoxCase>& i) { return std::string(i.param.name); });

TEST(MeshBoundingBoxPlain, WithoutMatrixAndEmpty) {
    Mesh m;
    EXPECT_TRUE(m.getBoundingBox().IsEmpty());
    AppendCube(m, Point3(-0.5f, 2.0f, 0.0f));
    const Box3 b = m.getBoundingBox();
    EXPECT_EQ(b.pmin, Point3(-0.5f, 2.0f, 0.0f));
    EXPECT_EQ(b.pmax, Point3(0.5f, 3.0f, 1.0f));
    m.setVert(7, 5, 5, 5);  // never stale after an edit
    EXPECT_EQ(m.getBoundingBox().pmax, Point3(5, 5, 5));
}

// ---------------------------------------------------------------------------------------------
// The raw storage under the mesh arrays: alignment of large blocks, zeroing, and that every
// block is given back.

bool OnHugePageBoundary(const void* p) {
    return reinterpret_cast<std::uintptr_t>(p) % HugeArray::kHugePageBytes == 0;
}

TEST(MeshStorage, EveryBlockIsGivenBack) {
    const std::size_t before = HugeArray::LiveBytes();
    {
        Mesh m;
        meshtest::AppendCube(m);
        m.setNumVerts(400000, TRUE);  // small block, then large
        m.setNumTVerts(10);
        m.setNumTVFaces(12);
        m.setMapSupport(4);
        m.setNumFaces(200000, TRUE);  // the supported channels follow, large too
        Mesh copy(m);
        copy.setNumVerts(5, TRUE);
        copy.setNumVerts(0);
        m = copy;
        EXPECT_GT(HugeArray::LiveBytes(), before);
    }
    EXPECT_EQ(HugeArray::LiveBytes(), before);
}

TEST(MeshStorage, GrowingPastTheBlockMovesTheEntries) {
    Mesh m;
    m.setNumVerts(1000);
    m.setVert(999, 4, 5, 6);
    m.setNumVerts(250000, TRUE);  // into a large block
    EXPECT_EQ(m.getVert(999), Point3(4, 5, 6));
    EXPECT_EQ(m.getVert(1000), Point3(0, 0, 0));
    EXPECT_TRUE(OnHugePageBoundary(m.verts));
}

}  // namespace
