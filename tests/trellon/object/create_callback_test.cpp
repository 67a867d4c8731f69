// The creation callback's answers, what the click and the drag do to the object, and what the
// first click sets up besides the placement: the entry 0 of the shared tables, the wire colour,
// the palette material and the layer.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "colour/palette.h"
#include "ilayer.h"
#include "imtl.h"
#include "iparamb2.h"
#include "object/create_callback.h"
#include "object/item_tables.h"
#include "object/param_ids.h"
#include "object/trellon.h"
#include "plugin/plugin.h"
#include "scene.h"
#include "viewport.h"

using namespace trellon;

namespace create_test {
namespace {

// A scene and a top viewport for driving the creation callback by hand, the way the host does:
// the object is made, the first click makes its node, then each message goes to the callback.
class CreateFixture : public testing::Test {
protected:
    // A new object with its node, bound to the callback.
    Trellon* NewObjectWithNode() {
        obj = static_cast<Trellon*>(trellon::GetTrellonDesc()->Create(FALSE));
        node = scene.CreateObjectNode(obj);
        cb = obj->GetCreateMouseCallBack();
        mat = Matrix3(1);
        return obj;
    }
    int Send(int msg, int point, IPoint2 m) { return cb->proc(&vpt, msg, point, 0, m, mat); }
    // The first click at m, as point 0.
    int Click(IPoint2 m) { return Send(MOUSE_POINT, 0, m); }
    IParamBlock2* Block() { return obj->GetParamBlock(0); }
    float LogoSize() { return Block()->GetFloat(Logo_size, scene.GetTime()); }

    host::Scene scene;
    host::TopViewport vpt{0.5f};  // half a world unit per pixel
    Trellon* obj = nullptr;       // owned by its node, which the scene owns
    INode* node = nullptr;
    CreateMouseCallBack* cb = nullptr;
    Matrix3 mat;
};

// One callback serves every new object, bound to the newest; without an object a point aborts.
TEST_F(CreateFixture, OneInstanceIsBoundToEachNewObjectAndWithoutOneAPointAborts) {
    auto* a = static_cast<Trellon*>(trellon::GetTrellonDesc()->Create(FALSE));
    auto* b = static_cast<Trellon*>(trellon::GetTrellonDesc()->Create(FALSE));
    CreateMouseCallBack* forA = a->GetCreateMouseCallBack();
    EXPECT_EQ(trellon::GetTrellonCreateCallBack().GetObj(), a);
    CreateMouseCallBack* forB = b->GetCreateMouseCallBack();
    EXPECT_EQ(forA, forB);
    EXPECT_EQ(trellon::GetTrellonCreateCallBack().GetObj(), b);
    EXPECT_EQ(forB->override(7), 7);
    a->DeleteMe();
    b->DeleteMe();
    trellon::GetTrellonCreateCallBack().SetObj(nullptr);
    EXPECT_EQ(trellon::GetTrellonCreateCallBack().proc(&vpt, MOUSE_POINT, 0, 0, IPoint2(1, 1), mat),
              CREATE_ABORT);
}

class CreateCallbackDeadViewport : public CreateFixture, public testing::WithParamInterface<int> {};

// A closed viewport (or none) ends the creation before anything is touched: Logo_size keeps its
// default 0.5 and no table gets an entry.
TEST_P(CreateCallbackDeadViewport, StopsAtOnceAndChangesNothing) {
    NewObjectWithNode();
    vpt.SetAlive(false);
    EXPECT_EQ(Send(GetParam(), 0, IPoint2(10, 10)), CREATE_STOP);
    EXPECT_EQ(cb->proc(nullptr, GetParam(), 0, 0, IPoint2(10, 10), mat), CREATE_STOP);
    EXPECT_FLOAT_EQ(LogoSize(), 0.5f);
    EXPECT_EQ(Block()->Count(Item_Spacing), 0);
    EXPECT_EQ(scene.Layers().CreatedCount(), 0);
    EXPECT_TRUE(vpt.Previews().empty());
}

INSTANTIATE_TEST_SUITE_P(Messages, CreateCallbackDeadViewport,
                         testing::Values(MOUSE_POINT, MOUSE_MOVE));

TEST_F(CreateFixture, FreeMovesShowTheSnapPreviewUnderTheMouse) {
    NewObjectWithNode();
    Send(MOUSE_FREEMOVE, 0, IPoint2(3, 4));
    Send(MOUSE_FREEMOVE, 0, IPoint2(5, 6));
    EXPECT_EQ(vpt.Previews(), (std::vector<IPoint2>{IPoint2(3, 4), IPoint2(5, 6)}));
}

struct Drag {
    IPoint2 to;
    float size;
};

class CreateCallbackDrag : public CreateFixture, public testing::WithParamInterface<Drag> {};

// Pressed at (100, 100) with half a unit per pixel: the object stands over the plane point
// (50, -50, 0) with no size yet. The drag sizes it by its extent along the plane's Y axis,
// |screen dy| / 2, whatever the sideways part of the drag. (That the creation runs while the
// callback continues it, ends on the release and stops on an abort, the host's creation tests
// show end to end.)
TEST_P(CreateCallbackDrag, PlacesTheObjectAndSizesTheLogoByTheDragAlongY) {
    NewObjectWithNode();
    ASSERT_EQ(Click(IPoint2(100, 100)), CREATE_CONTINUE);
    EXPECT_EQ(mat.GetTrans(), Point3(50.0f, -50.0f, 0.0f));
    EXPECT_FLOAT_EQ(LogoSize(), 0.0f);
    EXPECT_EQ(Send(MOUSE_MOVE, 1, GetParam().to), CREATE_CONTINUE);
    EXPECT_FLOAT_EQ(LogoSize(), GetParam().size);
    EXPECT_TRUE(obj->suspendSnap);
    EXPECT_EQ(Send(MOUSE_POINT, 1, GetParam().to), CREATE_STOP);
    EXPECT_FLOAT_EQ(LogoSize(), GetParam().size);
    EXPECT_FALSE(obj->suspendSnap);
}

INSTANTIATE_TEST_SUITE_P(Drags, CreateCallbackDrag,
                         testing::Values(Drag{IPoint2(100, 100), 0.0f},    // a click, no drag
                                         Drag{IPoint2(130, 100), 0.0f},    // sideways only
                                         Drag{IPoint2(130, 60), 20.0f}));  // 50 px, 40 up

// After the first click every shared table holds its "All Objects" or "All Sweeps" entry and
// nothing else; the tables of items and shapes alone stay empty until the first item or shape.
// A few entries by hand: spacings and scales start at 100 (percent and units alike), the
// unified-scale switch on, offsets and rotations 0.
TEST_F(CreateFixture, TheFirstClickAddsEntryZeroOfEverySharedTableAndThePalette) {
    NewObjectWithNode();
    Click(IPoint2(0, 0));
    for (const trellon::ItemTable& t : trellon::kItemTables) {
        const bool shared = t.role == TableRole::ItemShared || t.role == TableRole::SweepShared ||
                            t.role == TableRole::SweepFlip;
        EXPECT_EQ(Block()->Count(t.id), shared ? 1 : 0) << "parameter " << t.id;
    }
    EXPECT_EQ(Block()->Count(Sequence_Items), 0);
    EXPECT_EQ(Block()->Count(Object_Nodes), 0);
    EXPECT_FLOAT_EQ(Block()->GetFloat(Item_Spacing, 0, 0), 100.0f);
    EXPECT_FLOAT_EQ(Block()->GetFloat(Item_X_Scale_Random, 0, 0), 100.0f);
    EXPECT_FLOAT_EQ(Block()->GetFloat(Sweep_Y_Scale, 0, 0), 100.0f);
    EXPECT_EQ(Block()->GetInt(Item_Unify_Scale, 0, 0), 1);
    EXPECT_FLOAT_EQ(Block()->GetFloat(Item_Z_Rot, 0, 0), 0.0f);
    EXPECT_FLOAT_EQ(Block()->GetFloat(Sweep_End_Trim, 0, 0), 0.0f);
    EXPECT_EQ(trellon::ItemTables(Block(), 0).CheckInvariants(), std::vector<std::string>{});

    // The node gets a multi-material of the 27 palette colours as Standard materials:
    // sub-material 0 is the object's own colour, as the wire colour; 4 is a full orange.
    Mtl* m = node->GetMtl();
    ASSERT_NE(m, nullptr);
    EXPECT_EQ(m->ClassID(), Class_ID(MULTI_CLASS_ID, 0));
    EXPECT_EQ(m->GetName(), MSTR(node->GetName()) + MSTR(L"_Palette"));
    ASSERT_EQ(m->NumSubMtls(), 27);
    for (int i = 0; i < 27; ++i) {
        ASSERT_NE(m->GetSubMtl(i), nullptr) << "sub-material " << i;
        EXPECT_EQ(m->GetSubMtl(i)->ClassID(), Class_ID(DMTL_CLASS_ID, 0));
        EXPECT_EQ(m->GetSubMtl(i)->GetDiffuse().toRGB(), trellon::PaletteColourWord(i)) << i;
    }
    EXPECT_EQ(node->GetWireColor(), trellon::PaletteColourWord(0));
    EXPECT_EQ(m->GetSubMtl(4)->GetDiffuse().toRGB(), RGB(255, 114, 0));
}

// Two creations in a row, with the user's own layer current: one layer is made, both nodes are
// on it, and the user's layer is current again.
TEST_F(CreateFixture, TwoCreationsShareOneLayerAndKeepTheCurrentLayer) {
    MSTR walls(L"Walls");
    scene.Layers().CreateLayer(walls);
    scene.Layers().SetCurrentLayer(walls);
    NewObjectWithNode();
    Click(IPoint2(0, 0));
    INode* first = node;
    NewObjectWithNode();
    Click(IPoint2(20, 0));
    ILayer* layer = scene.Layers().GetLayer(MSTR(L"Kavo_Trellon_Objects"));
    ASSERT_NE(layer, nullptr);
    EXPECT_EQ(scene.Layers().CreatedCount(), 2);  // "Walls" and the object layer
    EXPECT_EQ(layer->GetNumNodes(), 2);
    EXPECT_EQ(first->GetReference(NODE_LAYER_REF), layer);
    EXPECT_EQ(node->GetReference(NODE_LAYER_REF), layer);
    EXPECT_EQ(scene.Layers().GetCurrentLayer()->GetName(), walls);
    EXPECT_EQ(scene.Layers().GetLayer(walls)->GetNumNodes(), 0);
}

}  // namespace
}  // namespace create_test
