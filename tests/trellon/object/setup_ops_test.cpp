// The set-up operations: what adding, converting, deleting and shifting do to the parallel
// tables, the measured item values, the picked path and its spacings, the car-paint question,
// and the refusals.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

#include "ifnpub.h"
#include "ilayer.h"
#include "materials.h"
#include "object/car_paint.h"
#include "object/marker_mesh.h"
#include "setup_fixture.h"
#include "support/near.h"
#include "units.h"
#include "windows.h"

using namespace trellon;

namespace setup_test {
namespace {

using support::Near;

// --- Adding items -------------------------------------------------------------------------------

// The first item, as one step with one refresh: its name, its spacings (both ends copy the low
// end of "All Objects"), a sequence row of its own, the pools refilled for "All Objects" and the
// item (2 blocks of 100); its node goes on the object layer and the list selection is cleared.
TEST_F(SetupFixture, TheFirstItemIsOneStepThatFillsEveryTable) {
    s.pb->SetValue(Item_Spacing, 0, 40.0f, 0);
    s.pb->SetValue(Item_Spacing_Random, 0, 55.0f, 0);
    Obj().SelectedRow = 3;
    INode* node = Row(L"Picket", 8, 1.0f);
    const int before = s.Refreshes();
    trellon::AddItem(Obj(), node);
    EXPECT_EQ(s.Refreshes(), before + 1);
    EXPECT_EQ(Obj().Ready, 1);
    EXPECT_EQ(Names(Item_Names), std::vector<std::wstring>{L"Picket"});
    EXPECT_EQ(NodeNames(Object_Nodes), std::vector<std::wstring>{L"Picket"});
    EXPECT_EQ(Floats(Item_Spacing), (std::vector<float>{40.0f, 40.0f}));
    EXPECT_EQ(Floats(Item_Spacing_Random), (std::vector<float>{55.0f, 40.0f}));
    EXPECT_EQ(Ints(Sequence_Items), std::vector<int>{0});
    EXPECT_EQ(Ints(Sequence_Groups), std::vector<int>{0});
    EXPECT_EQ(s.pb->Count(Pool_Spacing), 2 * kPoolBlock);
    EXPECT_EQ(s.pb->Count(Pool_Mirror), 2 * kPoolBlock);
    ILayer* layer = s.scene.Layers().GetLayer(MSTR(L"Kavo_Trellon_Objects"));
    ASSERT_NE(layer, nullptr);
    EXPECT_EQ(node->GetReference(NODE_LAYER_REF), layer);
    EXPECT_EQ(Obj().SelectedRow, -1);
    EXPECT_TABLES_PARALLEL();
}

// A mesh item (kind 0) stores its box, its face count and its cloud: min(vertices, 3000) points,
// every one a distinct vertex of the item's mesh. The row of n vertices at (5, i, 0) spans
// (5, 0, 0) .. (5, n - 1, 0) and has n - 2 faces.
class CloudCount : public SetupFixture,
                   public ::testing::WithParamInterface<std::pair<int, int>> {};

TEST_P(CloudCount, IsTheVertexCountUpTo3000) {
    const auto [vertices, expected] = GetParam();
    trellon::AddItem(Obj(), Row(L"Cloud", vertices, 5.0f));
    ASSERT_EQ(Ints(Item_Cloud_Count), std::vector<int>{expected});
    ASSERT_EQ(s.pb->Count(Cloud_Points), expected);
    std::set<float> seen;
    for (const Point3& p : Points(Cloud_Points)) {
        EXPECT_EQ(p.x, 5.0f);
        EXPECT_GE(p.y, 0.0f);
        EXPECT_LT(p.y, static_cast<float>(vertices));
        seen.insert(p.y);
    }
    EXPECT_EQ(static_cast<int>(seen.size()), expected);
    EXPECT_EQ(Ints(Item_Face_Count), std::vector<int>{std::max(0, vertices - 2)});
    EXPECT_EQ(Ints(Item_Kind), std::vector<int>{0});
    if (vertices == 0) return;
    EXPECT_EQ(s.pb->GetPoint3(Item_Box_Min, 0, 0), Point3(5, 0, 0));
    EXPECT_EQ(s.pb->GetPoint3(Item_Box_Max, 0, 0), Point3(5.0f, float(vertices - 1), 0.0f));
}

INSTANTIATE_TEST_SUITE_P(SetupOps, CloudCount,
                         ::testing::Values(std::make_pair(10, 10), std::make_pair(3001, 3000),
                                           std::make_pair(0, 0)));

// The runtime generator seeded with 1 draws 41, 18467, 6334 (x' = 214013 x + 2531011,
// draw = x' >> 16 & 0x7fff). Shuffling 0 1 2 3: i = 1 takes 41 % 2 = 1 (stays), i = 2 takes
// 18467 % 3 = 2 (stays), i = 3 takes 6334 % 4 = 2 (exchanged with entry 2): 0 1 3 2.
TEST_F(SetupFixture, TheCloudIsShuffledWithTheRuntimeGenerator) {
    trellon::RuntimeRandom().srand(1);
    trellon::AddItem(Obj(), Row(L"Four", 4, 1.0f));
    std::vector<float> order;
    for (const Point3& p : Points(Cloud_Points)) order.push_back(p.y);
    EXPECT_EQ(order, (std::vector<float>{0, 1, 3, 2}));
}

// A light: kind 1, the marker's 304 faces and 160 cloud points, and the marker box, a cube of
// the unit's marker size about the origin.
class LightItem : public SetupFixture, public ::testing::WithParamInterface<std::pair<int, float>> {
protected:
    void TearDown() override { SetMasterUnitInfo(UNITS_INCHES, 1.0f); }
};

TEST_P(LightItem, GetsKindOneAndTheMarkerBox) {
    const auto [unit, size] = GetParam();
    SetMasterUnitInfo(unit, 1.0f);
    trellon::AddItem(Obj(), Light(L"Lamp"));
    EXPECT_EQ(Ints(Item_Kind), std::vector<int>{1});
    EXPECT_EQ(Ints(Item_Face_Count), std::vector<int>{trellon::kMarkerFaceCount});
    EXPECT_EQ(Ints(Item_Cloud_Count), std::vector<int>{trellon::kMarkerVertexCount});
    EXPECT_TRUE(Near(s.pb->GetPoint3(Item_Box_Max, 0, 0), Point3(1, 1, 1) * (size / 2)));
    EXPECT_TRUE(Near(s.pb->GetPoint3(Item_Box_Min, 0, 0), Point3(1, 1, 1) * (-size / 2)));
    // The bulb is 1 tall and 0.28 wide at size 1: every point within the box.
    for (const Point3& p : Points(Cloud_Points)) {
        EXPECT_LE(std::fabs(p.z), size / 2 * 1.0001f);
        EXPECT_LE(std::sqrt(p.x * p.x + p.y * p.y), 0.2812f * size);
    }
    EXPECT_TABLES_PARALLEL();
}

INSTANTIATE_TEST_SUITE_P(SetupOps, LightItem,
                         ::testing::Values(std::make_pair(UNITS_INCHES, 0.2f),
                                           std::make_pair(UNITS_FEET, 20.0f)));

// --- Car paint ----------------------------------------------------------------------------------

class CarPaint : public SetupFixture {
protected:
    static Mtl* NewMtl(const wchar_t* cls, const wchar_t* name, Color diffuse) {
        auto* m = static_cast<Mtl*>(host::NewMaterialOrMap(cls));
        m->SetName(MSTR(name));
        m->SetDiffuse(diffuse, 0);
        return m;
    }
    // A node whose material is a multi of a red Standard and a car paint named "Red Paint"
    // coloured (0.8, 0.1, 0.1).
    INode* Painted(const wchar_t* name, float tag) {
        INode* node = Row(name, 3, tag);
        auto* multi = static_cast<MultiMtl*>(host::NewMaterialOrMap(L"Multi/Sub-Object"));
        multi->SetNumSubMtls(2);
        multi->SetSubMtl(0, NewMtl(L"Standard", L"Plain", Color(1.0f, 0.0f, 0.0f)));
        multi->SetSubMtl(1, NewMtl(L"VRayCarPaintMtl", L"Red Paint", Color(0.8f, 0.1f, 0.1f)));
        node->SetMtl(multi);
        return node;
    }
    static std::wstring ClassName(Mtl* m) {
        MSTR cls;
        m->GetClassName(cls);
        return cls.data();
    }
    static constexpr const wchar_t* kCaption = L"Car Paint Material";
};

TEST_F(CarPaint, ANoLeavesTheObjectOut) {
    s.scene.SetMessageAnswer(kCaption, IDNO);
    INode* car = Painted(L"Car", 1.0f);
    trellon::AddItem(Obj(), car);
    EXPECT_EQ(s.pb->Count(Object_Nodes), 0);
    ASSERT_EQ(s.scene.Messages().size(), 1u);
    const host::MessageRecord& m = s.scene.Messages()[0];
    EXPECT_EQ(m.caption, kCaption);
    EXPECT_EQ(m.text,
              L"Your Material or Sub-Material is a VRay Car Paint. Would you like us to change "
              L"this to a similar VRayMtl??");
    EXPECT_EQ(m.type, MB_YESNO | MB_ICONEXCLAMATION | MB_SYSTEMMODAL);
    // The material is left alone.
    EXPECT_EQ(ClassName(car->GetMtl()->GetSubMtl(1)), L"VRayCarPaintMtl");
}

// Yes converts only the car-paint slot: slot 1 becomes a VRayMtl keeping the paint's name and
// colour, with the reflection grey 84/255 and glossiness 0.82; slot 0 and the multi stay. A car
// paint that is the node's own material is replaced on the node.
TEST_F(CarPaint, AYesConvertsThePaintedSlotOrTheWholeMaterialAndAddsTheObject) {
    s.scene.SetMessageAnswer(kCaption, IDYES);
    INode* car = Painted(L"Car", 1.0f);
    Mtl* multi = car->GetMtl();
    Mtl* plain = multi->GetSubMtl(0);
    trellon::AddItem(Obj(), car);
    EXPECT_EQ(NodeNames(Object_Nodes), std::vector<std::wstring>{L"Car"});
    EXPECT_EQ(s.scene.Messages().size(), 1u);
    ASSERT_EQ(car->GetMtl(), multi);
    EXPECT_EQ(multi->GetSubMtl(0), plain);
    Mtl* converted = multi->GetSubMtl(1);
    ASSERT_NE(converted, nullptr);
    EXPECT_EQ(ClassName(converted), L"VRayMtl");
    EXPECT_EQ(converted->ClassID(), Class_ID(0x37BF3F2F, 0x7034695C));
    EXPECT_EQ(std::wstring(converted->GetName().data()), L"Red Paint");
    EXPECT_EQ(converted->GetDiffuse(), Color(0.8f, 0.1f, 0.1f));
    IParamBlock2* pb = converted->GetParamBlock(0);
    ASSERT_NE(pb, nullptr);
    EXPECT_FLOAT_EQ(pb->GetColor(2).r, 0.32941177f);
    EXPECT_FLOAT_EQ(pb->GetColor(2).b, 0.32941177f);
    EXPECT_FLOAT_EQ(pb->GetFloat(3), 0.82f);
    EXPECT_FALSE(trellon::HasCarPaint(car));

    INode* van = Row(L"Van", 3, 2.0f);
    van->SetMtl(NewMtl(L"VRayCarPaintMtl", L"Blue", Color(0.0f, 0.0f, 1.0f)));
    trellon::AddItem(Obj(), van);
    EXPECT_EQ(ClassName(van->GetMtl()), L"VRayMtl");
    EXPECT_EQ(std::wstring(van->GetMtl()->GetName().data()), L"Blue");
    EXPECT_EQ(van->GetMtl()->GetDiffuse(), Color(0.0f, 0.0f, 1.0f));
}

// Three objects of which two carry a car paint, answered No: only the third is added, and the
// question is asked once for the list.
TEST_F(CarPaint, AListAsksOnceAndAddsOnlyTheObjectsWithoutOne) {
    s.scene.SetMessageAnswer(kCaption, IDNO);
    Tab<INode*> nodes;
    for (INode* n : {Painted(L"Car1", 1.0f), Painted(L"Car2", 2.0f), Row(L"Plain", 3, 3.0f)}) {
        nodes.Append(1, &n);
    }
    trellon::AddItems(Obj(), nodes);
    EXPECT_EQ(NodeNames(Object_Nodes), std::vector<std::wstring>{L"Plain"});
    ASSERT_EQ(s.scene.Messages().size(), 1u);
    EXPECT_EQ(s.scene.Messages()[0].text.rfind(L"One or More Objects", 0), 0u);
    EXPECT_TABLES_PARALLEL();
}

// --- Posts and end objects
// ------------------------------------------------------------------------

TEST_F(FiveItems, StartAsThreeObjectsAPostAndAnEndObject) {
    EXPECT_EQ(NodeNames(Object_Nodes), (std::vector<std::wstring>{L"A", L"B", L"C"}));
    EXPECT_EQ(NodeNames(Post_Nodes), std::vector<std::wstring>{L"P"});
    EXPECT_EQ(NodeNames(End_Nodes), std::vector<std::wstring>{L"E"});
    EXPECT_EQ(Names(Item_Names), (std::vector<std::wstring>{L"A", L"B", L"C", L"P", L"E"}));
    EXPECT_EQ(Ints(End_Check_1119), std::vector<int>{0});
    // P's and E's rows went; the groups close up to 0, 1, 2.
    EXPECT_EQ(Ints(Sequence_Items), (std::vector<int>{0, 1, 2}));
    EXPECT_EQ(Ints(Sequence_Groups), (std::vector<int>{0, 1, 2}));
    ExpectEntriesFollowTheirItems();
}

// B (row 2 in pattern 2) becomes a post: its entries move to the end of the post section.
TEST_F(FiveItems, MakingAnItemAPostMovesItsEntriesToTheEndOfThePosts) {
    const std::vector<float> before = Floats(Pool_Z_Rot);
    const std::vector<float> poolB(before.begin() + 2 * kPoolBlock,
                                   before.begin() + 3 * kPoolBlock);
    trellon::MakePost(Obj(), 2);
    EXPECT_EQ(NodeNames(Object_Nodes), (std::vector<std::wstring>{L"A", L"C"}));
    EXPECT_EQ(NodeNames(Post_Nodes), (std::vector<std::wstring>{L"P", L"B"}));
    EXPECT_EQ(Names(Item_Names), (std::vector<std::wstring>{L"A", L"C", L"P", L"B", L"E"}));
    // B is item 3 now; its pool block (slot 4) holds the values it had in slot 2.
    const std::vector<float> pool = Floats(Pool_Z_Rot);
    EXPECT_EQ(std::vector<float>(pool.begin() + 4 * kPoolBlock, pool.begin() + 5 * kPoolBlock),
              poolB);
    // B's row went; C (item 2 before, 1 now) keeps its row, groups closed up.
    EXPECT_EQ(Ints(Sequence_Items), (std::vector<int>{0, 1}));
    EXPECT_EQ(Ints(Sequence_Groups), (std::vector<int>{0, 1}));
    ExpectEntriesFollowTheirItems();
}

// The post P (row 4 in pattern 2) becomes a distribution object again, after C, with a row of its
// own in a new last group.
TEST_F(FiveItems, APostMadeAnObjectAgainGoesAfterTheObjectsWithANewRow) {
    trellon::MakePost(Obj(), 4);
    EXPECT_EQ(NodeNames(Object_Nodes), (std::vector<std::wstring>{L"A", L"B", L"C", L"P"}));
    EXPECT_TRUE(NodeNames(Post_Nodes).empty());
    EXPECT_EQ(Ints(Sequence_Items), (std::vector<int>{0, 1, 2, 3}));
    EXPECT_EQ(Ints(Sequence_Groups), (std::vector<int>{0, 1, 2, 3}));
    ExpectEntriesFollowTheirItems();
}

TEST_F(FiveItems, EndObjectsTakeAndLeaveTheirEndCheck) {
    s.pb->SetValue(End_Check_1119, 0, 1, 0);  // E's switch on
    trellon::MakeEnd(Obj(), 1);               // A becomes an end object after E
    EXPECT_EQ(NodeNames(End_Nodes), (std::vector<std::wstring>{L"E", L"A"}));
    EXPECT_EQ(Ints(End_Check_1119), (std::vector<int>{1, 0}));
    trellon::MakeEnd(Obj(), 4);  // rows: B, C, P, E: E returns to the objects
    EXPECT_EQ(NodeNames(Object_Nodes), (std::vector<std::wstring>{L"B", L"C", L"E"}));
    EXPECT_EQ(Ints(End_Check_1119), std::vector<int>{0});
    ExpectEntriesFollowTheirItems();
}

TEST_F(FiveItems, ConversionsKeepASoloedItemSoloed) {
    s.pb->SetValue(Object_Solo, 0, 3);  // item 2, C
    trellon::MakePost(Obj(), 1);        // A becomes a post: C is item 1
    EXPECT_EQ(s.pb->GetInt(Object_Solo, 0), 2);
    trellon::MakePost(Obj(), 2);  // C becomes a post after P and A: item 3
    EXPECT_EQ(s.pb->GetInt(Object_Solo, 0), 4);
}

// Sequence mode: the rows are the sequence rows, posts and end objects after them.
TEST_F(FiveItems, InSequenceModeRowsNameTheSequenceAndNullRowsRefuse) {
    s.pb->SetValue(Geo_Pattern, 0, 0);
    trellon::AddNullRow(Obj(), 0);
    // Rows: 1 A, 2 B, 3 C, 4 null, 5 P, 6 E.
    EXPECT_EQ(trellon::ObjectListRowCount(s.pb, 0), 7);
    EXPECT_THROW(trellon::DeleteRow(Obj(), 4), MAXException);
    EXPECT_THROW(trellon::MakePost(Obj(), 4), MAXException);
    EXPECT_THROW(trellon::MakeEnd(Obj(), 5), MAXException);  // P is a post
    trellon::MakeEnd(Obj(), 2);                              // B leaves the sequence
    EXPECT_EQ(Ints(Sequence_Items), (std::vector<int>{0, 1, -1}));
    EXPECT_EQ(Ints(Sequence_Groups), (std::vector<int>{0, 1, 2}));
    ExpectEntriesFollowTheirItems();
}

}  // namespace
}  // namespace setup_test
