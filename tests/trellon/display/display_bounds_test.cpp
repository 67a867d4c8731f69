// The object's bounding boxes: the proxy estimate in the proxy modes, the mesh's boxes in the
// mesh modes, and a seeded check that every proxy drawn lies inside the boxes.
//
// The base scene: a straight path from the origin along +X for 100 units, one box item of half
// size 1 centred on its pivot at the origin. Its world box reaches z = 1 (h = 1) and its corners
// lie sqrt(3) from the pivot (r = sqrt(3)); every scale is 100 %, so s = 0.01 + (0.01 + 1) =
// 1.02. The size estimate grows the path's box by h s = 1.02 in Z only; the copies reach
// r s = 1.766692 from the path on every side, which decides.
#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <string>
#include <vector>

#include "display/display_scene.h"
#include "random.h"
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
    Matrix3 tm(1);
    tm.SetTrans(Point3(0, 0, 50));
    node->SetNodeTM(0, tm);
    ExpectBox(World(), lo, hi);
    ExpectBox(Local(), lo, hi);
}

TEST_F(TrellonBounds, TheLocalBoxIsMovedByTheCentreOfTheMeshsWorldBox) {
    Base();
    // With Show_Logo the mesh holds the placeholder (about the origin, size 0.5) and the object
    // stands at (10, 20, 0): W's centre is (10, 20, 0), and the local box is the world box moved
    // back by it.
    SetInt(Show_Logo, 0, 1);
    Matrix3 tm(1);
    tm.SetTrans(Point3(10, 20, 0));
    node->SetNodeTM(0, tm);
    Refresh();
    const Matrix3 objectTM = node->GetObjectTM(0);
    const Point3 centre = object->mesh.getBoundingBox(&objectTM).Center();
    ExpectBox(Local(), World().pmin - centre, World().pmax - centre);
    EXPECT_NEAR(centre.x, 10.0f, 0.1f);
    EXPECT_NEAR(centre.y, 20.0f, 0.1f);
}

TEST_F(TrellonBounds, ARandomZOffsetRangeLowersTheBottomAndRaisesTheTop) {
    Base();
    SetInt(Item_Random_Trans, 1, 1);
    SetFloat(Item_Z_Pos, 1, -5.0f);
    SetFloat(Item_Z_Pos_Random, 1, 10.0f);
    ExpectBox(Local(), Point3(-kGrowth, -kGrowth, -kGrowth - 5),
              Point3(100 + kGrowth, kGrowth, kGrowth + 10));
    // A roll about the direction of travel can turn the heights any way across the path: the
    // larger, 10, on every side.
    SetFloat(Item_X_Rot_Random, 1, 90.0f);
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
    SetFloat(Sweep_Side_Offset, 1, -30.0f);
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
    Matrix3 tm(1);
    tm.SetTrans(Point3(10, 20, 0));
    node->SetNodeTM(0, tm);
    SetMode(6);
    Refresh();
    ASSERT_FALSE(object->mesh.getBoundingBox().IsEmpty());
    EXPECT_EQ(Local(), object->mesh.getBoundingBox());
    const Matrix3 objectTM = node->GetObjectTM(0);
    EXPECT_EQ(World(), object->mesh.getBoundingBox(&objectTM));
}

// Seeded scenes: a path of four knots turning by at most a right angle, up to three box items
// of random sizes on randomly turned and placed nodes, random global and item ranges (offsets,
// heights, turns, scales) drawn from seeded pools, sweeps with offsets and twins, and the object
// moved and turned about Z. Every point drawn in every proxy mode (sweep rings included) lies in
// the world box, and, moved by minus the centre of the mesh's world box, in the local box.
class BoundsProperty : public TrellonBounds, public testing::WithParamInterface<int> {};

TEST_P(BoundsProperty, EveryProxyLiesInsideTheBoxes) {
    std::mt19937 rng(static_cast<unsigned>(GetParam()));
    auto uniform = [&](float lo, float hi) {
        return std::uniform_real_distribution<float>(lo, hi)(rng);
    };
    auto below = [&](int n) { return static_cast<int>(rng() % static_cast<unsigned>(n)); };

    Point3 p(0, 0, 0);
    float heading = 0.0f;
    std::vector<Point3> knots = {p};
    for (int i = 0; i < 3; ++i) {
        heading += uniform(-HALFPI, HALFPI);
        p += Point3(std::cos(heading), std::sin(heading), 0.0f) * uniform(40, 120);
        knots.push_back(p);
    }
    INode* path = s.AddPath(L"Path", {knots});
    pb->SetValue(Spline_Obj, 0, path);

    const int items = 1 + below(3);
    for (int k = 0; k < items; ++k) {
        std::vector<Point3> cloud;
        for (int i = 0; i < 30; ++i)
            cloud.emplace_back(uniform(-1, 1), uniform(-1, 1), uniform(-1, 1));
        const float half = uniform(0.5f, 6.0f);
        for (Point3& c : cloud) c *= half;
        const int kind = below(4) == 0 ? 1 : 0;
        const int item =
            AddItem(half, kind, cloud, Point3(uniform(-20, 20), uniform(-20, 20), uniform(-5, 5)));
        INode* itemNode = pb->GetINode(Object_Nodes, 0, item);
        Matrix3 tm = RotateZMatrix(uniform(-PI, PI)) * RotateXMatrix(uniform(-1, 1));
        tm.SetTrans(itemNode->GetNodeTM(0).GetTrans());
        itemNode->SetNodeTM(0, tm);
        const int e = item + 1;
        SetFloat(Item_Spacing, e, uniform(8, 30));
        SetFloat(Item_Spacing_Random, e, uniform(8, 30));
        SetInt(Item_Random_Trans, e, 1);
        SetFloat(Item_Pos_InOut, e, uniform(-10, 10));
        SetFloat(Item_Pos_InOut_Random, e, uniform(-10, 10));
        SetFloat(Item_Z_Pos, e, uniform(-10, 10));
        SetFloat(Item_Z_Pos_Random, e, uniform(-10, 10));
        SetFloat(Item_X_Rot_Random, e, uniform(-180, 180));
        SetFloat(Item_Y_Rot_Random, e, uniform(-180, 180));
        SetFloat(Item_Z_Rot_Random, e, uniform(-180, 180));
        SetInt(Item_Unify_Scale, e, below(2));
        SetFloat(Item_X_Scale_Random, e, uniform(50, 200));
        SetFloat(Item_Y_Scale_Random, e, uniform(50, 200));
        SetFloat(Item_Z_Scale_Random, e, uniform(50, 200));
    }
    SetInt(Item_Random_Trans, 0, 1);
    SetFloat(Item_Pos_InOut, 0, uniform(-5, 5));
    SetFloat(Item_Pos_InOut_Random, 0, uniform(-5, 5));
    SetFloat(Item_X_Scale_Random, 0, uniform(80, 150));
    pb->SetValue(Geo_Pattern, 0, below(3));

    const int sweeps = below(3);
    for (int k = 0; k < sweeps; ++k) {
        AddSweep(uniform(0.5f, 4.0f));
        // The profile node scaled, which the sweep does not see.
        Matrix3 scaled = ScaleMatrix(Point3(1, 1, 1) * uniform(0.1f, 2.0f));
        pb->GetINode(Sweep_Nodes, 0, k)->SetNodeTM(0, scaled);
        SetFloat(Sweep_Side_Offset, k + 1, uniform(-20, 20));
        SetFloat(Sweep_Height_Offset, k + 1, uniform(-5, 5));
        SetFloat(Sweep_X_Scale, k + 1, uniform(50, 200));
        pb->SetValue(Sweep_Double, 0, below(2), k);
        pb->SetValue(Sweep_Double_Offset, 0, uniform(-10, 10), k);
    }
    trellon::ItemTables tables(pb, 0);
    Random pools;
    pools.srand(static_cast<unsigned>(GetParam()));
    ASSERT_TRUE(tables.RegenerateTransformPools(0, pools));
    ASSERT_TRUE(tables.RegenerateMirrorPool(0, pools));

    Matrix3 objectTM = RotateZMatrix(uniform(-PI, PI));
    objectTM.SetTrans(Point3(uniform(-50, 50), uniform(-50, 50), uniform(-10, 10)));
    node->SetNodeTM(0, objectTM);

    for (int mode : {1, 2, 3}) {
        SetMode(mode);
        const host::DrawRecord r = Draw();
        const Box3 local = Local();
        const Box3 world = World();
        // The local box is the world box moved by minus the centre of the mesh's world box.
        const Matrix3 shownTM = node->GetObjectTM(0);
        const Box3 w = object->mesh.getBoundingBox(&shownTM);
        const Point3 centre = w.IsEmpty() ? Point3(0, 0, 0) : w.Center();
        std::vector<Point3> points;
        for (const auto& m : r.markers) points.push_back(m.point);
        for (const auto& l : r.polylines)
            points.insert(points.end(), l.points.begin(), l.points.end());
        ASSERT_FALSE(points.empty()) << "mode " << mode;
        Box3 grownWorld = world, grownLocal = local;
        grownWorld.EnlargeBy(1e-3f * (1.0f + Length(world.Width())));
        grownLocal.EnlargeBy(1e-3f * (1.0f + Length(local.Width())));
        for (const Point3& q : points) {
            ASSERT_TRUE(grownWorld.Contains(q))
                << "mode " << mode << " point " << q << " box " << world;
            ASSERT_TRUE(grownLocal.Contains(q - centre)) << "mode " << mode << " point " << q;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Seeds, BoundsProperty, testing::Range(1, 6));

}  // namespace
