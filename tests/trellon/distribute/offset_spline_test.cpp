// OffsetSpline: each knot of a spline moved d sideways along its mitre, handles scaled by
// Trellon::SegmentLength, five chords of part of a segment, optionally moved sideways.
#include <gtest/gtest.h>

#include <cmath>
#include <ostream>
#include <string>
#include <vector>

#include "distribute/offset_spline.h"
#include "distribute/path_fixtures.h"

using namespace trellon;
using path_fixtures::Corners;
using path_fixtures::Finite;
using path_fixtures::Near;

namespace {

using OffsetSplineTest = path_fixtures::WithObject<>;

struct KnotCase {
    std::string name;
    std::vector<Point3> source;
    bool closed;
    float d;
    std::vector<Point3> expected;
};

void PrintTo(const KnotCase& c, std::ostream* os) { *os << c.name; }

class OffsetKnots : public path_fixtures::WithObject<::testing::TestWithParam<KnotCase>> {};

TEST_P(OffsetKnots, MovesEachKnotToTheOffsetLines) {
    const KnotCase& c = GetParam();
    Spline3D source = Corners(c.source, c.closed);
    // Whatever the result held before is replaced.
    Spline3D result = Corners({Point3(0, 0, 0), Point3(1, 0, 0)}, false);
    trellon::OffsetSpline(*object, source, c.d, result);
    ASSERT_EQ(result.KnotCount(), static_cast<int>(c.expected.size()));
    EXPECT_EQ(result.Closed(), c.closed ? 1 : 0);
    for (int k = 0; k < result.KnotCount(); ++k) {
        EXPECT_TRUE(Near(result.GetKnotPoint(k), c.expected[static_cast<std::size_t>(k)], 2e-4f))
            << "knot " << k;
        EXPECT_EQ(result.GetKnotType(k), KTYPE_CORNER) << "knot " << k;
        EXPECT_EQ(result.GetLineType(k), LTYPE_CURVE) << "knot " << k;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Shapes, OffsetKnots,
    ::testing::Values(
        // A straight run: a.b = -1, no mitre; every knot moves exactly d to the left (+Y).
        KnotCase{"StraightRunLeft",
                 {Point3(0, 0, 0), Point3(10, 0, 0), Point3(20, 0, 0)},
                 false,
                 5.0f,
                 {Point3(0, 5, 0), Point3(10, 5, 0), Point3(20, 5, 0)}},
        // A left turn of 90 degrees: the offset lines y = 10 and x = 90 meet at (90, 10), 10 /
        // sin 45 = 14.142 from the corner along its bisector; the open ends move 10 straight
        // across their segments.
        KnotCase{"RightAngleMitre",
                 {Point3(0, 0, 0), Point3(100, 0, 0), Point3(100, 100, 0)},
                 false,
                 10.0f,
                 {Point3(0, 10, 0), Point3(90, 10, 0), Point3(90, 100, 0)}},
        // Open ends move perpendicular to their own segment: the first segment runs along
        // (0.6, 0.8), its left normal is (-0.8, 0.6), so (0,0) goes to (-4, 3); the last runs
        // along +X, so (60,40) goes to (60,45). The inner corner is where the offset lines meet:
        // y = 45 and the line through (-4,3) along (0.6,0.8), at x = -4 + 0.75 * 42 = 27.5.
        KnotCase{"OpenEndsWithoutMitre",
                 {Point3(0, 0, 0), Point3(30, 40, 0), Point3(60, 40, 0)},
                 false,
                 5.0f,
                 {Point3(-4, 3, 0), Point3(27.5f, 45.0f, 0.0f), Point3(60, 45, 0)}},
        // The counter-clockwise square: its left is its inside, each corner moves (d, d) inward
        // along the diagonal, giving the square of side 10 - 2d.
        KnotCase{"ClosedSquareInward",
                 path_fixtures::Square10(),
                 true,
                 2.0f,
                 {Point3(2, 2, 0), Point3(8, 2, 0), Point3(8, 8, 0), Point3(2, 8, 0)}},
        // A repeated knot gives one side no direction: the knot moves across the other side,
        // without a mitre, so the run stays straight at y = 3.
        KnotCase{"RepeatedKnot",
                 {Point3(0, 0, 0), Point3(10, 0, 0), Point3(10, 0, 0), Point3(20, 0, 0)},
                 false,
                 3.0f,
                 {Point3(0, 3, 0), Point3(10, 3, 0), Point3(10, 3, 0), Point3(20, 3, 0)}},
        // The path turns straight back at (10,0): there is no mitre point; the knot moves across
        // the outgoing segment (travel -X, left is -Y), as the end (0,0) does.
        KnotCase{"TurnsStraightBack",
                 {Point3(0, 0, 0), Point3(10, 0, 0), Point3(0, 0, 0)},
                 false,
                 2.0f,
                 {Point3(0, 2, 0), Point3(10, -2, 0), Point3(0, -2, 0)}},
        // Fewer than two knots give nothing to offset.
        KnotCase{"SingleKnot", {Point3(1, 1, 0)}, false, 2.0f, {}}),
    [](const ::testing::TestParamInfo<KnotCase>& p) { return p.param.name; });

// An open spline of two Bezier knots with uneven handles: with d = 0 the result keeps the inner
// handles where they were (not exchanged by the backwards build) and puts the two outer handles,
// which no segment uses, on their knots.
TEST_F(OffsetSplineTest, OpenSplineKeepsItsInnerHandlesAndDropsTheOuterOnes) {
    Spline3D source;
    source.AddKnot(SplineKnot(KTYPE_BEZIER_CORNER, LTYPE_CURVE, Point3(0, 0, 0), Point3(-5, -5, 0),
                              Point3(5, 5, 0)));
    source.AddKnot(SplineKnot(KTYPE_BEZIER_CORNER, LTYPE_CURVE, Point3(20, 0, 0), Point3(15, 5, 0),
                              Point3(25, -5, 0)));
    Spline3D result;
    trellon::OffsetSpline(*object, source, 0.0f, result);
    ASSERT_EQ(result.KnotCount(), 2);
    EXPECT_EQ(result.Closed(), 0);
    EXPECT_TRUE(Near(result.GetInVec(0), Point3(0, 0, 0)));
    EXPECT_TRUE(Near(result.GetOutVec(0), Point3(5, 5, 0)));
    EXPECT_TRUE(Near(result.GetInVec(1), Point3(15, 5, 0)));
    EXPECT_TRUE(Near(result.GetOutVec(1), Point3(20, 0, 0)));
    EXPECT_EQ(result.GetKnotType(0), KTYPE_BEZIER_CORNER);
}

struct CircleCase {
    float d;
    float radius;  // of the offset circle: 10 - d (the left of counter-clockwise travel is in)
};

class OffsetCircle : public path_fixtures::WithObject<::testing::TestWithParam<CircleCase>> {};

// A smooth knot of the circle sees its neighbours nearly straight across (a.b about -0.9999),
// so its mitre is a hair over d: the knots land on the circle of radius 10 - d. The handles keep
// their direction along the tangent and scale with the half segments, as the radius: the
// quarter-circle handle length 0.5517862 * (10 - d).
TEST_P(OffsetCircle, KnotsAndHandlesFollowTheRadius) {
    const CircleCase& c = GetParam();
    Spline3D source;
    path_fixtures::FillCircle(source, 10.0f);
    Spline3D result;
    trellon::OffsetSpline(*object, source, c.d, result);
    ASSERT_EQ(result.KnotCount(), 4);
    EXPECT_EQ(result.Closed(), 1);
    const float handle = CIRCLE_VECTOR_LENGTH * c.radius;
    for (int k = 0; k < 4; ++k) {
        const Point3 radial = source.GetKnotPoint(k) / 10.0f;
        const Point3 tangent(-radial.y, radial.x, 0.0f);
        EXPECT_TRUE(Near(result.GetKnotPoint(k), radial * c.radius, 2e-3f)) << "knot " << k;
        EXPECT_TRUE(Near(result.GetRelOutVec(k), tangent * handle, 0.02f)) << "knot " << k;
        EXPECT_TRUE(Near(result.GetRelInVec(k), tangent * -handle, 0.02f)) << "knot " << k;
        EXPECT_EQ(result.GetKnotType(k), KTYPE_BEZIER);
    }
}

INSTANTIATE_TEST_SUITE_P(Radii, OffsetCircle,
                         ::testing::Values(CircleCase{2.0f, 8.0f}, CircleCase{-2.0f, 12.0f}));

// A segment of no length beside a Bezier knot: its half segment has no length, the handle
// ratio is not taken (the handle stays as it is) and nothing becomes NaN.
TEST_F(OffsetSplineTest, ZeroLengthSegmentKeepsEveryNumberFinite) {
    Spline3D source;
    source.AddKnot(
        SplineKnot(KTYPE_BEZIER, LTYPE_CURVE, Point3(0, 0, 0), Point3(0, 0, 0), Point3(0, 0, 0)));
    source.AddKnot(
        SplineKnot(KTYPE_BEZIER, LTYPE_CURVE, Point3(0, 0, 0), Point3(0, 0, 0), Point3(4, 0, 0)));
    source.AddKnot(
        SplineKnot(KTYPE_BEZIER, LTYPE_CURVE, Point3(12, 0, 0), Point3(8, 0, 0), Point3(12, 0, 0)));
    Spline3D result;
    trellon::OffsetSpline(*object, source, 3.0f, result);
    ASSERT_EQ(result.KnotCount(), 3);
    for (int k = 0; k < 3; ++k) {
        EXPECT_TRUE(Finite(result.GetKnotPoint(k)) && Finite(result.GetInVec(k)) &&
                    Finite(result.GetOutVec(k)))
            << "knot " << k;
    }
    // The straight part runs on y = 3 with its handles a third of the way, as before.
    EXPECT_TRUE(Near(result.GetKnotPoint(1), Point3(0, 3, 0)));
    EXPECT_TRUE(Near(result.GetOutVec(1), Point3(4, 3, 0)));
    EXPECT_TRUE(Near(result.GetKnotPoint(2), Point3(12, 3, 0)));
}

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
