// What the first click sets up besides the placement: the entry 0 of the shared tables, the wire
// colour, the palette material and the layer.
#include <set>
#include <span>
#include <string>
#include <tuple>
#include <vector>

#include "ilayer.h"
#include "imtl.h"
#include "object/create_fixture.h"
#include "object/item_tables.h"

namespace create_test {
namespace {

struct Entry0 {
    ParamID id;
    bool isInt;
    float value;  // ints compare as their float value
};

// The "All Objects" and "All Sweeps" entries a new object starts with: offsets, rotations,
// mirror angles and trims 0, scales and spacings 100, unified scale 1, the switches 0.
constexpr Entry0 kEntry0[] = {
    {Item_Random_Trans, true, 0},
    {Item_Spacing, false, 100},
    {Item_Spacing_Random, false, 100},
    {Item_Check_1118, true, 0},
    {Item_Start_Offset, false, 0},
    {Item_End_Offset, false, 0},
    {Item_Pos_InOut, false, 0},
    {Item_Pos_InOut_Random, false, 0},
    {Item_Z_Pos, false, 0},
    {Item_Z_Pos_Random, false, 0},
    {Item_X_Rot, false, 0},
    {Item_X_Rot_Random, false, 0},
    {Item_Y_Rot, false, 0},
    {Item_Y_Rot_Random, false, 0},
    {Item_Z_Rot, false, 0},
    {Item_Z_Rot_Random, false, 0},
    {Item_Extra_Rot, false, 0},
    {Item_Extra_Rot_Random, false, 0},
    {Item_Mirror, false, 0},
    {Item_Mirror2, false, 0},
    {Item_Unify_Scale, true, 1},
    {Item_X_Scale, false, 100},
    {Item_X_Scale_Random, false, 100},
    {Item_Y_Scale, false, 100},
    {Item_Y_Scale_Random, false, 100},
    {Item_Z_Scale, false, 100},
    {Item_Z_Scale_Random, false, 100},
    {Item_Mirror_Box, true, 0},
    {Shape_Flip_Normals, true, 0},
    {Shape_Flip_Object, true, 0},
    {Sweep_Side_Offset, false, 0},
    {Sweep_Height_Offset, false, 0},
    {Sweep_X_Rot, false, 0},
    {Sweep_Y_Rot, false, 0},
    {Sweep_Z_Rot, false, 0},
    {Sweep_Unify_Scale, true, 1},
    {Sweep_X_Scale, false, 100},
    {Sweep_Y_Scale, false, 100},
    {Sweep_Z_Scale, false, 100},
    {Sweep_Start_Trim, false, 0},
    {Sweep_End_Trim, false, 0},
};

// Tables that belong to items or shapes alone (and the lists themselves): none has an entry
// before the first item or shape.
constexpr ParamID kEmptyAfterCreation[] = {
    Object_Nodes,       Post_Nodes,          End_Nodes,          Item_Names,
    Item_Kind,          Item_Box_Max,        Item_Box_Min,       Item_Cloud_Count,
    Item_Face_Count,    Cloud_Points,        Item_Check_1013,    Item_Repeat_Count,
    Item_Repeat_Gap,    Item_Spin_1111,      Item_Check_1121,    Item_Spin_1032,
    Item_Check_1014,    End_Check_1119,      Sequence_Items,     Sequence_Groups,
    Geo_Array,          Pool_Spacing,        Pool_Pos_InOut,     Pool_Z_Pos,
    Pool_X_Rot,         Pool_Y_Rot,          Pool_Z_Rot,         Pool_Extra_Rot,
    Pool_X_Scale,       Pool_Y_Scale,        Pool_Z_Scale,       Pool_Mirror,
    Sweep_Nodes,        Sweep_Names,         Shape_Steps,        Sweep_Smooth_Angle,
    Sweep_Reserved_140, Sweep_Reserved_141,  Sweep_Reserved_142, Sweep_Reserved_143,
    Sweep_Double,       Sweep_Double_Offset,
};

class CreateSharedEntry : public CreateFixture, public testing::WithParamInterface<Entry0> {};

TEST_P(CreateSharedEntry, HoldsExactlyEntryZeroWithItsValue) {
    NewObjectWithNode();
    Click(IPoint2(0, 0));
    const Entry0& e = GetParam();
    ASSERT_EQ(Block()->Count(e.id), 1) << "parameter " << e.id;
    const float v =
        e.isInt ? static_cast<float>(Block()->GetInt(e.id, 0, 0)) : Block()->GetFloat(e.id, 0, 0);
    EXPECT_EQ(v, e.value) << "parameter " << e.id;
    EXPECT_EQ(Block()->GetParameterType(e.id), e.isInt ? TYPE_INT_TAB : TYPE_FLOAT_TAB);
}

INSTANTIATE_TEST_SUITE_P(Tables, CreateSharedEntry, testing::ValuesIn(kEntry0));

TEST_F(CreateFixture, TablesOfItemsAndShapesStayEmpty) {
    NewObjectWithNode();
    Click(IPoint2(0, 0));
    for (ParamID id : kEmptyAfterCreation) EXPECT_EQ(Block()->Count(id), 0) << "parameter " << id;
    EXPECT_EQ(trellon::ItemTables(Block(), 0).CheckInvariants(), std::vector<std::string>{});
}

// The lists of defaults hold every table above and nothing else, so an item added later starts
// from the same values.
TEST(SharedEntryDefaults, ListEveryTableWithEntryZero) {
    std::set<std::tuple<ParamID, bool, float>> expected;
    for (const Entry0& e : kEntry0) expected.insert({e.id, e.isInt, e.value});
    std::set<std::tuple<ParamID, bool, float>> listed;
    using Defaults = std::span<const trellon::SharedEntryDefault>;
    for (Defaults list :
         {Defaults(trellon::kItemSharedDefaults), Defaults(trellon::kSweepSharedDefaults)}) {
        for (const trellon::SharedEntryDefault& d : list) {
            listed.insert({d.id, d.isInt, d.isInt ? static_cast<float>(d.intValue) : d.floatValue});
        }
    }
    EXPECT_EQ(listed, expected);
}

TEST_F(CreateFixture, ASecondFirstClickAddsNoSecondEntry) {
    NewObjectWithNode();
    Click(IPoint2(0, 0));
    Click(IPoint2(0, 0));
    for (const Entry0& e : kEntry0) EXPECT_EQ(Block()->Count(e.id), 1) << "parameter " << e.id;
    EXPECT_EQ(trellon::ItemTables(nullptr, 0).AppendSharedEntries(), 0);
}

TEST_F(CreateFixture, TheNodeGetsTheYellowGreenWireColour) {
    NewObjectWithNode();
    Click(IPoint2(0, 0));
    const DWORD c = node->GetWireColor();
    EXPECT_EQ(GetRValue(c), 186);
    EXPECT_EQ(GetGValue(c), 214);
    EXPECT_EQ(GetBValue(c), 54);
}

TEST_F(CreateFixture, TheNodeGetsAMultiMaterialOf27DistinctStandardColours) {
    NewObjectWithNode();
    Click(IPoint2(0, 0));
    Mtl* m = node->GetMtl();
    ASSERT_NE(m, nullptr);
    EXPECT_EQ(m->ClassID(), Class_ID(MULTI_CLASS_ID, 0));
    ASSERT_EQ(m->NumSubMtls(), 27);
    std::set<DWORD> colours;
    for (int i = 0; i < 27; ++i) {
        Mtl* sub = m->GetSubMtl(i);
        ASSERT_NE(sub, nullptr) << "sub-material " << i;
        EXPECT_EQ(sub->ClassID(), Class_ID(DMTL_CLASS_ID, 0));
        colours.insert(sub->GetDiffuse().toRGB());
    }
    EXPECT_EQ(colours.size(), 27u);
    // Sub-material 0 is the object's own colour, as the wire colour; 4 is a full orange.
    EXPECT_EQ(m->GetSubMtl(0)->GetDiffuse().toRGB(), RGB(186, 214, 54));
    EXPECT_EQ(m->GetSubMtl(4)->GetDiffuse().toRGB(), RGB(255, 114, 0));
    EXPECT_EQ(m->GetName(), MSTR(node->GetName()) + MSTR(L"_Palette"));
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
