// SplineShape: curve queries answered by the Bezier shape, polyline steps, copies.
#include <gtest/gtest.h>

#include <memory>

#include "objmodel_fakes.h"
#include "splshape.h"

namespace {

using objmodel_fakes::FakeNode;

// A closed square of side 10 with corner knots at (0,0), (10,0), (10,10), (0,10).
std::unique_ptr<SplineShape> Square() {
    auto shape = std::make_unique<SplineShape>();
    Spline3D* s = shape->shape.NewSpline();
    const Point3 pts[] = {
        {0.0f, 0.0f, 0.0f}, {10.0f, 0.0f, 0.0f}, {10.0f, 10.0f, 0.0f}, {0.0f, 10.0f, 0.0f}};
    for (const Point3& p : pts) s->AddKnot(SplineKnot(KTYPE_CORNER, LTYPE_CURVE, p, p, p));
    s->SetClosed();
    s->ComputeBezPoints();
    shape->shape.UpdateSels();
    shape->SetAFlag(A_LOCK_TARGET);
    return shape;
}

TEST(ObjModelSplineShape, CurvesAnswerFromTheBezierShape) {
    auto sq = Square();
    EXPECT_EQ(sq->SuperClassID(), SHAPE_CLASS_ID);
    EXPECT_TRUE(sq->IsShapeObject());
    EXPECT_EQ(sq->NumberOfCurves(0), 1);
    EXPECT_TRUE(sq->CurveClosed(0, 0));
    EXPECT_NEAR(sq->LengthOfCurve(0, 0), 40.0f, 1e-4f);  // four sides of 10
    EXPECT_EQ(sq->NumberOfPieces(0, 0), 4);
    EXPECT_EQ(sq->NumberOfVertices(0, 0), 4);
    EXPECT_EQ(sq->NumberOfVertices(0), 4);
    // Half the arc length (20) from (0,0) along +x then +y reaches the corner (10,10).
    const Point3 half = sq->InterpCurve3D(0, 0, 0.5f, PARAM_NORMALIZED);
    EXPECT_NEAR(half.x, 10.0f, 1e-4f);
    EXPECT_NEAR(half.y, 10.0f, 1e-4f);
    // An eighth (5) is the middle of the first side, heading along +x.
    const Point3 tan = sq->TangentCurve3D(0, 0, 0.125f, PARAM_NORMALIZED);
    EXPECT_NEAR(tan.x, 1.0f, 1e-5f);
    EXPECT_NEAR(tan.y, 0.0f, 1e-5f);
    // Bad curve indices: defined empty answers.
    EXPECT_FALSE(sq->CurveClosed(0, 3));
    EXPECT_EQ(sq->LengthOfCurve(0, -1), 0.0f);
    EXPECT_EQ(sq->NumberOfPieces(0, 1), 0);
    EXPECT_EQ(sq->NumberOfVertices(0, 2), 0);
}

struct PolyCase {
    int setSteps;   // SetSteps before the call
    int steps;      // MakePolyShape's steps argument
    BOOL optimize;  // MakePolyShape's optimize argument
    int points;     // closed, 4 pieces: steps*4 + 4; optimized straight sides: 4
};

class ObjModelSplinePoly : public ::testing::TestWithParam<PolyCase> {};

INSTANTIATE_TEST_SUITE_P(
    Steps, ObjModelSplinePoly,
    ::testing::Values(PolyCase{6, 2, FALSE, 12},                       // explicit steps
                      PolyCase{3, PSHAPE_BUILTIN_STEPS, FALSE, 16},    // the shape's 3
                      PolyCase{3, PSHAPE_BUILTIN_STEPS, TRUE, 4},      // caller optimizes
                      PolyCase{-4, PSHAPE_BUILTIN_STEPS, FALSE, 4},    // clamped to 0
                      PolyCase{9, PSHAPE_ADAPTIVE_STEPS, FALSE, 4}));  // straight: 0

TEST_P(ObjModelSplinePoly, PointCounts) {
    const PolyCase& c = GetParam();
    auto sq = Square();
    sq->SetSteps(c.setSteps);
    PolyShape poly;
    sq->MakePolyShape(0, poly, c.steps, c.optimize);
    ASSERT_EQ(poly.numLines, 1);
    EXPECT_EQ(poly.lines[0].numPts, c.points);
    EXPECT_TRUE(poly.lines[0].IsClosed());
}

}  // namespace
