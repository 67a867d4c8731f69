// Every edit reaches the next build: deletions while a file opens, pool tables written through
// the block, and an object under a modifier stack still finding its node. Each case is a fault
// that once left a stale mesh or a misplaced copy.
#include <gtest/gtest.h>

#include <vector>

#include "distribute/path_fixtures.h"
#include "distribute/placement_fixture.h"
#include "notify.h"

using namespace trellon;

namespace {

using path_fixtures::Near;
using placement_test::PlacementScene;
using placement_test::Seen;

// A straight path of 100 along +X and box items of side 2 every 10: 11 copies of 8 vertices
// each per item, in display mode 6.
class Rebuild : public PlacementScene {
protected:
    void Fence(int items) {
        SetPath({placement_test::Straight(100)});
        for (int k = 0; k < items; ++k) {
            AddItem();
            SetEntry(Item_Spacing, k + 1, 10.0f);
        }
        Set(Display_Mode, 6);
        s.object->Ready = 1;
        s.object->UpdateMesh(0);
    }
    int Verts() {
        s.object->UpdateMesh(0);
        return s.object->mesh.getNumVerts();
    }
};

TEST_F(Rebuild, AnItemDeletedWhileAFileOpensIsGoneFromTheNextBuild) {
    Fence(2);
    ASSERT_EQ(Verts(), 2 * 11 * 8);
    BroadcastNotification(NOTIFY_FILE_PRE_OPEN);
    s.Delete(s.pb->GetINode(Object_Nodes, 0, 1));
    BroadcastNotification(NOTIFY_FILE_POST_OPEN);
    EXPECT_EQ(s.pb->Count(Object_Nodes), 1);
    EXPECT_EQ(Verts(), 11 * 8);
}

TEST_F(Rebuild, APoolValueWrittenThroughTheBlockMovesItsCopy) {
    Fence(1);
    SeedPools(7);
    // The item's sideways range 0 .. 10: copy j stands 10 / 100 * Pool_Pos_InOut[100 + j] to the
    // left, its path running at the middle of the range (5).
    SetEntry(Item_Random_Trans, 1, 1);
    SetEntry(Item_Pos_InOut, 1, 0.0f);
    SetEntry(Item_Pos_InOut_Random, 1, 10.0f);
    s.pb->SetValue(Pool_Pos_InOut, 0, 30.0f, 100);
    Verts();
    EXPECT_NEAR(s.object->mesh.verts[0].y, 3.0f, 1e-4f);
    s.pb->SetValue(Pool_Pos_InOut, 0, 80.0f, 100);
    Verts();
    EXPECT_NEAR(s.object->mesh.verts[0].y, 8.0f, 1e-4f);
}

// Regression: the search for the object's node stopped at the first dependent that was no node,
// so an object under a modifier lost its node, and with it the path's place relative to it. The
// path lies 50 along +Y and the object's node 20: in the object's space the copies run 30 along
// +Y.
TEST_F(Rebuild, TheNodeSearchStoppedAtAModifier) {
    INode* path = SetPath({placement_test::Straight(100)});
    Matrix3 at(1);
    at.SetTrans(Point3(0, 50, 0));
    path->SetNodeTM(0, at);
    AddItem();
    at.SetTrans(Point3(0, 20, 0));
    s.objectNode->SetNodeTM(0, at);
    s.objectNode->SetObjectRef(new lifecycle::DerivedObject(s.object));
    EXPECT_EQ(s.object->FindNode(), s.objectNode);
    const std::vector<Seen> seen = Walk(PlacementPass::PerObject);
    ASSERT_FALSE(seen.empty());
    EXPECT_TRUE(Near(seen.front().at, Point3(0, 30, 0), 1e-3f)) << seen.front().at;
}

}  // namespace
