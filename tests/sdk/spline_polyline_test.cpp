#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "bitarray.h"
#include "polyshp.h"
#include "spline_expect.h"

using spline_test::Line;
using support::Finite;
using support::Near;

namespace {

const Point3 kY(0, 1, 0);

// --- Arc-length sampling ----------------------------------------------------------------------

struct LineSample {
    std::string name;
    bool closed;
    int ptype;
    float u;
    Point3 pos;
    Point3 tan;
};

class PolyLineSample : public ::testing::TestWithParam<LineSample> {};

// Open: (0,0), (10,0), (10,30), length 40. Closed: the square of side 10, length 40 with the
// closing edge from (0,10) back to the origin.
TEST_P(PolyLineSample, PositionAndTangent) {
    const LineSample& c = GetParam();
    const PolyLine l = c.closed ? Line({{0, 0, 0}, {10, 0, 0}, {10, 10, 0}, {0, 10, 0}}, true)
                                : Line({{0, 0, 0}, {10, 0, 0}, {10, 30, 0}});
    EXPECT_FLOAT_EQ(l.CurveLength(), 40.0f);
    EXPECT_TRUE(Near(l.InterpCurve3D(c.u, c.ptype), c.pos));
    EXPECT_TRUE(Near(l.TangentCurve3D(c.u, c.ptype), c.tan));
}

INSTANTIATE_TEST_SUITE_P(
    Lines, PolyLineSample,
    ::testing::Values(
        // u * 40 along the line: 0.5 is at distance 20, 10 up the second segment.
        LineSample{"NormHalf", false, POLYSHP_INTERP_NORMALIZED, 0.5f, {10, 10, 0}, kY},
        LineSample{"NormAtTheCorner", false, POLYSHP_INTERP_NORMALIZED, 0.25f, {10, 0, 0}, kY},
        LineSample{"NormClampedAbove", false, POLYSHP_INTERP_NORMALIZED, 2.0f, {10, 30, 0}, kY},
        // Closed: the last quarter is the closing edge; u wraps.
        LineSample{
            "ClosedClosingEdge", true, POLYSHP_INTERP_NORMALIZED, 0.875f, {0, 5, 0}, {0, -1, 0}},
        LineSample{"ClosedWrapAbove", true, POLYSHP_INTERP_NORMALIZED, 1.375f, {10, 5, 0}, kY},
        LineSample{
            "ClosedWrapBelow", true, POLYSHP_INTERP_NORMALIZED, -0.375f, {5, 10, 0}, {-1, 0, 0}},
        LineSample{
            "ClosedEndIsTheStart", true, POLYSHP_INTERP_NORMALIZED, 1.0f, {0, 0, 0}, {0, -1, 0}}),
    support::ByName());

TEST(PolyLineArcLength, CacheFollowsEdits) {
    PolyLine l = Line({{0, 0, 0}, {10, 0, 0}});
    EXPECT_FLOAT_EQ(l.CurveLength(), 10.0f);
    l.Append(PolyPt(Point3(10, 5, 0)));
    EXPECT_FLOAT_EQ(l.CurveLength(), 15.0f);
    l.Close();  // closing edge sqrt(125)
    EXPECT_NEAR(l.CurveLength(), 15.0f + std::sqrt(125.0f), 1e-5f);
    l.Open();
    l.pts[2].p = Point3(10, 20, 0);  // a direct write needs InvalidateGeomCache, as in the host
    l.InvalidateGeomCache();
    EXPECT_FLOAT_EQ(l.CurveLength(), 30.0f);
    EXPECT_TRUE(Near(l.InterpCurve3D(0.5f, POLYSHP_INTERP_NORMALIZED), Point3(10, 5, 0)));
    const PolyLine copy = l;  // a copy has its own points
    l.SetNumPts(0);
    EXPECT_EQ(copy.numPts, 3);
    EXPECT_FLOAT_EQ(copy.CurveLength(), 30.0f);
}

TEST(PolyLineDegenerate, EmptySinglePointAndZeroLengthSegments) {
    const PolyLine empty;
    EXPECT_EQ(empty.Segments(), 0);
    EXPECT_EQ(empty.CurveLength(), 0.0f);
    EXPECT_EQ(empty.InterpCurve3D(0.5f, POLYSHP_INTERP_NORMALIZED), Point3(0, 0, 0));
    EXPECT_EQ(empty.TangentCurve3D(0.5f, POLYSHP_INTERP_NORMALIZED), Point3(0, 0, 0));

    const PolyLine one = Line({{1, 2, 3}});
    EXPECT_EQ(one.InterpCurve3D(0.5f, POLYSHP_INTERP_NORMALIZED), Point3(1, 2, 3));
    EXPECT_EQ(one.TangentCurve3D(0.5f), Point3(0, 0, 0));

    // All at one point: length 0, points and tangents finite (zero tangent).
    for (bool closed : {false, true}) {
        const PolyLine dot = Line({{4, 4, 4}, {4, 4, 4}, {4, 4, 4}}, closed);
        EXPECT_EQ(dot.CurveLength(), 0.0f);
        for (float u : {0.0f, 0.4f, 1.0f, 3.0f}) {
            EXPECT_EQ(dot.InterpCurve3D(u, POLYSHP_INTERP_NORMALIZED), Point3(4, 4, 4));
            EXPECT_EQ(dot.TangentCurve3D(u, POLYSHP_INTERP_NORMALIZED), Point3(0, 0, 0));
        }
    }

    // (0,0), (10,0), (10,0), (10,10): segment 1 has no length and borrows the next direction;
    // a trailing zero segment at the open end borrows the previous one.
    const PolyLine dup = Line({{0, 0, 0}, {10, 0, 0}, {10, 0, 0}, {10, 10, 0}, {10, 10, 0}});
    EXPECT_FLOAT_EQ(dup.CurveLength(), 20.0f);
    EXPECT_TRUE(Near(dup.InterpCurve3D(0.5f, POLYSHP_INTERP_NORMALIZED), Point3(10, 0, 0)));
    EXPECT_TRUE(Near(dup.TangentCurve3D(0.5f, POLYSHP_INTERP_NORMALIZED), kY));
    EXPECT_TRUE(Near(dup.InterpCurve3D(1.0f, POLYSHP_INTERP_NORMALIZED), Point3(10, 10, 0)));
    EXPECT_TRUE(Finite(dup.TangentCurve3D(std::nanf(""), POLYSHP_INTERP_NORMALIZED)));
}

// --- OrganizeCurves ---------------------------------------------------------------------------

PolyLine Square(float half, bool clockwise, float cx = 0.0f) {
    PolyLine l;
    const Point3 c[4] = {{cx - half, -half, 0.0f},
                         {cx + half, -half, 0.0f},
                         {cx + half, half, 0.0f},
                         {cx - half, half, 0.0f}};  // counter-clockwise
    for (int i = 0; i < 4; ++i) l.Append(PolyPt(c[clockwise ? 3 - i : i]));
    l.Close();
    return l;
}

PolyShape ShapeOf(const std::vector<PolyLine>& lines) {
    PolyShape shape;
    shape.SetNumLines(static_cast<int>(lines.size()));
    for (std::size_t i = 0; i < lines.size(); ++i) shape.lines[i] = lines[i];
    return shape;
}

struct NestCase {
    std::string name;
    std::vector<float> halves;    // squares about the origin
    std::vector<bool> clockwise;  // their running direction
    std::vector<int> depth;       // how many squares hold each one
    std::vector<int> reverse;     // expected reverse bits
};

class PolyShapeOrganize : public ::testing::TestWithParam<NestCase> {};

TEST_P(PolyShapeOrganize, NestsByContainmentAndAlternatesDirection) {
    const NestCase& c = GetParam();
    std::vector<PolyLine> squares;
    for (std::size_t i = 0; i < c.halves.size(); ++i)
        squares.push_back(Square(c.halves[i], c.clockwise[i]));
    PolyShape shape = ShapeOf(squares);
    ShapeHierarchy h;
    shape.OrganizeCurves(0, &h);
    ASSERT_EQ(h.reverse.GetSize(), shape.numLines);
    for (int i = 0; i < shape.numLines; ++i) {
        EXPECT_EQ(h.reverse[i], c.reverse[i]) << "line " << i;
    }
    // After reversing, the outermost runs counter-clockwise and the levels alternate.
    shape.Reverse(h.reverse);
    for (int i = 0; i < shape.numLines; ++i) {
        EXPECT_EQ(shape.lines[i].IsClockWise() != 0, c.depth[i] % 2 == 1) << "line " << i;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Squares, PolyShapeOrganize,
    ::testing::Values(
        // Both clockwise: the outer must turn round, the inner (depth 1) stays clockwise.
        NestCase{"TwoNestedClockwise", {10, 5}, {true, true}, {0, 1}, {1, 0}},
        NestCase{"InnerListedFirst", {5, 10}, {true, true}, {1, 0}, {0, 1}},
        // Three levels: the smallest container is the parent.
        NestCase{"ThreeLevels", {2, 10, 6}, {false, false, false}, {2, 0, 1}, {0, 0, 1}}),
    support::ByName());

TEST(PolyShapeOrganize, SideBySideAndOpenLinesAreRoots) {
    // Two small squares side by side, an open line, and a big square holding both squares (the
    // open line is a root and never reversed).
    PolyShape shape = ShapeOf({Square(1, true, -5), Square(1, false, 5),
                               Line({{-20, -20, 0}, {20, 20, 0}}), Square(30, false)});
    ShapeHierarchy h;
    shape.OrganizeCurves(0, &h);
    EXPECT_EQ(h.reverse[0], 0);  // depth 1, clockwise already
    EXPECT_EQ(h.reverse[1], 1);  // depth 1, counter-clockwise
    EXPECT_EQ(h.reverse[2], 0);
    EXPECT_EQ(h.reverse[3], 0);
}

}  // namespace
