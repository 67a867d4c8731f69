// A copy's random values and its transform. The values: the per-axis scale with both unify
// switches, and the combination of the "All Objects" entry with an item's entry (low + (high -
// low) / 100 x pool value, angles in radians, scales as percent offsets, the mirror angle by the
// coin). The transform: the path's angles at a tangent, the follow switches, the roll and the
// one composed matrix, checked on points whose place is known from the geometry.
#include <gtest/gtest.h>

#include <array>
#include <cmath>

#include "distribute/copy_transform.h"
#include "distribute/path_fixtures.h"
#include "distribute/placement_fixture.h"
#include "distribute/random_values.h"

using namespace trellon;

namespace {

using path_fixtures::Near;

constexpr float kPi = 3.14159265f;
constexpr float kDeg = kPi / 180.0f;

class LevelTangent : public ::testing::TestWithParam<float> {};

// For a level tangent at any heading the item's front (-Y) turns onto the tangent, with no
// pitch: heading = direction + 90 degrees.
TEST_P(LevelTangent, FrontFacesTheDirectionOfTravel) {
    const float a = GetParam() * kDeg;
    const Point3 t(std::cos(a), std::sin(a), 0.0f);
    const trellon::PathAngles angles = AnglesOfTangent(t);
    EXPECT_NEAR(angles.ex, 0.0f, 1e-5f);
    EXPECT_TRUE(Near(Point3(0.0f, -1.0f, 0.0f) * RotateZMatrix(angles.heading), t, 1e-5f));
}

INSTANTIATE_TEST_SUITE_P(Directions, LevelTangent, ::testing::Values(0.0f, 90.0f, 135.0f, 250.0f));

// A copy on a path along +X at P = (100, 0, 0): heading and ez a quarter turn.
CopyPose AlongX() {
    CopyPose pose;
    pose.position = Point3(100.0f, 0.0f, 0.0f);
    pose.tangent = Point3(1.0f, 0.0f, 0.0f);
    pose.heading = kPi / 2;
    pose.ez = kPi / 2;
    return pose;
}

struct ComposeCase {
    const char* name;
    void (*edit)(CopyPose&);
    Point3 vertex;
    Point3 expected;
    Matrix3 objectFromPath = Matrix3(1);
};

class ComposeCopy : public ::testing::TestWithParam<ComposeCase> {};

// (The item's turns and the roll: the placed copies below.)
TEST_P(ComposeCopy, VertexLandsWhereTheGeometrySaysSo) {
    CopyPose pose = AlongX();
    GetParam().edit(pose);
    const Matrix3 tm = ComposeCopyTransform(Matrix3(1), pose, GetParam().objectFromPath);
    EXPECT_TRUE(Near(GetParam().vertex * tm, GetParam().expected, 1e-4f));
}

INSTANTIATE_TEST_SUITE_P(
    Table, ComposeCopy,
    ::testing::Values(
        // w = -5 moves 5 to the left of travel, zoff up.
        ComposeCase{"Offsets",
                    [](CopyPose& p) {
                        p.sideways = -5;
                        p.height = 3;
                    },
                    Point3(0.0f, 0.0f, 0.0f), Point3(100.0f, 5.0f, 3.0f)},
        // Scale 2 along the item's X, before the turn: (1,0,0) -> (2,0,0) -> left 2.
        ComposeCase{"Scale",
                    [](CopyPose& p) {
                        p.scale = {2, 1, 1};
                    },
                    Point3(1.0f, 0.0f, 0.0f), Point3(100.0f, 2.0f, 0.0f)},
        // The path moved 10 up and turned a quarter about Z, last: the copy at (100, 0, 0) with
        // its side point (100, 1, 0) ends at (-1, 100, 10).
        ComposeCase{"ObjectFromPathComesLast", [](CopyPose&) {}, Point3(1.0f, 0.0f, 0.0f),
                    Point3(-1.0f, 100.0f, 10.0f),
                    RotateZMatrix(kPi / 2) * TransMatrix(Point3(0.0f, 0.0f, 10.0f))}),
    [](const ::testing::TestParamInfo<ComposeCase>& c) { return c.param.name; });

TEST(ItemBase, KeepsTheNodesRotationAboutItsPivot) {
    // Node turned a quarter about Z at (5, 0, 0), object offset 2 up: (1, 0, 0) of the mesh
    // stands at (5, 1, 2) in the scene, (0, 1, 2) from the pivot.
    const Matrix3 node = RotateZMatrix(kPi / 2) * TransMatrix(Point3(5.0f, 0.0f, 0.0f));
    const Matrix3 object = TransMatrix(Point3(0.0f, 0.0f, 2.0f)) * node;
    EXPECT_TRUE(
        Near(Point3(1.0f, 0.0f, 0.0f) * ItemBase(node, object), Point3(0.0f, 1.0f, 2.0f), 1e-5f));
}

// ----- Through a placed copy ------------------------------------------------------------------

using placement_test::Line;
using placement_test::PlacementScene;

constexpr float kHalfRoot2 = 1.41421356f;  // 2 cos 45 degrees

// A box of side 2 (corner at its pivot) at the start of a level path along +X: the copy stands
// at the origin, its front (-Y) turned onto +X (heading a quarter turn). The item's own turns
// come first, about its X axis (Item_Y_Rot), then its Y axis (Item_Z_Rot), then its Z axis
// (Item_Extra_Rot), each a quarter turn counter-clockwise seen from the axis' positive end.
struct TurnCase {
    const char* name;
    float yRot, zRot, extraRot;  // degrees
    Point3 vertex, lands;
};

class ItemTurns : public PlacementScene, public ::testing::WithParamInterface<TurnCase> {};

TEST_P(ItemTurns, TurnAboutTheirAxesInOrder) {
    const TurnCase& c = GetParam();
    SetPath({placement_test::Straight(100)});
    AddItem();
    SetEntry(Item_Y_Rot, 1, c.yRot);
    SetEntry(Item_Z_Rot, 1, c.zRot);
    SetEntry(Item_Extra_Rot, 1, c.extraRot);
    const std::vector<placement_test::Seen> seen = Walk(PlacementPass::PerObject);
    ASSERT_FALSE(seen.empty());
    EXPECT_TRUE(Near(c.vertex * seen[0].tm, c.lands, 1e-4f));
}

INSTANTIATE_TEST_SUITE_P(
    Table, ItemTurns,
    ::testing::Values(
        // Unturned: the front (0, -2, 0) points along travel.
        TurnCase{"Unturned", 0, 0, 0, Point3(0, -2, 0), Point3(2, 0, 0)},
        // About X: the item's +Y goes up, and stays up under the heading.
        TurnCase{"YRotTurnsAboutX", 90, 0, 0, Point3(0, 2, 0), Point3(0, 0, 2)},
        // About Y: the item's +X goes down.
        TurnCase{"ZRotTurnsAboutY", 0, 90, 0, Point3(2, 0, 0), Point3(0, 0, -2)},
        // About Z: +X to +Y, which the heading turns to -X.
        TurnCase{"ExtraRotTurnsAboutZ", 0, 0, 90, Point3(2, 0, 0), Point3(-2, 0, 0)},
        // X first: +Y goes up, then about Y to +X, then the heading turns it to +Y. (Y first
        // would leave +Y alone, then turn it up: (0, 0, 2).)
        TurnCase{"XTurnBeforeYTurn", 90, 90, 0, Point3(0, 2, 0), Point3(0, 2, 0)}),
    [](const ::testing::TestParamInfo<TurnCase>& c) { return c.param.name; });

// The same box at the foot of a ramp rising at 45 degrees along +X: how the follow switches and
// the roll place it. With Geo_Follow the copy turns to its heading; Geo_Follow_Ori pitches it
// with the slope too; with both off it keeps its own axes; orienting only pitches it without
// turning. A quarter roll (Item_X_Rot) takes the pitch out before rolling: the front is level
// again and the top leans to the left of travel.
struct FollowCase {
    const char* name;
    int follow, followOri;
    float roll;  // degrees
    Point3 vertex, lands;
};

class FollowOnARamp : public PlacementScene, public ::testing::WithParamInterface<FollowCase> {};

TEST_P(FollowOnARamp, PlacesTheBox) {
    const FollowCase& c = GetParam();
    SetPath({Line{{Point3(0, 0, 0), Point3(100, 0, 100)}, false}});
    AddItem();
    Set(Geo_Follow, c.follow);
    Set(Geo_Follow_Ori, c.followOri);
    SetEntry(Item_X_Rot, 1, c.roll);
    const std::vector<placement_test::Seen> seen = Walk(PlacementPass::PerObject);
    ASSERT_FALSE(seen.empty());
    EXPECT_TRUE(Near(c.vertex * seen[0].tm, c.lands, 1e-4f));
}

INSTANTIATE_TEST_SUITE_P(
    Table, FollowOnARamp,
    ::testing::Values(FollowCase{"FollowStaysUpright", 1, 0, 0, Point3(0, -2, 0), Point3(2, 0, 0)},
                      FollowCase{"FollowOriPitches", 1, 1, 0, Point3(0, -2, 0),
                                 Point3(kHalfRoot2, 0.0f, kHalfRoot2)},
                      FollowCase{"NoFollowKeepsItsAxes", 0, 0, 0, Point3(2, 0, 0), Point3(2, 0, 0)},
                      FollowCase{"OrientOnlyPitchesInPlace", 0, 1, 0, Point3(2, 0, 0),
                                 Point3(kHalfRoot2, 0.0f, kHalfRoot2)},
                      FollowCase{"RollLevelsTheFront", 1, 1, 90, Point3(0, -2, 0), Point3(2, 0, 0)},
                      FollowCase{"RollLeansTheTopLeft", 1, 1, 90, Point3(0, 0, 2),
                                 Point3(0, 2, 0)}),
    [](const ::testing::TestParamInfo<FollowCase>& c) { return c.param.name; });

// ----- A copy's random values ------------------------------------------------------------------

struct UnifyCase {
    bool globalUnify, itemUnify;
    std::array<float, 3> expected;
};

class ScaleUnify : public ::testing::TestWithParam<UnifyCase> {};

// Global (110, 120, 130) %, item (150, 80, 90) %.
TEST_P(ScaleUnify, PerAxis) {
    const UnifyCase c = GetParam();
    const std::array<float, 3> s =
        ScaleFactors({110.0f, 120.0f, 130.0f}, c.globalUnify, {150.0f, 80.0f, 90.0f}, c.itemUnify);
    for (std::size_t a = 0; a < 3; ++a) EXPECT_NEAR(s[a], c.expected[a], 1e-6f) << a;
}

INSTANTIATE_TEST_SUITE_P(Switches, ScaleUnify,
                         ::testing::Values(
                             // Neither: 1.1 + 0.5, 1.2 - 0.2, 1.3 - 0.1.
                             UnifyCase{false, false, {1.6f, 1.0f, 1.2f}},
                             // Item: its X (+0.5) on all axes; global per axis.
                             UnifyCase{false, true, {1.6f, 1.7f, 1.8f}},
                             // Both: 1.1 + 0.5 everywhere.
                             UnifyCase{true, true, {1.6f, 1.6f, 1.6f}}));

TEST(CombineCopyValues, GlobalAndItemAdd) {
    EntryRandomSettings global;
    global.randomOn = true;
    global.unifyScale = true;
    global.sideOffset = {0.0f, 10.0f};
    global.zRot = {0.0f, 90.0f};
    global.xScale = {100.0f, 140.0f};
    global.mirrorOn = true;
    global.mirror = 180.0f;
    EntryRandomSettings item;
    item.randomOn = false;  // the pools do not matter to the item
    item.unifyScale = false;
    item.sideOffset = {2.0f, 50.0f};
    item.height = {3.0f, 9.0f};
    item.zRot = {30.0f, 60.0f};
    item.xScale = {100.0f, 0.0f};
    item.yScale = {150.0f, 0.0f};
    item.zScale = {50.0f, 0.0f};
    item.mirrorOn = true;
    item.mirror = 45.0f;
    item.mirror2 = 90.0f;

    CopyPoolValues globalPool;
    globalPool.sideOffset = 25.0f;  // 2.5
    globalPool.zRot = 50.0f;        // 45 degrees
    globalPool.xScale = 50.0f;      // 120 %
    globalPool.mirror = 0;          // 180 degrees
    CopyPoolValues itemPool;
    itemPool.sideOffset = 99.0f;
    itemPool.mirror = 1;  // 90 degrees

    const CopyValues c = CombineCopyValues(global, globalPool, item, itemPool);
    EXPECT_FLOAT_EQ(c.sideOffset, 4.5f);         // 2.5 + 2
    EXPECT_FLOAT_EQ(c.height, 3.0f);             // 0 + 3
    EXPECT_FLOAT_EQ(c.zRot, 75.0f * kDegToRad);  // 45 + 30 degrees
    EXPECT_FLOAT_EQ(c.xRot, 0.0f);
    EXPECT_FLOAT_EQ(c.scale[0], 1.2f);                   // 1.2 + 0
    EXPECT_FLOAT_EQ(c.scale[1], 1.7f);                   // 1.2 + 0.5
    EXPECT_FLOAT_EQ(c.scale[2], 0.7f);                   // 1.2 - 0.5
    EXPECT_FLOAT_EQ(c.mirrorAngle, 270.0f * kDegToRad);  // 180 + 90 degrees
}

TEST(CombineCopyValues, SwitchOffGivesLowValuesWhateverThePools) {
    EntryRandomSettings global;  // defaults: off, scales 100
    EntryRandomSettings item;
    item.xRot = {10.0f, 80.0f};
    item.xScale = {130.0f, 10.0f};
    CopyPoolValues pool;
    pool.xRot = 73.0f;
    pool.xScale = 12.0f;
    const CopyValues c = CombineCopyValues(global, pool, item, pool);
    EXPECT_FLOAT_EQ(c.xRot, 10.0f * kDegToRad);
    // Item unify is on by default: 1 + 0.3 on all axes.
    EXPECT_FLOAT_EQ(c.scale[2], 1.3f);
    EXPECT_FLOAT_EQ(SpacingValue(item, 99.0f), 100.0f);
}

}  // namespace
