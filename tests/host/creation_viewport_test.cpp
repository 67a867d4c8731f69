// The top viewport's fixed mapping: screen (x, y) lies over origin + (x * s, -y * s, 0).
#include "viewport.h"

#include <gtest/gtest.h>

#include <limits>

#include "support/near.h"

namespace {

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
