#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <string>
#include <vector>

#include "box3.h"
#include "matrix3.h"
#include "spline3d.h"
#include "spline_expect.h"

using spline_test::CornerSpline;
using spline_test::Knots;
using spline_test::Segment;
using support::Near;

namespace {

const double kPi = 3.14159265358979323846;

// Points from doubles, so that mixed literals need no suffixes.
Point3 P(double x, double y, double z) { return Point3(x, y, z); }

const std::vector<Point3> kL = {P(0, 0, 0), P(10, 0, 0), P(10, 10, 0)};
const std::vector<Point3> kSquare = {P(0, 0, 0), P(10, 0, 0), P(10, 10, 0), P(0, 10, 0)};
const std::vector<Point3> kCollinear = {P(0, 0, 0), P(10, 0, 0), P(40, 0, 0)};
const std::vector<Point3> kUpright = {P(0, 0, 0), P(0, 0, 30)};

// Quarter circle of radius R about the origin from (R,0,0) to (0,R,0), Bezier knots with handles
// CIRCLE_VECTOR_LENGTH * R along the tangents.
Spline3D QuarterCircle(float R) {
    const float c = CIRCLE_VECTOR_LENGTH * R;
    return Segment(P(R, 0, 0), P(R, c, 0), P(c, R, 0), P(0, R, 0));
}

// The parabola y = 2x - x^2/5 over x in [0,10] as one cubic: the degree-raised quadratic with
// control points (0,0), (5,10), (10,0) gives x(t) = 10t, y(t) = 20t(1-t).
Spline3D Parabola() {
    return Segment(P(0, 0, 0), P(10.0 / 3, 20.0 / 3, 0), P(20.0 / 3, 20.0 / 3, 0), P(10, 0, 0));
}

// Closed form of the parabola's arc length from x = 0: with w = 2 - 0.4x (the slope),
// S(x) = 2.5 (F(2) - F(w)), F(w) = (w sqrt(1+w^2) + asinh w) / 2.
double ParabolaF(double w) { return 0.5 * (w * std::sqrt(1.0 + w * w) + std::asinh(w)); }
double ParabolaArc(double x) { return 2.5 * (ParabolaF(2.0) - ParabolaF(2.0 - 0.4 * x)); }
double ParabolaXAtArc(double s) {
    double lo = 0.0, hi = 10.0;
    for (int i = 0; i < 100; ++i) {
        const double mid = 0.5 * (lo + hi);
        (ParabolaArc(mid) < s ? lo : hi) = mid;
    }
    return 0.5 * (lo + hi);
}

// --- Segments and lengths ---------------------------------------------------------------------

struct StraightCase {
    std::string name;
    std::function<Spline3D()> make;
};

class Spline3DStraightLength : public ::testing::TestWithParam<StraightCase> {};

// Knots (0,0,0), (10,0,0), (10,10,0): two chords of 10, however the segments are made straight.
TEST_P(Spline3DStraightLength, IsTheSumOfTheChords) {
    const Spline3D s = GetParam().make();
    EXPECT_FLOAT_EQ(s.SplineLength(), 20.0f);
    EXPECT_TRUE(Near(s.InterpCurve3D(0.25f, PARAM_NORMALIZED), Point3(5, 0, 0)));
}

INSTANTIATE_TEST_SUITE_P(
    Shapes, Spline3DStraightLength,
    ::testing::Values(StraightCase{"CornersWithComputedHandles", [] { return CornerSpline(kL); }},
                      StraightCase{"HandlesOnTheKnots", [] { return Knots(kL); }},
                      StraightCase{"LineSegmentsIgnoreHandles",
                                   [] {
                                       return Knots(kL, KTYPE_BEZIER_CORNER, LTYPE_LINE, P(0, 0, 7),
                                                    P(3, -9, 2));
                                   }}),
    support::ByName());

// The cubic with handles 0.5517861843 R strays from the circle by about 2.7e-4 R, so its length
// matches pi R / 2 to well within 1e-3; the parabola's length, in closed form 2.5 (2 sqrt 5 +
// asinh 2), checks the integration itself.
TEST(Spline3DLength, CurvesMatchTheirArcs) {
    for (float R : {1.0f, 10.0f, 250.0f}) {
        const double arc = kPi / 2.0 * R;
        EXPECT_NEAR(QuarterCircle(R).SplineLength(), arc, 1e-3 * arc) << "R " << R;
    }
    const double parabola = 2.5 * (2.0 * std::sqrt(5.0) + std::asinh(2.0));
    EXPECT_NEAR(Parabola().SplineLength(), parabola, 2e-6 * parabola);
}

// --- Handles ----------------------------------------------------------------------------------

struct HandleCase {
    std::string name;
    int ktype;
    std::vector<Point3> pts;
    bool closed;
    int knot;
    Point3 in, out;
};

class Spline3DComputeBezPoints : public ::testing::TestWithParam<HandleCase> {};

TEST_P(Spline3DComputeBezPoints, GivesTheDocumentedHandles) {
    const HandleCase& c = GetParam();
    Spline3D s = Knots(c.pts, c.ktype);
    s.SetClosed(c.closed);
    s.ComputeBezPoints();
    EXPECT_TRUE(Near(s.GetInVec(c.knot), c.in));
    EXPECT_TRUE(Near(s.GetOutVec(c.knot), c.out));
    EXPECT_TRUE(Near(s.GetRelOutVec(c.knot), c.out - s.GetKnotPoint(c.knot)));
}

const double k3 = 10.0 / 3.0;

INSTANTIATE_TEST_SUITE_P(
    Knots, Spline3DComputeBezPoints,
    ::testing::Values(
        HandleCase{"CornerMiddle", KTYPE_CORNER, kL, false, 1, P(2 * k3, 0, 0), P(10, k3, 0)},
        HandleCase{"CornerClosedWraps", KTYPE_CORNER, kSquare, true, 0, P(0, k3, 0), P(k3, 0, 0)},
        // Auto, middle of the L: a = b = 10, m = (1,0)/2 + (0,1)/2; handles m * 10/3.
        HandleCase{"AutoMiddle", KTYPE_AUTO, kL, false, 1, P(10 - k3 / 2, -k3 / 2, 0),
                   P(10 + k3 / 2, k3 / 2, 0)},
        // Auto ends: m0 = 2 (1,0) - (0.5,0.5) = (1.5,-0.5); m2 = 2 (0,1) - (0.5,0.5).
        HandleCase{"AutoFirst", KTYPE_AUTO, kL, false, 0, P(0, 0, 0), P(1.5 * k3, -0.5 * k3, 0)},
        // Closed square corner (0,0): neighbours (0,10) and (10,0), m = (0.5,-0.5).
        HandleCase{"AutoClosedSquare", KTYPE_AUTO, kSquare, true, 0, P(-k3 / 2, k3 / 2, 0),
                   P(k3 / 2, -k3 / 2, 0)},
        // Collinear, chords 10 and 30: m = (1,0), handles a/3 back and b/3 forward.
        HandleCase{"AutoUnequalCollinear", KTYPE_AUTO, kCollinear, false, 1, P(10 - k3, 0, 0),
                   P(20, 0, 0)},
        // Two knots: a straight segment, handles at the thirds.
        HandleCase{"AutoTwoKnotsStraight", KTYPE_AUTO, kUpright, false, 0, P(0, 0, 0),
                   P(0, 0, 10)}),
    support::ByName());

// --- Sampling ---------------------------------------------------------------------------------

struct SampleCase {
    std::string name;
    std::function<Spline3D()> make;
    int ptype;
    float u;
    Point3 pos;
    Point3 tan;
};

class Spline3DSample : public ::testing::TestWithParam<SampleCase> {};

TEST_P(Spline3DSample, PositionAndTangent) {
    const SampleCase& c = GetParam();
    const Spline3D s = c.make();
    EXPECT_TRUE(Near(s.InterpCurve3D(c.u, c.ptype), c.pos));
    EXPECT_TRUE(Near(s.TangentCurve3D(c.u, c.ptype), c.tan));
}

// Chords of 10 and 30 (length 40).
Spline3D Unequal() { return CornerSpline({{0, 0, 0}, {10, 0, 0}, {10, 30, 0}}); }
// The same knots with the handles left on the knots: straight, but B(t) = P0 + (P3-P0)(3t^2-2t^3).
Spline3D UnequalHandlesOnKnots() { return Knots({{0, 0, 0}, {10, 0, 0}, {10, 30, 0}}); }
Spline3D Square() { return CornerSpline({{0, 0, 0}, {10, 0, 0}, {10, 10, 0}, {0, 10, 0}}, true); }

const Point3 kX(1, 0, 0), kY(0, 1, 0);

INSTANTIATE_TEST_SUITE_P(
    Straight, Spline3DSample,
    ::testing::Values(
        SampleCase{"NormEighth", Unequal, PARAM_NORMALIZED, 0.125f, {5, 0, 0}, kX},
        SampleCase{"NormQuarterIsTheKnot", Unequal, PARAM_NORMALIZED, 0.25f, {10, 0, 0}, kY},
        SampleCase{"NormHalf", Unequal, PARAM_NORMALIZED, 0.5f, {10, 10, 0}, kY},
        SampleCase{"OpenClampsAbove", Unequal, PARAM_NORMALIZED, 1.5f, {10, 30, 0}, kY},
        SampleCase{"NaNReadsAsZero", Unequal, PARAM_NORMALIZED, std::nanf(""), {0, 0, 0}, kX},
        // Handles on the knots: B(t) = P0 + (P3-P0)(3t^2-2t^3) bunches the points by the knots,
        // but by arc length the spacing is even again.
        SampleCase{"KnotHandlesNorm", UnequalHandlesOnKnots, PARAM_NORMALIZED, 0.0625f,
                   P(2.5, 0, 0), kX},
        // Closed square of side 10: the closing edge is the last quarter; u wraps.
        SampleCase{"ClosedClosingEdge", Square, PARAM_NORMALIZED, 0.875f, {0, 5, 0}, {0, -1, 0}},
        SampleCase{"ClosedWrapsAbove", Square, PARAM_NORMALIZED, 1.25f, {10, 0, 0}, kY}),
    support::ByName());

// Normalised samples on the parabola sit where the closed-form arc length is u * L (inverted by
// bisection here), with the tangent along (1, 2 - 0.4x).
TEST(Spline3DSampleCurved, ParabolaByArcLength) {
    const Spline3D s = Parabola();
    const double L = ParabolaArc(10.0);
    for (float u : {0.05f, 0.1f, 0.25f, 0.5f, 0.8f, 0.97f}) {
        const double x = ParabolaXAtArc(u * L);
        const Point3 want(x, 2.0 * x - x * x / 5.0, 0.0);
        EXPECT_TRUE(Near(s.InterpCurve3D(u, PARAM_NORMALIZED), want, 2e-5f)) << "u " << u;
        EXPECT_TRUE(Near(s.InterpBezier3D(0, u, SPLINE_INTERP_NORMALIZED), want, 2e-5f));
        const double slope = 2.0 - 0.4 * x, norm = std::sqrt(1.0 + slope * slope);
        EXPECT_TRUE(Near(s.TangentCurve3D(u, PARAM_NORMALIZED),
                         Point3(1.0 / norm, slope / norm, 0.0), 1e-5f));
    }
    // The segment's own parameter: t = 1/4 is (2.5, 20 * 1/4 * 3/4).
    EXPECT_TRUE(Near(s.InterpBezier3D(0, 0.25f), Point3(2.5f, 3.75f, 0.0f)));
}

// --- Degenerate input -------------------------------------------------------------------------

TEST(Spline3DDegenerate, EmptyAndSingleKnot) {
    Spline3D empty;
    EXPECT_EQ(empty.SplineLength(), 0.0f);
    EXPECT_EQ(empty.InterpCurve3D(0.5f, PARAM_NORMALIZED), Point3(0, 0, 0));
    EXPECT_EQ(empty.TangentCurve3D(0.5f), Point3(0, 0, 0));
    EXPECT_EQ(empty.InterpBezier3D(3, 0.5f), Point3(0, 0, 0));
    EXPECT_EQ(empty.GetKnotPoint(0), Point3(0, 0, 0));
    EXPECT_EQ(empty.GetKnotType(0), -1);
    EXPECT_TRUE(empty.GetBBox().IsEmpty());

    Spline3D one = CornerSpline({{1, 2, 3}});
    EXPECT_EQ(one.InterpCurve3D(0.7f, PARAM_NORMALIZED), Point3(1, 2, 3));
    EXPECT_EQ(one.TangentCurve3D(0.7f, PARAM_NORMALIZED), Point3(0, 0, 0));
    EXPECT_EQ(one.SplineLength(), 0.0f);
}

// Knots (0,0), (10,0), (10,0), (10,10): the middle segment is a point; it borrows the direction
// of the next segment, and arc length passes over it.
TEST(Spline3DDegenerate, ZeroLengthSegmentBorrowsTheNextDirection) {
    const Spline3D s = CornerSpline({{0, 0, 0}, {10, 0, 0}, {10, 0, 0}, {10, 10, 0}});
    EXPECT_FLOAT_EQ(s.SplineLength(), 20.0f);
    EXPECT_TRUE(Near(s.TangentBezier3D(1, 0.5f), kY));
    EXPECT_TRUE(Near(s.InterpCurve3D(0.5f, PARAM_NORMALIZED), Point3(10, 0, 0)));
    EXPECT_TRUE(Near(s.TangentCurve3D(0.5f, PARAM_NORMALIZED), kY));
    EXPECT_TRUE(Near(s.TangentCurve3D(0.5f, PARAM_SIMPLE), kY));  // segment 1 at t = 1/2
    // At the open end a trailing point segment borrows the previous direction.
    Spline3D tail = CornerSpline({{0, 0, 0}, {0, 0, 10}, {0, 0, 10}});
    EXPECT_TRUE(Near(tail.TangentCurve3D(1.0f, PARAM_SIMPLE), Point3(0, 0, 1)));
}

// --- Reverse ----------------------------------------------------------------------------------

TEST(Spline3DReverse, OpenReversesKnotsSwapsHandlesAndKeepsSegmentTypes) {
    // Segment 0 (A-B) is a line, segment 1 (B-C) a curve.
    Spline3D s;
    SplineKnot a(KTYPE_CORNER, LTYPE_LINE, Point3(0, 0, 0), Point3(0, 0, 0), Point3(1, 0, 0));
    SplineKnot b(KTYPE_BEZIER, LTYPE_CURVE, Point3(10, 0, 0), Point3(8, 0, 0), Point3(12, 2, 0));
    SplineKnot c(KTYPE_CORNER, LTYPE_CURVE, Point3(10, 10, 0), Point3(10, 7, 0), Point3(10, 10, 0));
    s.AddKnot(a);
    s.AddKnot(b);
    s.AddKnot(c);
    const float len = s.SplineLength();
    const Point3 quarter = s.InterpCurve3D(0.25f, PARAM_NORMALIZED);
    s.Reverse();
    EXPECT_EQ(s.GetKnotPoint(0), Point3(10, 10, 0));
    EXPECT_EQ(s.GetKnotPoint(2), Point3(0, 0, 0));
    EXPECT_EQ(s.GetInVec(1), Point3(12, 2, 0));  // B's old out handle
    EXPECT_EQ(s.GetOutVec(1), Point3(8, 0, 0));
    EXPECT_EQ(s.GetOutVec(0), Point3(10, 7, 0));
    EXPECT_EQ(s.GetKnotType(1), KTYPE_BEZIER);
    EXPECT_EQ(s.GetLineType(0), LTYPE_CURVE);  // C-B, formerly B-C
    EXPECT_EQ(s.GetLineType(1), LTYPE_LINE);   // B-A, formerly A-B
    // The same curve run backwards.
    EXPECT_NEAR(s.SplineLength(), len, 1e-5f * len);
    EXPECT_TRUE(Near(s.InterpCurve3D(0.75f, PARAM_NORMALIZED), quarter, 1e-4f));
}

// --- Bounds -----------------------------------------------------------------------------------

// P0 (0,0), P1 (0,10), P2 (10,10), P3 (10,0): the curve peaks at t = 1/2, y = (30+30)/8 = 7.5,
// below the handles; a quarter circle of radius 10 fills [0,10]^2 exactly.
TEST(Spline3DBBox, BoundsTheCurveNotTheHandles) {
    const Box3 box = Segment(P(0, 0, 0), P(0, 10, 0), P(10, 10, 0), P(10, 0, 0)).GetBBox();
    EXPECT_TRUE(Near(box.pmin, Point3(0, 0, 0), 1e-5f));
    EXPECT_TRUE(Near(box.pmax, P(10, 7.5, 0), 1e-5f));
    const Box3 q = QuarterCircle(10.0f).GetBBox();
    EXPECT_TRUE(Near(q.pmin, Point3(0, 0, 0), 1e-5f));
    EXPECT_TRUE(Near(q.pmax, Point3(10, 10, 0), 1e-5f));
    // Turned a quarter about Z (+X to +Y) and moved by (0,0,3): the arc runs from (0,10) to
    // (-10,0), still bounded exactly, not by the turned box of the handles.
    Matrix3 tm = RotateZMatrix(HALFPI);
    tm.Translate(Point3(0, 0, 3));
    const Box3 turned = QuarterCircle(10.0f).GetBBox(&tm);
    EXPECT_TRUE(Near(turned.pmin, Point3(-10, 0, 3), 1e-5f));
    EXPECT_TRUE(Near(turned.pmax, Point3(0, 10, 3), 1e-5f));
}

}  // namespace
