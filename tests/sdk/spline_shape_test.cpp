#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "bitarray.h"
#include "polyshp.h"
#include "shape.h"
#include "spline3d.h"
#include "spline_expect.h"

using spline_test::CornerSpline;
using support::Near;

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
    support::ByName());

// Adaptive steps (negative): a straight segment (a line type, or handles on the chord) gets no
// interior points, a quarter circle turning 90 degrees 90/7.5 = 12 chords, 11 interior points.
TEST(Spline3DMakePolyLine, AdaptiveSteps) {
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
    s.MakePolyLine(l, 4);
    EXPECT_EQ(l.numPts, 2 * 4 + 2 + 1);
    s.MakePolyLine(l, -1);
    EXPECT_EQ(l.numPts, 1 + 12 + 1);
    // The shape's own adaptive steps.
    BezierShape shape;
    *shape.NewSpline() = s;
    shape.steps = PSHAPE_ADAPTIVE_STEPS;
    PolyShape poly;
    shape.MakePolyShape(poly, PSHAPE_BUILTIN_STEPS);
    EXPECT_EQ(poly.lines[0].numPts, 1 + 12 + 1);
}

}  // namespace
