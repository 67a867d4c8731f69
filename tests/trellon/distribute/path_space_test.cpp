// The path's place in the Trellon object's space.
#include <gtest/gtest.h>

#include <ostream>
#include <string>

#include "distribute/path_fixtures.h"
#include "distribute/working_path.h"
#include "euler.h"
#include "object/param_ids.h"
#include "scene.h"
#include "splshape.h"

using namespace trellon;

using path_fixtures::Near;
using path_fixtures::NewObject;

namespace {

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
