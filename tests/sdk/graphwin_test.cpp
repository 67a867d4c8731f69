// Hit regions, and the mesh's picking, snapping and display interface against a small fake
// graphics window whose screen is the object space's XY plane (x right, y as given).
#include <gtest/gtest.h>

#include <vector>

#include "graphwin.h"
#include "mesh.h"
#include "mesh_fixtures.h"
#include "object.h"

namespace {

// Screen point of p is (p.x, p.y); a triangle is hit when the region's point lies inside it.
class PlaneWindow : public GraphicsWindow {
public:
    void setTransform(const Matrix3& /*m*/) override {}
    void setRndLimits(DWORD l) override { limits = l; }
    DWORD getRndLimits() override { return limits; }
    DWORD getRndMode() override { return limits; }
    void setColor(ColorType /*t*/, float /*r*/, float /*g*/, float /*b*/) override {}
    Material* getMaterial() override { return &material; }
    void marker(Point3* /*xyz*/, MarkerType /*type*/) override {}
    void polyline(int /*ct*/, Point3* /*xyz*/, Point3* /*rgb*/, int /*closed*/,
                  int* /*es*/) override {}
    void triangle(Point3* xyz, Point3* /*rgb*/) override {
        ++triangles;
        const float px = static_cast<float>(region.pt.x), py = static_cast<float>(region.pt.y);
        auto side = [&](const Point3& a, const Point3& b) {
            return (b.x - a.x) * (py - a.y) - (b.y - a.y) * (px - a.x);
        };
        const float s0 = side(xyz[0], xyz[1]), s1 = side(xyz[1], xyz[2]), s2 = side(xyz[2], xyz[0]);
        if ((s0 >= 0 && s1 >= 0 && s2 >= 0) || (s0 <= 0 && s1 <= 0 && s2 <= 0)) hit = TRUE;
    }
    DWORD hTransPoint(const Point3* in, IPoint3* out) override { return wTransPoint(in, out); }
    DWORD wTransPoint(const Point3* in, IPoint3* out) override {
        *out = IPoint3(static_cast<int>(in->x), static_cast<int>(in->y), 0);
        return 0;
    }
    void transPoint(const Point3* in, Point3* out) override { *out = *in; }
    void setHitRegion(HitRegion* rgn) override { region = *rgn; }
    void clearHitCode() override { hit = FALSE; }
    BOOL checkHitCode() override { return hit; }
    void setHitCode(BOOL h) override { hit = h; }
    DWORD getHitDistance() override { return 0; }
    void setHitDistance(DWORD /*dist*/) override {}

    DWORD limits = GW_PICK;
    Material material;
    HitRegion region;
    BOOL hit = FALSE;
    int triangles = 0;
};

// Two triangles of the square (0,0)-(10,10), the diagonal hidden; a third face, hidden, over
// (20,0)-(30,10); a fourth referring to a vertex the mesh lacks.
Mesh SquareMesh() {
    Mesh m;
    m.setNumVerts(7);
    const Point3 v[7] = {{0, 0, 0},  {10, 0, 0}, {10, 10, 0}, {0, 10, 0},
                         {20, 0, 0}, {30, 0, 0}, {30, 10, 0}};
    for (int i = 0; i < 7; ++i) m.setVert(i, v[i]);
    m.setNumFaces(4);
    m.faces[0].setVerts(0, 1, 2);
    m.faces[0].setEdgeVisFlags(1, 1, 0);
    m.faces[1].setVerts(2, 3, 0);
    m.faces[1].setEdgeVisFlags(1, 1, 0);
    m.faces[2].setVerts(4, 5, 6);
    m.faces[2].setEdgeVisFlags(1, 1, 1);
    m.faces[2].Hide();
    m.faces[3].setVerts(0, 1, 9);
    return m;
}

struct SelectCase {
    IPoint2 click;
    int abortOnHit;
    BOOL hit;
    int trianglesDrawn;
};

class MeshSelectTest : public testing::TestWithParam<SelectCase> {};

TEST_P(MeshSelectTest, DrawsVisibleFacesAndAnswersTheHitCode) {
    const SelectCase& c = GetParam();
    Mesh m = SquareMesh();
    PlaneWindow gw;
    IPoint2 p = c.click;
    HitRegion hr;
    MakeHitRegion(hr, HITTYPE_POINT, 0, 4, &p);
    EXPECT_EQ(m.select(&gw, gw.getMaterial(), &hr, c.abortOnHit), c.hit);
    EXPECT_EQ(gw.triangles, c.trianglesDrawn);
}

INSTANTIATE_TEST_SUITE_P(
    Clicks, MeshSelectTest,
    testing::Values(
        // Inside face 0 (below the diagonal): aborting stops after it.
        SelectCase{{8, 2}, HIT_ABORTONHIT, TRUE, 1}, SelectCase{{8, 2}, 0, TRUE, 2},
        // Inside face 1 only.
        SelectCase{{2, 8}, HIT_ABORTONHIT, TRUE, 2},
        // Over the hidden face: only the two visible faces are drawn, nothing hit.
        SelectCase{{25, 2}, 0, FALSE, 2}));

}  // namespace
