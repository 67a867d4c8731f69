// Mesh::AutoSmooth on meshes whose face normals are known by construction.
#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <ostream>
#include <set>

#include "mesh.h"
#include "mesh_fixtures.h"

namespace {

using meshtest::AppendCube;
using meshtest::Deg;

class CubeSmooth : public testing::TestWithParam<BOOL> {};  // preventIndirectSmoothing

// Neighbouring cube sides meet at 90 degrees, the two triangles of a side at 0. At 30 degrees a
// second cube, a separate piece, reuses the same bits; at 100 all faces share one.
TEST_P(CubeSmooth, At30DegreesEachSideIsItsOwnGroupAndPiecesReuseTheBitsAt100OneGroup) {
    Mesh m;
    AppendCube(m);
    AppendCube(m, Point3(3, 0, 0));
    m.AutoSmooth(Deg(30), FALSE, GetParam());
    DWORD seen = 0;
    for (int s = 0; s < 6; ++s) {
        const DWORD g = m.faces[2 * s].getSmGroup();
        EXPECT_EQ(std::popcount(g), 1) << "side " << s;
        EXPECT_EQ(m.faces[2 * s + 1].getSmGroup(), g) << "side " << s;
        EXPECT_EQ(seen & g, 0u) << "side " << s << " shares a bit";
        seen |= g;
    }
    for (int f = 0; f < 12; ++f) EXPECT_EQ(m.faces[12 + f].getSmGroup(), m.faces[f].getSmGroup());

    m.AutoSmooth(Deg(100), FALSE, GetParam());
    const DWORD g = m.faces[0].getSmGroup();
    EXPECT_EQ(std::popcount(g), 1);
    for (int f = 1; f < 24; ++f) EXPECT_EQ(m.faces[f].getSmGroup(), g) << f;
}

INSTANTIATE_TEST_SUITE_P(Indirect, CubeSmooth, testing::Values(FALSE, TRUE));

struct RoofCase {
    float between;    // degrees between the two face normals
    float threshold;  // AutoSmooth angle, degrees
    bool smoothed;
};

void PrintTo(const RoofCase& c, std::ostream* os) {
    *os << c.between << " degrees apart at " << c.threshold;
}

class RoofSmooth : public testing::TestWithParam<RoofCase> {};

// Two triangles hinged on the X axis: (A,C,B) lies flat with normal +Z; (A,B,D) is tilted down by
// `between` about X, so its normal is (0, sin, cos): the normals are `between` apart.
TEST_P(RoofSmooth, SmoothsOnlyBelowTheThreshold) {
    const RoofCase c = GetParam();
    const float a = Deg(c.between);
    Mesh m;
    const Point3 v[4] = {{0.0f, 0.0f, 0.0f},
                         {1.0f, 0.0f, 0.0f},
                         {0.5f, -1.0f, 0.0f},
                         {0.5f, std::cos(a), -std::sin(a)}};
    const DWORD f[2][3] = {{0, 2, 1}, {0, 1, 3}};
    meshtest::Build(m, v, f);
    m.faces[0].setSmGroup(0x10);  // stale groups are replaced
    m.AutoSmooth(Deg(c.threshold), FALSE);
    if (c.smoothed) {
        EXPECT_EQ(m.faces[0].getSmGroup(), 1u);  // the first bit of a fresh piece
        EXPECT_EQ(m.faces[1].getSmGroup(), 1u);
    } else {  // each face smooths with nothing: group 0
        EXPECT_EQ(m.faces[0].getSmGroup(), 0u);
        EXPECT_EQ(m.faces[1].getSmGroup(), 0u);
    }
}

INSTANTIATE_TEST_SUITE_P(Angles, RoofSmooth,
                         testing::Values(RoofCase{20, 30, true}, RoofCase{20, 10, false},
                                         RoofCase{45, 50, true}, RoofCase{60, 30, false},
                                         RoofCase{0, 1, true}, RoofCase{10, 0, false},
                                         // "less than" the angle: 0 smooths nothing
                                         RoofCase{0, 0, false}));

// An open square pyramid: apex (0,0,h) over the rim (1,0,0), (0,1,0), (-1,0,0), (0,-1,0). With
// h = 1/sqrt(6) every face leans 30 degrees (tan = sqrt(2) h = 1/sqrt(3)), so neighbouring faces
// (normal azimuths 90 apart) differ by acos(cos^2 30) = 41.4 degrees and opposite faces, which
// meet only at the apex, by 60. At 50 degrees the neighbours smooth; the opposite pairs do so
// only indirectly.
Mesh Pyramid() {
    Mesh m;
    const float h = 1.0f / std::sqrt(6.0f);
    const Point3 v[5] = {{1.0f, 0.0f, 0.0f},
                         {0.0f, 1.0f, 0.0f},
                         {-1.0f, 0.0f, 0.0f},
                         {0.0f, -1.0f, 0.0f},
                         {0.0f, 0.0f, h}};
    const DWORD f[4][3] = {{4, 0, 1}, {4, 1, 2}, {4, 2, 3}, {4, 3, 0}};
    meshtest::Build(m, v, f);
    return m;
}

TEST(IndirectSmooth, WithoutPreventionTheChainSmoothsAllFaces) {
    Mesh m = Pyramid();
    m.AutoSmooth(Deg(50), FALSE, FALSE);
    for (int f = 0; f < 4; ++f) EXPECT_EQ(m.faces[f].getSmGroup(), 1u) << f;
}

// A staircase of `steps` quads (two triangles each) along +Y, one unit wide in X: treads face +Z,
// risers face -Y, so neighbouring steps meet at 90 degrees and steps two apart share no vertex.
Mesh Staircase(int steps) {
    Mesh m;
    m.setNumVerts(2 * (steps + 1));
    m.setNumFaces(2 * steps);
    float y = 0, z = 0;
    for (int k = 0; k <= steps; ++k) {
        m.setVert(2 * k, 0, y, z);
        m.setVert(2 * k + 1, 1, y, z);
        (k % 2 == 0 ? y : z) += 1;
    }
    for (int k = 0; k < steps; ++k) {
        const DWORD a = 2 * k, b = a + 1, c = a + 3, d = a + 2;
        m.faces[2 * k].setVerts(a, b, c);
        m.faces[2 * k + 1].setVerts(c, d, a);
    }
    return m;
}

TEST(ManyGroups, PastThirtyTwoStepsBitsAreReusedAwayFromNeighbours) {
    Mesh m = Staircase(40);
    m.AutoSmooth(Deg(30), FALSE);
    std::set<DWORD> firstGroups;
    for (int k = 0; k < 40; ++k) {
        const DWORD g = m.faces[2 * k].getSmGroup();
        ASSERT_EQ(std::popcount(g), 1) << k;
        EXPECT_EQ(m.faces[2 * k + 1].getSmGroup(), g) << k;
        if (k > 0) {
            EXPECT_EQ(g & m.faces[2 * k - 2].getSmGroup(), 0u) << k;
        }
        if (k < 32) firstGroups.insert(g);
    }
    EXPECT_EQ(firstGroups.size(), 32u);  // distinct while bits last
    // Step 32 touches only step 31 (bit 31): it takes bit 0; step 33 touches bit 0: bit 1.
    EXPECT_EQ(m.faces[64].getSmGroup(), 1u);
    EXPECT_EQ(m.faces[66].getSmGroup(), 2u);
}

TEST(BadFaces, DegenerateAndOutOfRangeFacesGetNoGroup) {
    Mesh m;
    AppendCube(m);
    m.setNumFaces(14, TRUE);
    m.faces[12].setVerts(0, 1, 99);  // no such vertex
    m.faces[12].setSmGroup(8);
    m.faces[13].setVerts(0, 0, 1);  // no area
    m.faces[13].setSmGroup(8);
    m.AutoSmooth(Deg(100), FALSE);
    EXPECT_EQ(m.faces[12].getSmGroup(), 0u);
    EXPECT_EQ(m.faces[13].getSmGroup(), 0u);
    EXPECT_EQ(m.faces[0].getSmGroup(), 1u);
    EXPECT_EQ(m.getBoundingBox().pmax, Point3(1, 1, 1));

    Mesh empty;
    empty.AutoSmooth(Deg(30), TRUE, TRUE);
    Mesh noVerts;
    noVerts.setNumFaces(3);
    noVerts.AutoSmooth(Deg(30), FALSE, TRUE);
    EXPECT_EQ(noVerts.faces[2].getSmGroup(), 0u);
}

}  // namespace
