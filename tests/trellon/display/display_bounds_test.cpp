// The object's bounding boxes: the proxy estimate in the proxy modes (the reach estimate from
// its inputs, then through the object), the mesh's boxes in the mesh modes, and a seeded check
// that every proxy drawn lies inside the boxes.
//
// The base scene: a straight path from the origin along +X for 100 units, one box item of half
// size 1 centred on its pivot at the origin. Its world box reaches z = 1 (h = 1) and its corners
// lie sqrt(3) from the pivot (r = sqrt(3)); every scale is 100 %, so s = 0.01 + (0.01 + 1) =
// 1.02. The size estimate grows the path's box by h s = 1.02 in Z only; the copies reach
// r s = 1.766692 from the path on every side, which decides.
#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <vector>

#include "display/display_scene.h"
#include "display/proxy_bounds.h"
#include "matrix3.h"
#include "support/near.h"

using namespace trellon;

namespace {

using display_test::DisplayScene;

constexpr float kGrowth = 1.7320508f * 1.02f;

void ExpectBox(const Box3& b, const Point3& lo, const Point3& hi) {
    EXPECT_TRUE(support::Near(b, Box3(lo, hi), 1e-3f));
}

class TrellonBounds : public DisplayScene {
protected:
    void Base() {
        SetPath({Point3(0, 0, 0), Point3(100, 0, 0)});
        AddItem(1.0f);
        SetMode(2);
        Refresh();
    }
    Box3 Local() {
        Box3 b;
        object->GetLocalBoundBox(0, node, &view, b);
        return b;
    }
    Box3 World() {
        Box3 b;
        object->GetWorldBoundBox(0, node, &view, b);
        return b;
    }
};

// The mesh is empty in the proxy modes: both boxes are the path's box grown. Moving the object by
// (0, 0, 50) changes neither: the distribution stays with the path, and with the mesh empty there
// is no centre to move the local box by.
TEST_F(TrellonBounds, BoxesWithAnEmptyMeshAreThePathsBoxGrownWhereverTheNodeIs) {
    Base();
    ASSERT_EQ(object->mesh.getNumVerts(), 0);
    const Point3 lo(-kGrowth, -kGrowth, -kGrowth), hi(100 + kGrowth, kGrowth, kGrowth);
    ExpectBox(Local(), lo, hi);
    ExpectBox(World(), lo, hi);
    Matrix3 raised = TransMatrix(Point3(0, 0, 50));
    node->SetNodeTM(0, raised);
    ExpectBox(World(), lo, hi);
    ExpectBox(Local(), lo, hi);
}

TEST_F(TrellonBounds, TheLocalBoxIsMovedByTheCentreOfTheMeshsWorldBox) {
    Base();
    // With Show_Logo the mesh holds the placeholder (symmetric about the object's origin) and
    // the object stands at (10, 20, 0): W's centre is (10, 20, 0), and the local box is the world
    // box moved back by it.
    SetEntry(Show_Logo, 0, 1);
    Matrix3 tm = TransMatrix(Point3(10, 20, 0));
    node->SetNodeTM(0, tm);
    Refresh();
    const Point3 centre(10, 20, 0);
    ExpectBox(Local(), World().pmin - centre, World().pmax - centre);
}

TEST_F(TrellonBounds, ARandomZOffsetRangeLowersTheBottomAndRaisesTheTop) {
    Base();
    SetEntry(Item_Random_Trans, 1, 1);
    SetEntry(Item_Z_Pos, 1, -5.0f);
    SetEntry(Item_Z_Pos_Random, 1, 10.0f);
    ExpectBox(Local(), Point3(-kGrowth, -kGrowth, -kGrowth - 5),
              Point3(100 + kGrowth, kGrowth, kGrowth + 10));
    // A roll about the direction of travel can turn the heights any way across the path: the
    // larger, 10, on every side.
    SetEntry(Item_X_Rot_Random, 1, 90.0f);
    ExpectBox(Local(), Point3(-kGrowth - 10, -kGrowth - 10, -kGrowth - 10),
              Point3(110 + kGrowth, kGrowth + 10, kGrowth + 10));
}

// Regression: a profile is swept in its own object space, whatever its node's scale, but the box
// took the node's scaled world box: a square of +-20 on a node scaled to 0.1 swept 20 to either
// side of the path while the box held 2.
TEST_F(TrellonBounds, TheBoxTookTheScaledProfileNodesBox) {
    Base();
    AddSweep(20.0f);
    INode* profile = pb->GetINode(Sweep_Nodes, 0, 0);
    Matrix3 small = ScaleMatrix(Point3(0.1f, 0.1f, 0.1f));
    profile->SetNodeTM(0, small);
    for (int mode : {1, 2}) {
        SetMode(mode);
        const host::DrawRecord r = Draw();
        const Box3 world = World();
        ASSERT_FALSE(r.markers.empty() && r.polylines.empty());
        for (const auto& m : r.markers) EXPECT_TRUE(world.Contains(m.point)) << m.point;
        for (const auto& l : r.polylines)
            for (const Point3& q : l.points) EXPECT_TRUE(world.Contains(q)) << q;
        // The sweep's rings reach 20 across the path: the box does too, and not much further.
        EXPECT_NEAR(world.pmax.y, 20.0f, 1e-3f) << "mode " << mode;
    }
}

TEST_F(TrellonBounds, ASweepsSideOffsetWidensXAndY) {
    Base();
    AddSweep(2.0f);
    const Box3 straight = Local();
    SetEntry(Sweep_Side_Offset, 1, -30.0f);
    const Box3 offset = Local();
    ExpectBox(offset, straight.pmin - Point3(30, 30, 0), straight.pmax + Point3(30, 30, 0));
}

// In the mesh modes, and without a path (the placeholder is the mesh), the boxes are the mesh's.
TEST_F(TrellonBounds, MeshModesAndNoPathUseTheMeshsBoxes) {
    AddItem(1.0f);
    SetMode(2);
    Refresh();
    EXPECT_EQ(Local(), object->mesh.getBoundingBox());
    SetPath({Point3(0, 0, 0), Point3(100, 0, 0)});
    Matrix3 tm = TransMatrix(Point3(10, 20, 0));
    node->SetNodeTM(0, tm);
    SetMode(6);
    Refresh();
    ASSERT_FALSE(object->mesh.getBoundingBox().IsEmpty());
    EXPECT_EQ(Local(), object->mesh.getBoundingBox());
    const Matrix3 objectTM = node->GetObjectTM(0);
    EXPECT_EQ(World(), object->mesh.getBoundingBox(&objectTM));
}

// Seeded scenes: a path of four knots turning by up to a right angle either way; a box item of
// random size on a turned node, with random "All Objects" and item ranges (sideways offsets,
// heights, turns, scales) drawn from seeded pools; a sweep with offsets, a twin and a wider
// profile on a scaled node; the object moved and turned about Z. Every point drawn in every
// proxy mode lies in the world box. (The local box is the world box moved, as the centre test
// shows.)
class BoundsProperty : public TrellonBounds, public testing::WithParamInterface<int> {};

TEST_P(BoundsProperty, EveryProxyLiesInsideTheWorldBox) {
    std::mt19937 rng(static_cast<unsigned>(GetParam()));
    auto uniform = [&](float lo, float hi) {
        return std::uniform_real_distribution<float>(lo, hi)(rng);
    };
    std::vector<Point3> knots = {Point3(0, 0, 0)};
    float heading = 0.0f;
    for (int i = 0; i < 3; ++i) {
        heading += uniform(-HALFPI, HALFPI);
        const Point3 step = Point3(std::cos(heading), std::sin(heading), 0.0f) * uniform(40, 120);
        knots.push_back(knots.back() + step);
    }
    pb->SetValue(Spline_Obj, 0, s.AddPath(L"Path", {knots}));

    // The item's sample points are its box's corners.
    const float half = uniform(0.5f, 6.0f);
    std::vector<Point3> corners;
    for (int i = 0; i < 8; ++i) {
        corners.emplace_back(i & 1 ? half : -half, i & 2 ? half : -half, i & 4 ? half : -half);
    }
    AddItem(half, 0, corners);
    Matrix3 turned = RotateZMatrix(uniform(-PI, PI)) * RotateXMatrix(uniform(-1, 1));
    pb->GetINode(Object_Nodes, 0, 0)->SetNodeTM(0, turned);
    SetEntry(Item_Spacing, 1, uniform(8, 30));
    SetEntry(Item_Spacing_Random, 1, uniform(8, 30));
    for (int e : {0, 1}) {
        SetEntry(Item_Random_Trans, e, 1);
        for (ParamID id : {Item_Pos_InOut, Item_Pos_InOut_Random, Item_Z_Pos, Item_Z_Pos_Random})
            SetEntry(id, e, uniform(-10, 10));
        for (ParamID id : {Item_X_Rot_Random, Item_Y_Rot_Random, Item_Z_Rot_Random})
            SetEntry(id, e, uniform(-180, 180));
        for (ParamID id : {Item_X_Scale_Random, Item_Y_Scale_Random, Item_Z_Scale_Random})
            SetEntry(id, e, uniform(50, 200));
    }
    SetEntry(Item_Unify_Scale, 1, GetParam() % 2);
    SeedPools(static_cast<unsigned>(GetParam()));

    AddSweep(uniform(0.5f, 4.0f));
    Matrix3 scaled = ScaleMatrix(Point3(1, 1, 1) * uniform(0.1f, 2.0f));
    pb->GetINode(Sweep_Nodes, 0, 0)->SetNodeTM(0, scaled);
    SetEntry(Sweep_Side_Offset, 1, uniform(-20, 20));
    SetEntry(Sweep_Height_Offset, 1, uniform(-5, 5));
    SetEntry(Sweep_X_Scale, 1, uniform(50, 200));
    SetEntry(Sweep_Double, 0, 1);
    SetEntry(Sweep_Double_Offset, 0, uniform(-10, 10));

    Matrix3 objectTM = RotateZMatrix(uniform(-PI, PI));
    objectTM.SetTrans(Point3(uniform(-50, 50), uniform(-50, 50), uniform(-10, 10)));
    node->SetNodeTM(0, objectTM);

    for (int mode : {1, 2, 3}) {
        SetMode(mode);
        const host::DrawRecord r = Draw();
        Box3 world = World();
        std::vector<Point3> points;
        for (const auto& m : r.markers) points.push_back(m.point);
        for (const auto& l : r.polylines)
            points.insert(points.end(), l.points.begin(), l.points.end());
        ASSERT_FALSE(points.empty()) << "mode " << mode;
        world.EnlargeBy(1e-3f * (1.0f + Length(world.Width())));
        for (const Point3& q : points)
            ASSERT_TRUE(world.Contains(q)) << "mode " << mode << " point " << q << " box " << world;
    }
}

INSTANTIATE_TEST_SUITE_P(Seeds, BoundsProperty, testing::Range(1, 6));

using support::Near;

// The reach estimate on the same path in the path's space: a copy reaches r s from its point
// on the path, moved sideways by the mitred offset and up or down by its heights.
TEST(ReachEstimateTest, CopiesReachTheirSizeAndOffsetsFromThePath) {
    trellon::ReachEstimate in;
    in.path = Box3(Point3(0, 0, 0), Point3(100, 0, 0));
    in.anyItem = true;
    in.itemReach = 2;
    in.scale = 1.5f;   // r s = 3
    in.sideways = 10;  // at a right-angle mitre: 10 sqrt 2 = 14.142
    in.mitre = 1.41421356f;
    in.up = 4;
    in.down = 1;
    EXPECT_TRUE(Near(trellon::ReachBox(in),
                     Box3(Point3(-17.1421f, -17.1421f, -4.0f), Point3(117.1421f, 17.1421f, 7.0f))))
        << "no roll";
    // A roll turns offsets and heights any way across the path: every side by 3 + 14.142 + 4.
    in.roll = true;
    EXPECT_TRUE(Near(trellon::ReachBox(in), Box3(Point3(-21.1421f, -21.1421f, -21.1421f),
                                                 Point3(121.1421f, 21.1421f, 21.1421f))))
        << "roll";
    // Carried into the object's space: the path node turned a quarter about Z and 5 up.
    in.roll = false;
    in.objectFromPath = RotateZMatrix(HALFPI);
    in.objectFromPath.SetTrans(Point3(0, 0, 5));
    EXPECT_TRUE(Near(trellon::ReachBox(in),
                     Box3(Point3(-17.1421f, -17.1421f, 1.0f), Point3(17.1421f, 117.1421f, 12.0f))))
        << "turned path";
}

}  // namespace
