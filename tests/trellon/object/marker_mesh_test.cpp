// The light marker: the bulb outline turned eight times about Z, its faces facing outward.
#include <gtest/gtest.h>

#include <cmath>

#include "mesh.h"
#include "object/marker_mesh.h"

using namespace trellon;

namespace {

// 8 copies of a 20-point outline; copy k is copy 0 turned by k x 45 degrees about Z, so copy 2
// is copy 0 turned a quarter: (x, y, z) -> (-y, x, z). The size scales every point.
TEST(MarkerMesh, TurnsTheOutlineEightTimes) {
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
}

// Faces on material 2, facing outward, each of the 8 * 19 quads with its diagonal hidden: 2
// visible edges per face.
TEST(MarkerMesh, FacesLieOnMaterialTwoFaceOutwardAndHideTheDiagonals) {
    Mesh m;
    ASSERT_TRUE(trellon::MakeMarkerMesh(m, 1.0f));
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
