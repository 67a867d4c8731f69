// The object's bounding boxes: the proxy estimate in the proxy modes, the mesh's boxes in the
// mesh modes, and a seeded check that every proxy drawn lies inside the boxes.
//
// The base scene: a straight path from the origin along +X for 100 units, one box item of half
// size 1 centred on its pivot at the origin. Its world box reaches z = 1 (h = 1) and its corners
// lie sqrt(3) from the pivot (r = sqrt(3)); every scale is 100 %, so s = 0.01 + (0.01 + 1) =
// 1.02, and the path box grows by r s = 1.766692 on every side (max(h s, r s) = r s in Z).
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "display/display_scene.h"
#include "random.h"

namespace {

using display_test::DisplayScene;

constexpr float kGrowth = 1.7320508f * 1.02f;

void ExpectBox(const Box3& b, const Point3& lo, const Point3& hi, float eps = 1e-3f) {
    EXPECT_NEAR(b.pmin.x, lo.x, eps);
    EXPECT_NEAR(b.pmin.y, lo.y, eps);
    EXPECT_NEAR(b.pmin.z, lo.z, eps);
    EXPECT_NEAR(b.pmax.x, hi.x, eps);
    EXPECT_NEAR(b.pmax.y, hi.y, eps);
    EXPECT_NEAR(b.pmax.z, hi.z, eps);
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

TEST_F(TrellonBounds, BoxesWithAnEmptyMeshAreThePathsBoxGrown) {
    Base();
    ASSERT_EQ(object->mesh.getNumVerts(), 0);
    const Point3 lo(-kGrowth, -kGrowth, -kGrowth), hi(100 + kGrowth, kGrowth, kGrowth);
    ExpectBox(Local(), lo, hi);
    ExpectBox(World(), lo, hi);
}

TEST_F(TrellonBounds, TheWorldBoxFollowsTheObjectsNode) {
    Base();
    // The object moved by (0, 0, 50): the distribution stays with the path, so in the object's
    // space it sits 50 lower, and the world box is where it was.
    Matrix3 tm(1);
    tm.SetTrans(Point3(0, 0, 50));
    node->SetNodeTM(0, tm);
    ExpectBox(Local(), Point3(-kGrowth, -kGrowth, -50 - kGrowth),
              Point3(100 + kGrowth, kGrowth, -50 + kGrowth));
    ExpectBox(World(), Point3(-kGrowth, -kGrowth, -kGrowth),
              Point3(100 + kGrowth, kGrowth, kGrowth));
}

TEST_F(TrellonBounds, ARandomZOffsetRangeLowersTheBottomAndRaisesTheTop) {
    Base();
    SetInt(Item_Random_Trans, 1, 1);
    SetFloat(Item_Z_Pos, 1, -5.0f);
    SetFloat(Item_Z_Pos_Random, 1, 10.0f);
    // The larger of the two, 10, also widens X and Y: a roll can turn the offset sideways.
    ExpectBox(Local(), Point3(-kGrowth - 10, -kGrowth - 10, -kGrowth - 5),
              Point3(110 + kGrowth, kGrowth + 10, kGrowth + 10));
}

TEST_F(TrellonBounds, ASweepsSideOffsetWidensXAndY) {
    Base();
    AddSweep(2.0f);
    const Box3 straight = Local();
    SetFloat(Sweep_Side_Offset, 1, -30.0f);
    const Box3 offset = Local();
    ExpectBox(offset, straight.pmin - Point3(30, 30, 0), straight.pmax + Point3(30, 30, 0));
}

TEST_F(TrellonBounds, MeshModesUseTheMeshsBoxes) {
    Base();
    Matrix3 tm(1);
    tm.SetTrans(Point3(10, 20, 0));
    node->SetNodeTM(0, tm);
    SetMode(6);
    Refresh();
    const Box3 mesh = object->mesh.getBoundingBox();
    ASSERT_FALSE(mesh.IsEmpty());
    EXPECT_EQ(Local(), mesh);
    const Matrix3 objectTM = node->GetObjectTM(0);
    EXPECT_EQ(World(), object->mesh.getBoundingBox(&objectTM));
}

TEST_F(TrellonBounds, WithoutAPathTheBoxesAreTheMeshs) {
    AddItem(1.0f);
    SetMode(2);
    Refresh();
    // No path: the placeholder is the mesh, and its box is the object's.
    EXPECT_EQ(Local(), object->mesh.getBoundingBox());
}

// Seeded scenes: a path of four knots turning by at most a right angle, up to three box items
// of random sizes on randomly turned and placed nodes, random global and item ranges (offsets,
// heights, turns, scales) drawn from seeded pools, sweeps with offsets and twins, and the object
// moved and turned about Z. Every point drawn in every proxy mode lies in the world box, and,
// taken back into the object's space, in the local box.
class BoundsProperty : public TrellonBounds, public testing::WithParamInterface<int> {};

TEST_P(BoundsProperty, EveryProxyLiesInsideTheBoxes) {
    Random rng;
    rng.srand(static_cast<unsigned>(GetParam()));
    auto uniform = [&](float lo, float hi) { return rng.getf(hi, lo); };

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

    const int items = 1 + rng.get(3);
    for (int k = 0; k < items; ++k) {
        std::vector<Point3> cloud;
        for (int i = 0; i < 30; ++i)
            cloud.emplace_back(uniform(-1, 1), uniform(-1, 1), uniform(-1, 1));
        const float half = uniform(0.5f, 6.0f);
        for (Point3& c : cloud) c *= half;
        const int kind = rng.get(4) == 0 ? 1 : 0;
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
        SetInt(Item_Unify_Scale, e, rng.get(2));
        SetFloat(Item_X_Scale_Random, e, uniform(50, 200));
        SetFloat(Item_Y_Scale_Random, e, uniform(50, 200));
        SetFloat(Item_Z_Scale_Random, e, uniform(50, 200));
    }
    SetInt(Item_Random_Trans, 0, 1);
    SetFloat(Item_Pos_InOut, 0, uniform(-5, 5));
    SetFloat(Item_Pos_InOut_Random, 0, uniform(-5, 5));
    SetFloat(Item_X_Scale_Random, 0, uniform(80, 150));
    pb->SetValue(Geo_Pattern, 0, rng.get(3));

    const int sweeps = rng.get(3);
    for (int k = 0; k < sweeps; ++k) {
        AddSweep(uniform(0.5f, 4.0f));
        SetFloat(Sweep_Side_Offset, k + 1, uniform(-20, 20));
        SetFloat(Sweep_Height_Offset, k + 1, uniform(-5, 5));
        SetFloat(Sweep_X_Scale, k + 1, uniform(50, 200));
        pb->SetValue(Sweep_Double, 0, rng.get(2), k);
        pb->SetValue(Sweep_Double_Offset, 0, uniform(-10, 10), k);
    }
    trellon::ItemTables tables(pb, 0);
    ASSERT_TRUE(tables.RegenerateTransformPools(0, rng));
    ASSERT_TRUE(tables.RegenerateMirrorPool(0, rng));

    Matrix3 objectTM = RotateZMatrix(uniform(-PI, PI));
    objectTM.SetTrans(Point3(uniform(-50, 50), uniform(-50, 50), uniform(-10, 10)));
    node->SetNodeTM(0, objectTM);

    for (int mode : {1, 2, 3}) {
        SetMode(mode);
        const host::DrawRecord r = Draw();
        const Box3 local = Local();
        const Box3 world = World();
        const Matrix3 toObject = Inverse(node->GetObjectTM(0));
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
            ASSERT_TRUE(grownLocal.Contains(q * toObject)) << "mode " << mode << " point " << q;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Seeds, BoundsProperty, testing::Range(1, 21));

}  // namespace
