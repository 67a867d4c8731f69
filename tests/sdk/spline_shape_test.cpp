#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "bitarray.h"
#include "polyshp.h"
#include "shape.h"
#include "spline3d.h"
#include "spline_expect.h"

using spline_test::CornerSpline;
using spline_test::Near;

namespace {

// --- MakePolyLine / MakePolyShape point counts and positions ------------------------------------

struct StepCase {
    std::string name;
    bool closed;
    int steps;
    std::vector<Point3> pts;  // expected points, in order
};

class BezierShapeMakePolyShape : public ::testing::TestWithParam<StepCase> {};

// Knots (0,0,0), (10,0,0), (10,10,0) of corner type: straight segments, linear in t, so the
// interior points sit at k/(steps+1) of each chord. Open: 2 pieces -> steps*2 + 2 + 1 points;
// closed (3 pieces, the closing one back to the origin) -> steps*3 + 3.
TEST_P(BezierShapeMakePolyShape, CountsAndPositions) {
    const StepCase& c = GetParam();
    BezierShape shape;
    *shape.NewSpline() = CornerSpline({{0, 0, 0}, {10, 0, 0}, {10, 10, 0}}, c.closed);
    PolyShape poly;
    shape.MakePolyShape(poly, c.steps);
    ASSERT_EQ(poly.numLines, 1);
    const PolyLine& l = poly.lines[0];
    EXPECT_EQ(l.IsClosed() != 0, c.closed);
    ASSERT_EQ(l.numPts, static_cast<int>(c.pts.size()));
    for (int i = 0; i < l.numPts; ++i) EXPECT_TRUE(Near(l[i].p, c.pts[i])) << "point " << i;
}

std::vector<Point3> SeventhsOpen() {
    std::vector<Point3> v;
    for (int k = 0; k < 7; ++k) v.push_back(Point3(10.0f * k / 7.0f, 0.0f, 0.0f));
    for (int k = 0; k < 7; ++k) v.push_back(Point3(10.0f, 10.0f * k / 7.0f, 0.0f));
    v.push_back(Point3(10, 10, 0));
    return v;
}

INSTANTIATE_TEST_SUITE_P(
    Steps, BezierShapeMakePolyShape,
    ::testing::Values(
        StepCase{"OpenSteps0", false, 0, {{0, 0, 0}, {10, 0, 0}, {10, 10, 0}}},
        StepCase{
            "OpenSteps1", false, 1, {{0, 0, 0}, {5, 0, 0}, {10, 0, 0}, {10, 5, 0}, {10, 10, 0}}},
        StepCase{"OpenSteps6", false, 6, SeventhsOpen()},
        // The shape's own steps (6) when the argument is negative.
        StepCase{"OpenShapeSteps", false, -1, SeventhsOpen()},
        StepCase{"ClosedSteps0", true, 0, {{0, 0, 0}, {10, 0, 0}, {10, 10, 0}}},
        StepCase{"ClosedSteps1",
                 true,
                 1,
                 {{0, 0, 0}, {5, 0, 0}, {10, 0, 0}, {10, 5, 0}, {10, 10, 0}, {5, 5, 0}}}),
    spline_test::ByName());

TEST(Spline3DMakePolyLine, CountsForEveryStepSetting) {
    // n knots: open n-1 pieces -> steps*(n-1) + (n-1) + 1; closed n pieces -> steps*n + n.
    for (int n : {2, 3, 5}) {
        for (int steps : {0, 1, 6, 13}) {
            for (bool closed : {false, true}) {
                Spline3D s;
                for (int i = 0; i < n; ++i) {
                    const Point3 p(static_cast<float>(i), static_cast<float>(i * i), 0.0f);
                    SplineKnot k(KTYPE_AUTO, LTYPE_CURVE, p, p, p);
                    s.AddKnot(k);
                }
                s.SetClosed(closed);
                s.ComputeBezPoints();
                PolyLine l;
                s.MakePolyLine(l, steps);
                const int pieces = closed ? n : n - 1;
                EXPECT_EQ(l.numPts, steps * pieces + pieces + (closed ? 0 : 1))
                    << n << " knots, steps " << steps << ", closed " << closed;
            }
        }
    }
}

// Optimize: straight segments (a line type, or handles on the chord) get no interior points;
// the curved one keeps its steps. Adaptive (steps < 0): straight 0, a quarter circle turning
// 90 degrees gets 90/7.5 = 12 chords, 11 interior points.
TEST(Spline3DMakePolyLine, OptimizeAndAdaptiveSteps) {
    const float R = 10.0f, c = CIRCLE_VECTOR_LENGTH * R;
    Spline3D s;
    SplineKnot a(KTYPE_CORNER, LTYPE_LINE, Point3(-10, 10, 5), Point3(-10, 10, 5),
                 Point3(-3, 0, 9));  // line: handles ignored
    SplineKnot b(KTYPE_CORNER, LTYPE_CURVE, Point3(0, 10, 0), Point3(0, 10, 0), Point3(0, 10, 0));
    SplineKnot d(KTYPE_BEZIER, LTYPE_CURVE, Point3(R, 0.0f, 0.0f), Point3(R, c, 0.0f),
                 Point3(R, -c, 0.0f));
    s.AddKnot(a);
    s.AddKnot(b);
    s.AddKnot(d);
    s.SetOutVec(1, Point3(c, R, 0.0f));  // segment 1: a quarter circle from (0,R) to (R,0)
    PolyLine l;
    s.MakePolyLine(l, 4, TRUE);
    EXPECT_EQ(l.numPts, 1 + 5 + 1);  // knot, knot + 4 interior, last knot
    s.MakePolyLine(l, 4, FALSE);
    EXPECT_EQ(l.numPts, 2 * 4 + 2 + 1);
    s.MakePolyLine(l, -1);
    EXPECT_EQ(l.numPts, 1 + 12 + 1);

    BezierShape shape;
    *shape.NewSpline() = s;
    shape.optimize = TRUE;
    PolyShape poly;
    shape.MakePolyShape(poly);  // shape steps 6, shape optimize
    EXPECT_EQ(poly.lines[0].numPts, 1 + 7 + 1);
    shape.steps = PSHAPE_ADAPTIVE_STEPS;
    shape.MakePolyShape(poly, PSHAPE_BUILTIN_STEPS);
    EXPECT_EQ(poly.lines[0].numPts, 1 + 12 + 1);
}

// --- BezierShape ------------------------------------------------------------------------------

// Chords of 10 and 30: the shape's curves are sampled by arc length unless told otherwise.
TEST(BezierShape, InterpolatesByArcLengthByDefault) {
    BezierShape shape;
    *shape.NewSpline() = CornerSpline({{0, 0, 0}, {10, 0, 0}, {10, 30, 0}});
    EXPECT_TRUE(Near(shape.InterpCurve3D(0, 0.5f), Point3(10, 10, 0)));
    EXPECT_TRUE(Near(shape.InterpCurve3D(0, 0.5f, PARAM_SIMPLE), Point3(10, 0, 0)));
    EXPECT_TRUE(Near(shape.TangentCurve3D(0, 0.1f), Point3(1, 0, 0)));
    EXPECT_TRUE(Near(shape.InterpPiece3D(0, 1, 0.5f), Point3(10, 15, 0)));
    EXPECT_EQ(shape.InterpCurve3D(3, 0.5f), Point3(0, 0, 0));  // no such curve
}

}  // namespace
