// The light marker: the bulb outline turned eight times about Z, its faces facing outward, and
// the marker sizes of the system units.
#include <gtest/gtest.h>

#include <cmath>
#include <utility>

#include "mesh.h"
#include "object/marker_mesh.h"
#include "units.h"

namespace {

TEST(MarkerMesh, TurnsTheOutlineEightTimes) {
    Mesh m;
    ASSERT_TRUE(MakeMarkerMesh(m, 2.0f));
    EXPECT_EQ(m.getNumVerts(), 160);
    EXPECT_EQ(m.getNumFaces(), 304);
    // Copy 0 is the outline itself at size 2: point 4 is (-0.276043, y, -0.276062) * 2.
    EXPECT_FLOAT_EQ(m.getVert(4).x, -0.552086f);
    EXPECT_FLOAT_EQ(m.getVert(4).z, -0.552124f);
    // Copy 2 is turned by 90 degrees: (x, y) -> (-y, x), so point 4 lies on the -Y axis.
    EXPECT_NEAR(m.getVert(2 * 20 + 4).x, 0.0f, 1e-5f);
    EXPECT_NEAR(m.getVert(2 * 20 + 4).y, -0.552086f, 1e-5f);
    EXPECT_FLOAT_EQ(m.getVert(2 * 20 + 4).z, -0.552124f);
    // The tip and the base: z -0.499614 and 0.499614 at size 2.
    EXPECT_FLOAT_EQ(m.getVert(0).z, -0.999228f);
    EXPECT_FLOAT_EQ(m.getVert(19).z, 0.999228f);
}

TEST(MarkerMesh, FacesLieOnMaterialTwoAndFaceOutward) {
    Mesh m;
    ASSERT_TRUE(MakeMarkerMesh(m, 1.0f));
    for (int f = 0; f < m.getNumFaces(); ++f) {
        const Face& face = m.faces[f];
        EXPECT_EQ(face.getMatID(), 2);
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
}

// Each of the 8 * 19 quads has its diagonal hidden: 2 visible edges per face.
TEST(MarkerMesh, ShowsTheOutlinesAndRingsButNotTheDiagonals) {
    Mesh m;
    ASSERT_TRUE(MakeMarkerMesh(m, 1.0f));
    int visible = 0;
    for (int f = 0; f < m.getNumFaces(); ++f) {
        for (int e = 0; e < 3; ++e) visible += m.faces[f].getEdgeVis(e) ? 1 : 0;
    }
    EXPECT_EQ(visible, 2 * 304);
}

TEST(MarkerMesh, OutlineIndicesOutsideTheTableGiveTheOrigin) {
    EXPECT_EQ(BulbOutlinePoint(-1), Point3(0, 0, 0));
    EXPECT_EQ(BulbOutlinePoint(20), Point3(0, 0, 0));
    EXPECT_FLOAT_EQ(BulbOutlinePoint(19).x, 0.00159044f);
}

class MarkerSize : public ::testing::TestWithParam<std::pair<int, float>> {};

TEST_P(MarkerSize, FollowsTheSystemUnit) {
    EXPECT_FLOAT_EQ(MarkerSizeForUnit(GetParam().first), GetParam().second);
}

INSTANTIATE_TEST_SUITE_P(
    Units, MarkerSize,
    ::testing::Values(std::make_pair(UNITS_INCHES, 0.2f), std::make_pair(UNITS_FEET, 20.0f),
                      std::make_pair(UNITS_MILES, 0.2f), std::make_pair(UNITS_MILLIMETERS, 200.0f),
                      std::make_pair(UNITS_CENTIMETERS, 20.0f), std::make_pair(UNITS_METERS, 0.2f),
                      std::make_pair(UNITS_KILOMETERS, 0.02f), std::make_pair(17, 1.0f),
                      std::make_pair(-1, 1.0f)));

}  // namespace
