// The recording graphics window: what it records, where it puts points on the screen, and how
// its picking state tests primitives against hit regions; and the top viewport's fixed mapping
// back, as creation uses it: screen (x, y) lies over origin + (x * s, -y * s, 0).
#include <gtest/gtest.h>

#include <limits>

#include "recording_window.h"
#include "support/near.h"
#include "viewport.h"

namespace {

using host::RecordingGraphicsWindow;
using host::TopViewport;

TEST(RecordingWindow, RecordsWorldPointsWithTheLineColourAndMapsThemToTheScreen) {
    TopViewport view;
    RecordingGraphicsWindow gw(view);
    Matrix3 tm(1);
    tm.SetTrans(Point3(10, 0, 0));
    gw.setTransform(tm);
    gw.setColor(LINE_COLOR, 0.1f, 0.2f, 0.3f);
    Point3 p(1, 2, 3);
    gw.marker(&p, DOT_MRKR);
    gw.setColor(LINE_COLOR, 1.0f, 0.0f, 0.0f);
    Point3 line[4] = {{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0}};
    gw.polyline(4, line, nullptr, TRUE, nullptr);

    const host::DrawRecord r = gw.Take();
    ASSERT_EQ(r.markers.size(), 1u);
    EXPECT_EQ(r.markers[0].point, Point3(11, 2, 3));
    EXPECT_EQ(r.markers[0].color, Point3(0.1f, 0.2f, 0.3f));
    ASSERT_EQ(r.polylines.size(), 1u);
    EXPECT_TRUE(r.polylines[0].closed);
    EXPECT_EQ(r.polylines[0].points[2], Point3(11, 1, 0));
    EXPECT_EQ(r.polylines[0].color, Point3(1, 0, 0));
    EXPECT_TRUE(gw.Take().Empty());
    // Two world units per pixel from (10, 20): x (14 - 10) / 2 = 2, y -(16 - 20) / 2 = 2.
    TopViewport coarse(2.0f, Point3(10, 20, 0));
    RecordingGraphicsWindow onCoarse(coarse);
    Point3 q(14, 16, 5);
    IPoint3 s;
    EXPECT_EQ(onCoarse.wTransPoint(&q, &s), 0u);
    EXPECT_EQ(s, IPoint3(2, 2, 5));
}

enum class Prim { Marker, OpenLine, ClosedLine, Triangle };

struct PickCase {
    const char* what;
    Prim prim;
    int hitType;
    int crossing;
    IPoint2 p0, p1;
    bool hit;
    DWORD distance;  // when hit
};

// With one world unit per pixel and the origin at 0 the world point (x, -y) is on the screen at
// (x, y), so the primitives are written in screen coordinates with y negated.
class RecordingWindowPick : public testing::TestWithParam<PickCase> {};

TEST_P(RecordingWindowPick, TestsThePrimitiveAgainstTheRegion) {
    const PickCase& c = GetParam();
    TopViewport view;
    RecordingGraphicsWindow gw(view);
    HitRegion hr;
    IPoint2 pts[2] = {c.p0, c.p1};
    MakeHitRegion(hr, c.hitType, c.crossing, 4, pts);
    gw.setHitRegion(&hr);
    gw.setRndLimits(gw.getRndLimits() | GW_PICK);
    gw.clearHitCode();

    Point3 marker(10, -10, 0);
    Point3 line[2] = {{0, 0, 0}, {20, 0, 0}};
    Point3 tri[3] = {{0, 0, 0}, {20, 0, 0}, {0, -20, 0}};
    switch (c.prim) {
        case Prim::Marker:
            gw.marker(&marker, DOT_MRKR);
            break;
        case Prim::OpenLine:
            gw.polyline(2, line, nullptr, FALSE, nullptr);
            break;
        case Prim::ClosedLine:
            gw.polyline(3, tri, nullptr, TRUE, nullptr);
            break;
        case Prim::Triangle:
            gw.triangle(tri, nullptr);
            break;
    }
    EXPECT_EQ(gw.checkHitCode(), c.hit ? TRUE : FALSE) << c.what;
    if (c.hit) {
        EXPECT_EQ(gw.getHitDistance(), c.distance) << c.what;
    }
    EXPECT_EQ(gw.Report().tested, 1);
    EXPECT_EQ(gw.Report().hits, c.hit ? 1 : 0);
    EXPECT_TRUE(gw.Record().Empty()) << "nothing is recorded while picking";
}

INSTANTIATE_TEST_SUITE_P(
    Regions, RecordingWindowPick,
    testing::Values(
        // Marker at screen (10, 10); a click at (12, 10) is 2 px away, within the pick size 4.
        PickCase{"marker near", Prim::Marker, HITTYPE_POINT, 0, {12, 10}, {}, true, 2},
        PickCase{"marker 5 px off", Prim::Marker, HITTYPE_POINT, 0, {15, 10}, {}, false, 0},
        // Segment (0,0)-(20,0): the click (10,3) is 3 px above it.
        PickCase{"line near", Prim::OpenLine, HITTYPE_POINT, 0, {10, 3}, {}, true, 3},
        // Inside the outline (0,0),(20,0),(0,20) but 5 px from the nearest side: an outline is
        // not solid.
        PickCase{"outline inside", Prim::ClosedLine, HITTYPE_POINT, 0, {5, 5}, {}, false, 0},
        // The closing side x = 0 is 2 px from (2, 10).
        PickCase{"closing side", Prim::ClosedLine, HITTYPE_POINT, 0, {2, 10}, {}, true, 2},
        // A triangle is solid: inside means distance 0.
        PickCase{"triangle inside", Prim::Triangle, HITTYPE_POINT, 0, {5, 5}, {}, true, 0},
        // Box (15,-5)-(25,5) crosses the segment's end but does not hold (0,0).
        PickCase{"box crossing", Prim::OpenLine, HITTYPE_BOX, 1, {15, -5}, {25, 5}, true, 0},
        PickCase{"box window", Prim::OpenLine, HITTYPE_BOX, 0, {15, -5}, {25, 5}, false, 0},
        PickCase{"box holds all", Prim::OpenLine, HITTYPE_BOX, 0, {-1, -1}, {21, 1}, true, 0},
        // Box well inside the triangle: crossing hits through the triangle's face.
        PickCase{"box in face", Prim::Triangle, HITTYPE_BOX, 1, {3, 3}, {5, 5}, true, 0},
        // Circle at (10,10): radius 3 stays 10 px from the segment, radius 10 reaches it.
        PickCase{"circle short", Prim::OpenLine, HITTYPE_CIRCLE, 1, {10, 10}, {13, 10}, false, 0},
        PickCase{"circle reaches", Prim::OpenLine, HITTYPE_CIRCLE, 1, {10, 10}, {20, 10}, true, 0},
        PickCase{"unsupported fence", Prim::Marker, HITTYPE_FENCE, 1, {10, 10}, {}, false, 0}));

TEST(RecordingWindow, HitDistanceIsTheNearestAndClearingStartsAgain) {
    TopViewport view;
    RecordingGraphicsWindow gw(view);
    IPoint2 click(0, 0);
    HitRegion hr;
    MakeHitRegion(hr, HITTYPE_POINT, 0, 4, &click);
    gw.setHitRegion(&hr);
    gw.setRndLimits(GW_PICK);
    gw.clearHitCode();
    Point3 far(3, 0, 0), near(0, -1, 0), outside(9, 0, 0);
    gw.marker(&far, DOT_MRKR);
    gw.marker(&near, DOT_MRKR);
    gw.marker(&outside, DOT_MRKR);
    EXPECT_EQ(gw.getHitDistance(), 1u);
    EXPECT_EQ(gw.Report().tested, 3);
    EXPECT_EQ(gw.Report().hits, 2);
    gw.clearHitCode();
    EXPECT_EQ(gw.checkHitCode(), FALSE);
    EXPECT_EQ(gw.getHitDistance(), host::kNoHitDistance);
    EXPECT_EQ(gw.Report().tested, 0);
}

// --- The top viewport, screen to world -------------------------------------------------------

struct ScreenPoint {
    IPoint2 screen;
    Point3 world;
};

class TopViewportMapping : public testing::TestWithParam<ScreenPoint> {};

// Origin (10, 20, 5), half a unit per pixel.
TEST_P(TopViewportMapping, PutsScreenPointsOverThePlaneThroughTheOrigin) {
    host::TopViewport vpt(0.5f, Point3(10, 20, 5));
    EXPECT_TRUE(support::Near(vpt.ScreenToWorld(GetParam().screen), GetParam().world, 1e-6f));
    // SnapPoint answers in plane coordinates: the world point less the origin.
    IPoint2 out;
    const Point3 inPlane = GetParam().world - Point3(10, 20, 5);
    EXPECT_TRUE(support::Near(vpt.SnapPoint(GetParam().screen, out), inPlane, 1e-6f));
    EXPECT_EQ(out, GetParam().screen);
}

INSTANTIATE_TEST_SUITE_P(Points, TopViewportMapping,
                         testing::Values(ScreenPoint{IPoint2(0, 0), Point3(10, 20, 5)},
                                         ScreenPoint{IPoint2(4, -6), Point3(12, 23, 5)},
                                         ScreenPoint{IPoint2(-20, 40), Point3(0, 0, 5)}));

struct Disp {
    Point3 dir;
    IPoint2 from;
    IPoint2 to;
    float length;
};

class TopViewportCPDisp : public testing::TestWithParam<Disp> {};

// Half a unit per pixel: the drag in the plane is (dx / 2, -dy / 2, 0), measured along dir.
TEST_P(TopViewportCPDisp, MeasuresTheDragAlongTheDirection) {
    host::TopViewport vpt(0.5f, Point3(100, 100, 0));
    const Disp& d = GetParam();
    EXPECT_FLOAT_EQ(vpt.GetCPDisp(Point3(7, 8, 9), d.dir, d.from, d.to), d.length);
    EXPECT_FLOAT_EQ(vpt.GetCPDisp(Point3(7, 8, 9), d.dir, d.from, d.to, TRUE), d.length);
}

INSTANTIATE_TEST_SUITE_P(
    Drags, TopViewportCPDisp,
    testing::Values(Disp{Point3(0, 1, 0), IPoint2(0, 0), IPoint2(0, -10), 5.0f},  // up: +Y
                    Disp{Point3(0, 1, 0), IPoint2(3, 3), IPoint2(3, 13), -5.0f},  // down: -Y
                    Disp{Point3(0, 4, 0), IPoint2(0, 0), IPoint2(0, -10), 5.0f},  // dir's length
                    Disp{Point3(3, 4, 0), IPoint2(0, 0), IPoint2(6, -8), 5.0f},   // (3,4)/5 . (3,4)
                    Disp{Point3(0, 0, 0), IPoint2(0, 0), IPoint2(6, -8), 0.0f}));  // no direction

// A scale that is no number or not positive would put every point at the origin or flip the
// view: it falls back to one unit per pixel.
TEST(TopViewport, AScaleThatIsNoPositiveNumberIsOneUnitPerPixel) {
    EXPECT_FLOAT_EQ(host::TopViewport(std::numeric_limits<float>::quiet_NaN()).WorldPerPixel(),
                    1.0f);
    EXPECT_FLOAT_EQ(host::TopViewport(-2.0f).WorldPerPixel(), 1.0f);
}

}  // namespace
