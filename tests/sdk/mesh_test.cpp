#include "mesh.h"

#include <gtest/gtest.h>

#include <cmath>
#include <ostream>
#include <string>
#include <utility>

#include "matrix3.h"
#include "mesh_fixtures.h"

namespace {

using meshtest::AppendCube;

// ---------------------------------------------------------------------------------------------
// Face

struct EdgeVisCase {
    DWORD va, vb, vc;
    DWORD bits;  // expected flags & EDGE_ALL
};

class FaceEdgeVis : public testing::TestWithParam<EdgeVisCase> {};

TEST_P(FaceEdgeVis, SetsOnlyTheEdgeBits) {
    const EdgeVisCase c = GetParam();
    Face f;
    f.setMatID(41);
    f.Hide();
    f.flags |= EDGE_ALL ^ c.bits;  // the opposite edges visible before, to see them cleared
    f.setEdgeVisFlags(c.va, c.vb, c.vc);
    EXPECT_EQ(f.flags & EDGE_ALL, c.bits);
    // getEdgeVis(e) is the edge's own bit (1 << e) when visible.
    EXPECT_EQ(f.getEdgeVis(0), c.bits & EDGE_A);
    EXPECT_EQ(f.getEdgeVis(1), c.bits & EDGE_B);
    EXPECT_EQ(f.getEdgeVis(2), c.bits & EDGE_C);
    EXPECT_EQ(f.getMatID(), 41);
    EXPECT_TRUE(f.Hidden());
}

// Any non-zero value counts as visible (the host's EDGE_VIS is 1, callers also pass masks).
INSTANTIATE_TEST_SUITE_P(AllCombinations, FaceEdgeVis,
                         testing::Values(EdgeVisCase{0, 0, 0, 0}, EdgeVisCase{0, 1, 0, 2},
                                         EdgeVisCase{1, 1, 1, 7},
                                         EdgeVisCase{EDGE_VIS, EDGE_INVIS, 4, 5}));

TEST(Face, SetEdgeVisTogglesOneEdgeAndWrapsTheEdgeNumber) {
    Face f;
    f.setEdgeVisFlags(EDGE_VIS, EDGE_VIS, EDGE_VIS);
    f.setEdgeVis(1, EDGE_INVIS);
    EXPECT_EQ(f.flags & EDGE_ALL, EDGE_A | EDGE_C);
    f.setEdgeVis(4, EDGE_VIS);  // edge 4 is edge 1 (numbers are taken modulo 3)
    EXPECT_EQ(f.flags & EDGE_ALL, EDGE_ALL);
    EXPECT_EQ(f.getEdgeVis(3), EDGE_A);
}

TEST(Face, DefaultIsZeroAndVertsWrap) {
    Face f;
    EXPECT_EQ(f.smGroup, 0u);
    EXPECT_EQ(f.flags, 0u);
    f.setVerts(7, 8, 9);
    EXPECT_EQ(f.getVert(2), 9u);
    EXPECT_EQ(f.getVert(3), 7u);  // corner 3 is corner 0
    TVFace t(4, 5, 6);
    EXPECT_EQ(t.getTVert(1), 5u);
    EXPECT_EQ(t.getTVert(5), 6u);
}

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

TEST(MeshResize, FacesKeepVertsFlagsMatIdsAndGroups) {
    Mesh m;
    m.setNumFaces(2);
    m.faces[0].setVerts(0, 1, 2);
    m.faces[0].setSmGroup(0x5);
    m.faces[0].setEdgeVisFlags(1, 0, 1);
    m.setFaceMtlIndex(0, 0xFFFF);
    m.faces[1].setVerts(2, 1, 3);
    m.setFaceMtlIndex(1, 27);
    ASSERT_TRUE(m.setNumFaces(6, TRUE));
    EXPECT_EQ(m.faces[0].getVert(2), 2u);
    EXPECT_EQ(m.faces[0].getSmGroup(), 0x5u);
    EXPECT_EQ(m.faces[0].flags & EDGE_ALL, EDGE_A | EDGE_C);
    EXPECT_EQ(m.getFaceMtlIndex(0), 0xFFFF);
    EXPECT_EQ(m.faces[1].getVert(2), 3u);
    EXPECT_EQ(m.getFaceMtlIndex(1), 27);
    for (int f = 2; f < 6; ++f) {  // new faces as Face() makes them
        EXPECT_EQ(m.faces[f].smGroup, 0u);
        EXPECT_EQ(m.faces[f].flags, 0u);
    }
    ASSERT_TRUE(m.setNumFaces(1, TRUE));
    EXPECT_EQ(m.getFaceMtlIndex(0), 0xFFFF);
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

TEST(MeshResize, SetNumFacesResizesExistingTVFaces) {
    Mesh m;
    m.setNumFaces(2);
    m.setNumTVerts(3);
    m.setNumTVFaces(2);
    m.tvFace[1].setTVerts(2, 1, 0);
    ASSERT_TRUE(m.setNumFaces(5, TRUE));
    EXPECT_EQ(m.getNumMapFaces(1), 5);
    EXPECT_EQ(m.tvFace[1].getTVert(0), 2u);
    EXPECT_EQ(m.tvFace[4].getTVert(0), 0u);
    ASSERT_TRUE(m.setNumFaces(1, TRUE));
    EXPECT_EQ(m.getNumMapFaces(1), 1);
    ASSERT_TRUE(m.setNumFaces(0));
    EXPECT_EQ(m.tvFace, nullptr);
    EXPECT_EQ(m.getNumTVerts(), 3);  // the map vertices are the caller's
}

struct TVFaceRuleCase {
    int existing;  // TVFaces before (0 = none)
    BOOL keep;
    int ct;
    BOOL result;
    int after;
};

class MeshTVFaceRule : public testing::TestWithParam<TVFaceRuleCase> {};

// The host's rule: no TVFaces + keep stays empty, no TVFaces without keep allocates, 0 frees.
TEST_P(MeshTVFaceRule, Applies) {
    const TVFaceRuleCase c = GetParam();
    Mesh m;
    m.setNumFaces(5);
    if (c.existing) {
        m.setNumTVFaces(c.existing);
        m.tvFace[0].setTVerts(3, 2, 1);
    }
    EXPECT_EQ(m.setNumTVFaces(c.ct, c.keep), c.result);
    EXPECT_EQ(m.getNumMapFaces(1), c.after);
    EXPECT_EQ(m.tvFace == nullptr, c.after == 0);
    if (c.existing && c.keep && c.after) {
        EXPECT_EQ(m.tvFace[0].getTVert(0), 3u);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Table, MeshTVFaceRule,
    testing::Values(TVFaceRuleCase{0, TRUE, 5, FALSE, 0}, TVFaceRuleCase{0, FALSE, 5, TRUE, 5},
                    TVFaceRuleCase{3, TRUE, 5, TRUE, 5}, TVFaceRuleCase{3, FALSE, 2, TRUE, 2},
                    TVFaceRuleCase{3, TRUE, 0, TRUE, 0}, TVFaceRuleCase{3, FALSE, -1, FALSE, 3}));

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
    m.buildBoundingBox();
    EXPECT_EQ(m.bdgBox.pmax, Point3(5, 5, 5));
}

// ---------------------------------------------------------------------------------------------
// Copies

void MakeRich(Mesh& m) {
    AppendCube(m);
    m.setFaceMtlIndex(3, 9);
    m.faces[5].setSmGroup(4);
    m.setNumTVerts(4);
    m.setTVert(2, 0.5f, 1.0f, 0.0f);
    m.setNumTVFaces(12);
    m.tvFace[6].setTVerts(1, 2, 3);
    m.setMapSupport(2);
    m.setNumMapVerts(2, 1);
    m.faceSel.Set(11);
}

void ExpectRich(const Mesh& m) {
    ASSERT_EQ(m.getNumVerts(), 8);
    ASSERT_EQ(m.getNumFaces(), 12);
    EXPECT_EQ(m.getVert(7), Point3(1, 1, 1));
    EXPECT_EQ(m.faces[10].getVert(2), 7u);
    EXPECT_EQ(m.getFaceMtlIndex(3), 9);
    EXPECT_EQ(m.faces[5].getSmGroup(), 4u);
    ASSERT_EQ(m.numTVerts, 4);
    EXPECT_EQ(m.tVerts[2], UVVert(0.5f, 1.0f, 0.0f));
    EXPECT_EQ(m.tvFace[6].getTVert(2), 3u);
    EXPECT_TRUE(m.mapSupport(2));
    EXPECT_EQ(m.getNumMapFaces(2), 12);
    EXPECT_EQ(m.faceSel[11], 1);
}

void Scribble(Mesh& m) {
    m.setVert(7, -4, -4, -4);
    m.faces[10].setVerts(0, 0, 0);
    m.setFaceMtlIndex(3, 1);
    m.tVerts[2] = UVVert(9, 9, 9);
    m.tvFace[6].setTVerts(0, 0, 0);
    m.faceSel.Clear(11);
}

TEST(MeshCopy, CopyConstructorIsIndependent) {
    Mesh a;
    MakeRich(a);
    Mesh b(a);
    ExpectRich(b);
    EXPECT_NE(a.verts, b.verts);
    EXPECT_NE(a.tVerts, b.tVerts);
    Scribble(a);
    ExpectRich(b);
    Scribble(b);
    a = b;
    EXPECT_EQ(a.getVert(7), Point3(-4, -4, -4));
}

}  // namespace
