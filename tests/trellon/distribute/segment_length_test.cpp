// Trellon::SegmentLength: five chords of part of a segment, optionally moved sideways.
#include <gtest/gtest.h>

#include "distribute/path_fixtures.h"

using namespace trellon;

using path_fixtures::Corners;

namespace {

using SegmentLengthTest = path_fixtures::WithObject<>;

struct StraightCase {
    float u0, u1, o;
    float expected;
};

class SegmentLengthStraight
    : public path_fixtures::WithObject<::testing::TestWithParam<StraightCase>> {};

// A straight segment moved sideways stays parallel: its length is the straight length
// (u1 - u0) * 10 whatever the offset.
TEST_P(SegmentLengthStraight, EqualsTheStraightLength) {
    const StraightCase& c = GetParam();
    Spline3D s = Corners({Point3(0, 0, 0), Point3(10, 0, 0)}, false);
    EXPECT_NEAR(object->SegmentLength(s, 0, c.u0, c.u1, c.o), c.expected, 1e-4f);
}

INSTANTIATE_TEST_SUITE_P(
    Offsets, SegmentLengthStraight,
    ::testing::Values(StraightCase{0.0f, 1.0f, 0.0f, 10.0f}, StraightCase{0.0f, 1.0f, 3.0f, 10.0f},
                      StraightCase{0.0f, 1.0f, -4.5f, 10.0f}, StraightCase{0.0f, 0.5f, 3.0f, 5.0f},
                      StraightCase{0.5f, 1.0f, -4.5f, 5.0f}, StraightCase{0.2f, 0.7f, 1.0f, 5.0f},
                      StraightCase{0.7f, 0.2f, 1.0f, 5.0f}));

struct SquareCase {
    bool closed;
    int segment;
    float o;
    float expected;
};

class SegmentLengthAtCorners
    : public path_fixtures::WithObject<::testing::TestWithParam<SquareCase>> {};

// Segment 1 of the square (0,0) (10,0) (10,10) (0,10) runs from (10,0) up to (10,10); moved o
// sideways its inner samples lie on x = 10 + o. Open, the end samples clamp their neighbours to
// the segment and move the same way: length 10. Closed, the end neighbours lie on the adjacent
// segments (wrapping past segment 3 and before segment 0), the direction there is the diagonal,
// and the end samples move o/sqrt2 in x and y: 6 + 2 |(10 + o, 2) - (10 + o/sqrt2, -o/sqrt2)|.
TEST_P(SegmentLengthAtCorners, NeighboursCrossIntoTheNextSegmentOnlyWhenClosed) {
    const SquareCase& c = GetParam();
    Spline3D s = Corners(path_fixtures::Square10(), c.closed);
    EXPECT_NEAR(object->SegmentLength(s, c.segment, 0.0f, 1.0f, c.o), c.expected, 1e-4f);
}

INSTANTIATE_TEST_SUITE_P(
    Square, SegmentLengthAtCorners,
    ::testing::Values(SquareCase{false, 1, 1.0f, 10.0f}, SquareCase{false, 1, -1.0f, 10.0f},
                      SquareCase{true, 1, 0.0f, 10.0f}, SquareCase{true, 1, 1.0f, 11.445811f},
                      SquareCase{true, 1, -1.0f, 8.651309f}, SquareCase{true, 1, 2.5f, 13.676518f},
                      SquareCase{true, 0, 1.0f, 11.445811f},
                      SquareCase{true, 3, 1.0f, 11.445811f}));

// A quarter of a circle of radius 10 moved o to the right (outward, the circle runs
// counter-clockwise) has every sample moved along its radius: the chords grow by (10 + o) / 10.
TEST_F(SegmentLengthTest, ACircularArcMovedOutwardGrowsWithItsRadius) {
    Spline3D s;
    path_fixtures::FillCircle(s, 10.0f);
    const float plain = object->SegmentLength(s, 0, 0.0f, 1.0f, 0.0f);
    // Five chords of a quarter circle: 10 * 2 sin(pi/20) * 5 = 15.643 for even angles.
    EXPECT_NEAR(plain, 15.643f, 0.02f);
    for (float o : {2.0f, -3.0f}) {
        const float moved = object->SegmentLength(s, 0, 0.0f, 1.0f, o);
        EXPECT_NEAR(moved / plain, (10.0f + o) / 10.0f, 3e-3f) << "o = " << o;
    }
}

// A segment the spline does not have has no length; a spline of one knot has no segments.
TEST_F(SegmentLengthTest, SegmentsOutsideTheSplineHaveNoLength) {
    Spline3D s = Corners({Point3(0, 0, 0), Point3(10, 0, 0)}, false);
    EXPECT_EQ(object->SegmentLength(s, 1, 0.0f, 1.0f, 2.0f), 0.0f);
    EXPECT_EQ(object->SegmentLength(s, -1, 0.0f, 1.0f, 0.0f), 0.0f);
    Spline3D single = Corners({Point3(1, 2, 3)}, false);
    EXPECT_EQ(object->SegmentLength(single, 0, 0.0f, 1.0f, 2.0f), 0.0f);
}

}  // namespace
