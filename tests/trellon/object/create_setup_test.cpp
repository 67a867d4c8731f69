// What the first click sets up besides the placement: the entry 0 of the shared tables, the wire
// colour, the palette material and the layer.
#include <set>
#include <string>
#include <vector>

#include "colour/palette.h"
#include "ilayer.h"
#include "imtl.h"
#include "object/create_fixture.h"
#include "object/item_tables.h"

using namespace trellon;

namespace create_test {
namespace {

using trellon::TableRole;

// After the first click every shared table holds its "All Objects" or "All Sweeps" entry and
// nothing else; the tables of items and shapes alone stay empty until the first item or shape.
// A few entries by hand: spacings and scales start at 100 (percent and units alike), the
// unified-scale switch on, offsets and rotations 0.
TEST_F(CreateFixture, TheFirstClickAddsEntryZeroOfEverySharedTable) {
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
}

// The palette as Standard materials: sub-material 0 is the object's own colour, as the wire
// colour; 4 is a full orange.
TEST_F(CreateFixture, TheNodeGetsAMultiMaterialOfThe27PaletteColours) {
    NewObjectWithNode();
    Click(IPoint2(0, 0));
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
