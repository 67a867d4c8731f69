// WorkingPath: the offset spline flattened at the path's steps, measured and sampled by
// normalised arc length.
#include "distribute/working_path.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

#include "distribute/path_fixtures.h"
#include "scene.h"
#include "splshape.h"

using namespace trellon;

using path_fixtures::CornerShape;
using path_fixtures::Near;
using path_fixtures::NewObject;

namespace {

constexpr TimeValue kTime = 0;

// The working path is made by the host (CreateInstance): every test runs in a scene.
template <class Base = ::testing::Test>
class InScene : public Base {
protected:
    host::Scene scene;
    path_fixtures::ObjectPtr object = NewObject();
};
using WorkingPathTest = InScene<>;

struct SampleCase {
    float u;
    Point3 position;
    Point3 tangent;
};

using UnequalSegments = InScene<::testing::TestWithParam<SampleCase>>;

// (0,0) -> (10,0) -> (10,30): L = 40; the knot (10,0) lies at u = 10/40 = 0.25, so u = 0.5 is
// 20 along: 10 up the second segment. Exactly at the knot the tangent is the outgoing segment's;
// u outside [0, 1] clamps on an open path.
TEST_P(UnequalSegments, PositionAndTangentAtADistance) {
    const SampleCase& c = GetParam();
    BezierShape shape;
    CornerShape(shape, {Point3(0, 0, 0), Point3(10, 0, 0), Point3(10, 30, 0)}, false, 0);
    trellon::WorkingPath path = trellon::WorkingPath::Build(*object, shape, 0, 0.0f, kTime);
    ASSERT_FALSE(path.Empty());
    EXPECT_FLOAT_EQ(path.Length(), 40.0f);
    Point3 position, tangent;
    path.Sample(c.u, position, tangent);
    EXPECT_TRUE(Near(position, c.position)) << "u = " << c.u;
    EXPECT_TRUE(Near(tangent, c.tangent, 1e-6f)) << "u = " << c.u;
    EXPECT_TRUE(Near(path.Position(c.u), c.position));
    EXPECT_TRUE(Near(path.Tangent(c.u), c.tangent, 1e-6f));
}

INSTANTIATE_TEST_SUITE_P(Distances, UnequalSegments,
                         ::testing::Values(SampleCase{0.125f, Point3(5, 0, 0), Point3(1, 0, 0)},
                                           SampleCase{0.25f, Point3(10, 0, 0), Point3(0, 1, 0)},
                                           SampleCase{0.875f, Point3(10, 25, 0), Point3(0, 1, 0)},
                                           SampleCase{1.5f, Point3(10, 30, 0), Point3(0, 1, 0)},
                                           SampleCase{std::numeric_limits<float>::quiet_NaN(),
                                                      Point3(0, 0, 0), Point3(1, 0, 0)}));

using SquareLength = InScene<::testing::TestWithParam<float>>;

// The counter-clockwise square of side 10 offset d to its left (inside) is the square of side
// 10 - 2d: L = 4 (10 - 2d), closing side included; negative d gives the larger outer square.
TEST_P(SquareLength, IsFourTimesTheOffsetSide) {
    const float d = GetParam();
    BezierShape shape;
    CornerShape(shape, path_fixtures::Square10(), true, 0);
    trellon::WorkingPath path = trellon::WorkingPath::Build(*object, shape, 0, d, kTime);
    EXPECT_TRUE(path.Closed());
    ASSERT_EQ(path.Points().size(), 4u);
    EXPECT_NEAR(path.Length(), 4.0f * (10.0f - 2.0f * d), 1e-4f);
    EXPECT_TRUE(Near(path.Points()[0], Point3(d, d, 0.0f)));
    // The cache and the host measure the same spline.
    EXPECT_EQ(path.Length(), path.Shape()->LengthOfCurve(kTime, 0));
    // Closed: u = 1 comes back to the start, and u wraps.
    EXPECT_TRUE(Near(path.Position(1.0f), Point3(d, d, 0.0f)));
    EXPECT_TRUE(Near(path.Position(1.25f), path.Position(0.25f)));
    EXPECT_TRUE(Near(path.Position(-0.25f), path.Position(0.75f)));
}

INSTANTIATE_TEST_SUITE_P(Offsets, SquareLength, ::testing::Values(1.0f, -3.0f));

// With d = 0 the working path is the polyline of the source itself, curved segments included.
TEST_F(WorkingPathTest, ZeroOffsetIsTheSourcePolyline) {
    BezierShape shape;
    shape.steps = 5;
    path_fixtures::FillCircle(*shape.NewSpline(), 10.0f);
    trellon::WorkingPath path = trellon::WorkingPath::Build(*object, shape, 0, 0.0f, kTime);
    PolyLine source;
    shape.GetSpline(0)->MakePolyLine(source, 5);
    ASSERT_EQ(path.Points().size(), static_cast<std::size_t>(source.numPts));  // 5 * 4 + 4
    for (int i = 0; i < source.numPts; ++i)
        EXPECT_TRUE(Near(path.Points()[static_cast<std::size_t>(i)], source.pts[i].p, 1e-5f))
            << "point " << i;
    EXPECT_NEAR(path.Length(), source.CurveLength(), 1e-4f);
}

struct AgreementCase {
    bool closed;
    float d;
};

using AgreesWithTheHost = InScene<::testing::TestWithParam<AgreementCase>>;

// The cache answers what the host's normalised InterpCurve3D / TangentCurve3D answer on the
// working path object, at a thousand parameters and at every knot, past the ends too. The path
// has a curved part, a corner and a repeated knot (a segment of no length).
TEST_P(AgreesWithTheHost, AtManyParameters) {
    const AgreementCase& c = GetParam();
    BezierShape shape;
    shape.steps = 6;
    Spline3D& s = *shape.NewSpline();
    s.AddKnot(
        SplineKnot(KTYPE_CORNER, LTYPE_CURVE, Point3(0, 0, 0), Point3(0, 0, 0), Point3(0, 0, 0)));
    s.AddKnot(SplineKnot(KTYPE_BEZIER, LTYPE_CURVE, Point3(40, 0, 0), Point3(30, -10, 0),
                         Point3(50, 10, 0)));
    s.AddKnot(SplineKnot(KTYPE_CORNER, LTYPE_CURVE, Point3(40, 30, 2), Point3(40, 30, 2),
                         Point3(40, 30, 2)));
    s.AddKnot(SplineKnot(KTYPE_CORNER, LTYPE_CURVE, Point3(40, 30, 2), Point3(40, 30, 2),
                         Point3(40, 30, 2)));
    s.AddKnot(SplineKnot(KTYPE_AUTO, LTYPE_CURVE, Point3(10, 35, 0), Point3(10, 35, 0),
                         Point3(10, 35, 0)));
    if (c.closed) s.SetClosed(1);
    s.ComputeBezPoints();

    trellon::WorkingPath path = trellon::WorkingPath::Build(*object, shape, 0, c.d, kTime);
    ASSERT_FALSE(path.Empty());
    SplineShape* host = path.Shape();
    ASSERT_NE(host, nullptr);
    EXPECT_EQ(path.Length(), host->LengthOfCurve(kTime, 0));

    std::vector<float> us;
    for (int i = -20; i <= 1020; ++i) us.push_back(static_cast<float>(i) / 1000.0f);
    // Every knot of the working path, where the tangent changes.
    double run = 0.0;
    const std::vector<Point3>& pts = path.Points();
    for (std::size_t i = 0; i + 1 < pts.size(); ++i) {
        run += Length(pts[i + 1] - pts[i]);
        us.push_back(static_cast<float>(run / path.Length()));
    }
    const float tol = 1e-5f * path.Length();
    for (float u : us) {
        Point3 position, tangent;
        path.Sample(u, position, tangent);
        EXPECT_TRUE(Near(position, host->InterpCurve3D(kTime, 0, u, PARAM_NORMALIZED), tol))
            << "u = " << u;
        EXPECT_TRUE(Near(tangent, host->TangentCurve3D(kTime, 0, u, PARAM_NORMALIZED), 1e-5f))
            << "u = " << u;
    }
}

INSTANTIATE_TEST_SUITE_P(Paths, AgreesWithTheHost,
                         ::testing::Values(AgreementCase{false, -2.0f}, AgreementCase{true, 1.5f}));

// Nothing to build: no such spline, a spline of one knot, or no host to make the object. The
// result is empty and samples as the origin with no direction.
TEST(WorkingPath, EmptyWhenThereIsNothingToBuild) {
    auto object = NewObject();
    BezierShape shape;
    CornerShape(shape, {Point3(0, 0, 0), Point3(10, 0, 0)}, false, 0);
    path_fixtures::FillCorners(*shape.NewSpline(), {Point3(5, 5, 5)}, false);
    {
        // Without a core interface the host cannot make the working path object.
        trellon::WorkingPath noHost = trellon::WorkingPath::Build(*object, shape, 0, 0.0f, kTime);
        EXPECT_TRUE(noHost.Empty());
    }
    host::Scene scene;
    for (int index : {-1, 1, 2}) {
        trellon::WorkingPath path = trellon::WorkingPath::Build(*object, shape, index, 1.0f, kTime);
        EXPECT_TRUE(path.Empty() && path.Points().empty() && !path.Shape()) << "index " << index;
        EXPECT_EQ(path.Length(), 0.0f);
        Point3 position(1, 1, 1), tangent(1, 1, 1);
        path.Sample(0.5f, position, tangent);
        EXPECT_EQ(position, Point3(0, 0, 0));
        EXPECT_EQ(tangent, Point3(0, 0, 0));
    }
    EXPECT_FALSE(trellon::WorkingPath::Build(*object, shape, 0, 1.0f, kTime).Empty());
}

// A path whose knots all coincide has no length: it samples as that point with no direction.
TEST_F(WorkingPathTest, APathOfNoLengthHasNoDirection) {
    BezierShape shape;
    CornerShape(shape, {Point3(3, 4, 5), Point3(3, 4, 5), Point3(3, 4, 5)}, false, 2);
    trellon::WorkingPath path = trellon::WorkingPath::Build(*object, shape, 0, 2.0f, kTime);
    ASSERT_FALSE(path.Empty());
    EXPECT_EQ(path.Length(), 0.0f);
    EXPECT_TRUE(Near(path.Position(0.5f), Point3(3, 4, 5)));
    EXPECT_EQ(path.Tangent(0.5f), Point3(0, 0, 0));
}

}  // namespace
