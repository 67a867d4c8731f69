// The copy transform: the path's angles at a tangent, the follow switches, the roll and the one
// composed matrix, checked on points whose place is known from the geometry.
#include "distribute/copy_transform.h"

#include <gtest/gtest.h>

#include <cmath>

#include "distribute/path_fixtures.h"

namespace {

using path_fixtures::Near;
using trellon::AnglesOfTangent;
using trellon::ApplyFollow;
using trellon::ComposeCopyTransform;
using trellon::CopyPose;
using trellon::ItemBase;
using trellon::PitchUnderRoll;
using trellon::PostBase;

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

INSTANTIATE_TEST_SUITE_P(Directions, LevelTangent,
                         ::testing::Values(0.0f, 30.0f, 90.0f, 135.0f, 180.0f, 250.0f, -45.0f));

TEST(AnglesOfTangent, AlongXTheHeadingIsAQuarterTurn) {
    EXPECT_NEAR(AnglesOfTangent(Point3(1.0f, 0.0f, 0.0f)).heading, kPi / 2, 1e-6f);
    EXPECT_NEAR(AnglesOfTangent(Point3(0.0f, 1.0f, 0.0f)).heading, kPi, 1e-6f);
}

class RampTangent : public ::testing::TestWithParam<float> {};

// A tangent rising at angle r along +X pitches by -r, and the pitched and turned front lies
// along the tangent.
TEST_P(RampTangent, PitchFollowsTheSlope) {
    const float r = GetParam() * kDeg;
    const Point3 t(std::cos(r), 0.0f, std::sin(r));
    const trellon::PathAngles angles = AnglesOfTangent(t);
    EXPECT_NEAR(angles.ex, -r, 1e-5f);
    const Point3 front =
        Point3(0.0f, -1.0f, 0.0f) * RotateXMatrix(angles.ex) * RotateZMatrix(angles.heading);
    EXPECT_TRUE(Near(front, t, 1e-5f));
}

INSTANTIATE_TEST_SUITE_P(Slopes, RampTangent, ::testing::Values(10.0f, 30.0f, -20.0f, 60.0f));

struct FollowCase {
    bool follow, followOri;
    float ex, ez;  // from ex = -0.3, heading 1.2
};

class FollowSwitch : public ::testing::TestWithParam<FollowCase> {};

TEST_P(FollowSwitch, SwitchesKeepOrDropTheAngles) {
    const FollowCase& c = GetParam();
    const trellon::FollowAngles f = ApplyFollow({-0.3f, 0.1f, 1.2f}, c.follow, c.followOri);
    EXPECT_FLOAT_EQ(f.ex, c.ex);
    EXPECT_FLOAT_EQ(f.ez, c.ez);
}

INSTANTIATE_TEST_SUITE_P(Switches, FollowSwitch,
                         ::testing::Values(FollowCase{true, false, 0.0f, 1.2f},
                                           FollowCase{true, true, -0.3f, 1.2f},
                                           FollowCase{false, true, -0.3f, 1.2f},
                                           FollowCase{false, false, 0.0f, 0.0f}));

struct RollCase {
    float rollDeg;
    float factor;  // p' / ex
};

class RollWeight : public ::testing::TestWithParam<RollCase> {};

// f = |roll| / 360 (fraction): 4f up to a half turn, 4 - 4f beyond.
TEST_P(RollWeight, PitchWeightedByTheRoll) {
    const float ex = -0.2f;
    EXPECT_NEAR(PitchUnderRoll(ex, GetParam().rollDeg * kDeg, true), ex * GetParam().factor, 1e-5f);
    EXPECT_EQ(PitchUnderRoll(ex, GetParam().rollDeg * kDeg, false), 0.0f);
}

INSTANTIATE_TEST_SUITE_P(Table, RollWeight,
                         ::testing::Values(RollCase{0, 0}, RollCase{45, 0.5f}, RollCase{90, 1},
                                           RollCase{180, 2}, RollCase{270, 1}, RollCase{-90, 1},
                                           RollCase{450, 1}));

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
};

class ComposeCopy : public ::testing::TestWithParam<ComposeCase> {};

TEST_P(ComposeCopy, VertexLandsWhereTheGeometrySaysSo) {
    CopyPose pose = AlongX();
    GetParam().edit(pose);
    const Matrix3 tm = ComposeCopyTransform(Matrix3(1), pose, Matrix3(1));
    EXPECT_TRUE(Near(GetParam().vertex * tm, GetParam().expected, 1e-4f));
}

INSTANTIATE_TEST_SUITE_P(
    Table, ComposeCopy,
    ::testing::Values(
        // The front (-Y) faces +X; the item's +X points left (+Y).
        ComposeCase{"Front", [](CopyPose&) {}, Point3(0.0f, -1.0f, 0.0f),
                    Point3(101.0f, 0.0f, 0.0f)},
        ComposeCase{"Side", [](CopyPose&) {}, Point3(1.0f, 0.0f, 0.0f), Point3(100.0f, 1.0f, 0.0f)},
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
        // A quarter turn about the item's Z before following: its +X ends facing travel's
        // opposite... (1,0,0) -> (0,1,0) -> (-1,0,0).
        ComposeCase{"ItemZ", [](CopyPose& p) { p.rotZ = kPi / 2; }, Point3(1.0f, 0.0f, 0.0f),
                    Point3(99.0f, 0.0f, 0.0f)},
        // A roll of 90 degrees about the direction of travel brings the top to the left.
        ComposeCase{"Roll", [](CopyPose& p) { p.roll = kPi / 2; }, Point3(0.0f, 0.0f, 1.0f),
                    Point3(100.0f, 1.0f, 0.0f)}),
    [](const ::testing::TestParamInfo<ComposeCase>& c) { return c.param.name; });

TEST(ComposeCopyTransform, PathToObjectComesLast) {
    // The path moved 10 up and turned a quarter about Z: the copy at (100, 0, 0) with its
    // side point (100, 1, 0) ends at (-1, 100, 10).
    const Matrix3 pathToObject = RotateZMatrix(kPi / 2) * TransMatrix(Point3(0.0f, 0.0f, 10.0f));
    const Matrix3 tm = ComposeCopyTransform(Matrix3(1), AlongX(), pathToObject);
    EXPECT_TRUE(Near(Point3(1.0f, 0.0f, 0.0f) * tm, Point3(-1.0f, 100.0f, 10.0f), 1e-4f));
}

TEST(ItemBase, KeepsTheNodesRotationAboutItsPivot) {
    // Node turned a quarter about Z at (5, 0, 0), object offset 2 up: (1, 0, 0) of the mesh
    // stands at (5, 1, 2) in the scene, (0, 1, 2) from the pivot.
    const Matrix3 node = RotateZMatrix(kPi / 2) * TransMatrix(Point3(5.0f, 0.0f, 0.0f));
    const Matrix3 object = TransMatrix(Point3(0.0f, 0.0f, 2.0f)) * node;
    EXPECT_TRUE(
        Near(Point3(1.0f, 0.0f, 0.0f) * ItemBase(node, object), Point3(0.0f, 1.0f, 2.0f), 1e-5f));
}

TEST(PostBase, BottomCentreOfTheBoxLandsOnThePath) {
    // Box (2, 4, 1) .. (4, 6, 3): bottom centre (3, 5, 1) goes to the origin, the top centre
    // 2 above it.
    const Matrix3 node = TransMatrix(Point3(7.0f, 7.0f, 7.0f));
    const Matrix3 base = PostBase(node, node, Point3(2.0f, 4.0f, 1.0f), Point3(4.0f, 6.0f, 3.0f));
    EXPECT_TRUE(Near(Point3(3.0f, 5.0f, 1.0f) * base, Point3(0.0f, 0.0f, 0.0f), 1e-5f));
    EXPECT_TRUE(Near(Point3(3.0f, 5.0f, 3.0f) * base, Point3(0.0f, 0.0f, 2.0f), 1e-5f));
}

}  // namespace
