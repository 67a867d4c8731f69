// WorkingPath: the offset spline flattened at the path's steps, measured and sampled by
// normalised arc length; and the path's place in the Trellon object's space.
#include <gtest/gtest.h>

#include <limits>
#include <ostream>
#include <string>
#include <vector>

#include "distribute/path_fixtures.h"
#include "distribute/working_path.h"
#include "euler.h"
#include "object/param_ids.h"
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
// u outside [0, 1] clamps on an open path. With the knot (10,0) repeated in place, the segment of
// no length is passed over: at the knot the tangent is that of the next segment that has a
// length, and the distances run on as if the knot were single.
TEST_P(UnequalSegments, PositionAndTangentAtADistance) {
    const SampleCase& c = GetParam();
    for (const int copies : {1, 2}) {
        std::vector<Point3> knots = {Point3(0, 0, 0), Point3(10, 30, 0)};
        knots.insert(knots.begin() + 1, copies, Point3(10, 0, 0));
        BezierShape shape;
        CornerShape(shape, knots, false, 0);
        trellon::WorkingPath path = trellon::WorkingPath::Build(*object, shape, 0, 0.0f, kTime);
        ASSERT_FALSE(path.Empty());
        EXPECT_FLOAT_EQ(path.Length(), 40.0f);
        Point3 position, tangent;
        path.Sample(c.u, position, tangent);
        EXPECT_TRUE(Near(position, c.position)) << "u = " << c.u << ", knot x " << copies;
        EXPECT_TRUE(Near(tangent, c.tangent, 1e-6f)) << "u = " << c.u << ", knot x " << copies;
    }
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

constexpr float kQuarterTurn = 1.5707964f;

struct TransformCase {
    std::string name;
    bool detach;
    bool trellonHasNode;
    Matrix3 trellonTM;  // the Trellon node's transform, when it has a node
    Point3 pathOffset;  // the path node's object offset position
    Point3 expected;    // where (1, 0, 0) of the path ends
};

void PrintTo(const TransformCase& c, std::ostream* os) { *os << c.name; }

class ObjectFromPath : public ::testing::TestWithParam<TransformCase> {};

// The path node is turned 90 degrees about Z (row vectors: +X goes to +Y) and stands at (5,0,0),
// so the path point (1,0,0) is rotated to (0,1,0) and then moved by T, the path's object
// position seen from the Trellon node.
TEST_P(ObjectFromPath, RotatesByThePathAndMovesByTheOffsetBetweenTheNodes) {
    const TransformCase& c = GetParam();
    host::Scene scene;
    INode* pathNode = scene.CreateObjectNode(new SplineShape());
    Matrix3 worldFromPath = RotateZMatrix(kQuarterTurn);
    worldFromPath.SetTrans(Point3(5, 0, 0));
    pathNode->SetNodeTM(0, worldFromPath);
    pathNode->SetObjOffsetPos(c.pathOffset);

    Trellon* object = NewObject().release();
    if (c.trellonHasNode) {
        INode* node = scene.CreateObjectNode(object);
        Matrix3 tm = c.trellonTM;
        node->SetNodeTM(0, tm);
    }
    const Matrix3 objectFromPath = trellon::ObjectFromPathTM(*object, pathNode, 0, c.detach);
    EXPECT_TRUE(Near(Point3(1, 0, 0) * objectFromPath, c.expected, 1e-5f));
    // The rotation part is the path's rotation alone, whatever the Trellon node does.
    EXPECT_TRUE(Near(objectFromPath.GetRow(0), Point3(0, 1, 0), 1e-6f));
    EXPECT_TRUE(Near(objectFromPath.GetRow(1), Point3(-1, 0, 0), 1e-6f));
    if (!c.trellonHasNode) object->DeleteMe();
}

Matrix3 At(float x, float y, float z, float turnZ = 0.0f) {
    Matrix3 tm = RotateZMatrix(turnZ);
    tm.SetTrans(Point3(x, y, z));
    return tm;
}

INSTANTIATE_TEST_SUITE_P(
    Nodes, ObjectFromPath,
    ::testing::Values(
        // T = (5,0,0) - (1,2,0): (0,1,0) + (4,-2,0).
        TransformCase{"Attached", false, true, At(1, 2, 0), Point3(0, 0, 0), Point3(4, -1, 0)},
        // DetachPath: no translation, the rotated point only.
        TransformCase{"Detached", true, true, At(1, 2, 0), Point3(0, 0, 0), Point3(0, 1, 0)},
        // No node yet: the Trellon transform is the identity, T = (5,0,0).
        TransformCase{"NoTrellonNode", false, false, Matrix3(1), Point3(0, 0, 0), Point3(5, 1, 0)},
        TransformCase{"NoTrellonNodeDetached", true, false, Matrix3(1), Point3(0, 0, 0),
                      Point3(0, 1, 0)},
        // The Trellon node turned 90 degrees at (1,2,0): (4,-2,0) seen in its turned axes is
        // (-2,-4,0) (turning back by -90 maps (x,y) to (y,-x)); the rotation R stays the path's.
        TransformCase{"TurnedTrellonNode", false, true, At(1, 2, 0, kQuarterTurn), Point3(0, 0, 0),
                      Point3(-2, -3, 0)},
        // The path's object offset (0,0,3) lifts its object space: T = (5,0,3).
        TransformCase{"PathObjectOffset", false, false, Matrix3(1), Point3(0, 0, 3),
                      Point3(5, 1, 3)}),
    [](const ::testing::TestParamInfo<TransformCase>& p) { return p.param.name; });

// Turns about all three axes come back as the same rotation, X first, then Y, then Z; a scale
// on the path node is not part of R.
TEST(ObjectFromPathTM, RebuildsTheNodesRotationFromItsEulerAngles) {
    host::Scene scene;
    INode* pathNode = scene.CreateObjectNode(new SplineShape());
    const Matrix3 rotation = RotateXMatrix(0.3f) * RotateYMatrix(-0.4f) * RotateZMatrix(1.1f);
    Matrix3 tm = ScaleMatrix(Point3(2, 2, 2)) * rotation;
    tm.SetTrans(Point3(7, 8, 9));
    pathNode->SetNodeTM(0, tm);
    auto object = NewObject();
    const Matrix3 objectFromPath = trellon::ObjectFromPathTM(*object, pathNode, 0, true);
    for (int row = 0; row < 3; ++row)
        EXPECT_TRUE(Near(objectFromPath.GetRow(row), rotation.GetRow(row), 1e-5f)) << row;
    EXPECT_EQ(objectFromPath.GetTrans(), Point3(0, 0, 0));
}

// Without a path there is nothing to carry: the identity.
TEST(ObjectFromPathTM, NoPathNodeGivesTheIdentity) {
    auto object = NewObject();
    const Matrix3 tm = trellon::ObjectFromPathTM(*object, nullptr, 0, false);
    EXPECT_EQ(Point3(3, -2, 1) * tm, Point3(3, -2, 1));
}

}  // namespace
