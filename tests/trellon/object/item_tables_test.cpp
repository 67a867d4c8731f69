// The item-table editor: removing items and swept shapes keeps every table parallel, the
// sequence pointing at the same items, and the invariants of the block true. Every item's
// entries carry its tag (setup_fixture.h), so an entry left behind or taken from a neighbour
// shows.
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <utility>
#include <vector>

#include "setup_fixture.h"

using namespace trellon;

namespace setup_test {
namespace {

using RowList = std::vector<std::pair<std::wstring, int>>;

// The five items with a sequence of six rows, groups {A}, {B, null}, {C, B}, {B}; B soloed; E's
// end switch on.
class ThreeObjects : public FiveItems {
protected:
    void SetUp() override {
        FiveItems::SetUp();
        support::SetInts(s.pb, Sequence_Items, {0, 1, -1, 2, 1, 1});
        support::SetInts(s.pb, Sequence_Groups, {0, 1, 1, 2, 2, 3});
        support::SetInts(s.pb, Geo_Array, {2, 0, 1});
        s.pb->SetValue(Object_Solo, 0, 2);
        s.pb->SetValue(End_Check_1119, 0, 1, 0);
        EXPECT_TABLES_PARALLEL();
    }
    // Each sequence row as (item name or "null", group).
    RowList Rows() {
        RowList rows;
        for (int r = 0; r < s.pb->Count(Sequence_Items); ++r) {
            const int k = s.pb->GetInt(Sequence_Items, 0, r);
            rows.emplace_back(k < 0 ? std::wstring(L"null") : s.pb->GetStr(Item_Names, 0, k),
                              s.pb->GetInt(Sequence_Groups, 0, r));
        }
        return rows;
    }
    // Item k's block of a pool.
    std::vector<float> PoolBlock(ParamID pool, int k) {
        const std::vector<float> all = Floats(pool);
        return std::vector<float>(all.begin() + (k + 1) * kPoolBlock,
                                  all.begin() + (k + 2) * kPoolBlock);
    }
};

TEST_F(ThreeObjects, DeletingTheMiddleObjectRemovesExactlyItsEntries) {
    // Item_Random_Trans[0] set on, the staging checkbox off: the deletion copies it across.
    s.pb->SetValue(Item_Random_Trans, 0, 1, 0);
    s.pb->SetValue(Random_Trans, 0, 0);
    const std::vector<float> poolC = PoolBlock(Pool_Spacing, 2);
    const int before = s.Refreshes();
    s.Delete(Node(L"B"));

    EXPECT_EQ(Names(Item_Names), (std::vector<std::wstring>{L"A", L"C", L"P", L"E"}));
    ExpectEntriesFollowTheirItems();
    // Pool blocks: entry 0, A, C, P, E; C's block moved down a slot with its values.
    ASSERT_EQ(s.pb->Count(Pool_Spacing), 5 * kPoolBlock);
    EXPECT_EQ(PoolBlock(Pool_Spacing, 1), poolC);
    EXPECT_EQ(Ints(End_Check_1119), (std::vector<int>{1}));
    // Rows naming B go; group 3 is left empty, so nothing above it moves; groups stay 0..2.
    EXPECT_EQ(Rows(), (RowList{{L"A", 0}, {L"null", 1}, {L"C", 2}}));
    EXPECT_EQ(s.pb->Count(Geo_Array), 0);
    EXPECT_EQ(s.pb->GetInt(Object_Solo), 0);
    EXPECT_EQ(s.pb->GetInt(Random_Trans), 1);
    // One refresh for the whole edit, none for its steps.
    EXPECT_EQ(s.Refreshes(), before + 1);
}

TEST_F(ThreeObjects, DeletingTheFirstObjectClosesTheGroupNumbers) {
    s.Delete(Node(L"A"));
    ExpectEntriesFollowTheirItems();
    // Group 0 ({A}) is gone: 1, 2, 3 become 0, 1, 2; B and C move down one item index.
    EXPECT_EQ(Rows(), (RowList{{L"B", 0}, {L"null", 0}, {L"C", 1}, {L"B", 1}, {L"B", 2}}));
    EXPECT_EQ(s.pb->GetInt(Sequence_Items, 0, 0), 0);
    EXPECT_EQ(s.pb->GetInt(Sequence_Items, 0, 2), 1);
}

// The post goes, then the end object; the objects and the sequence stay.
TEST_F(ThreeObjects, DeletingThePostThenTheEndObjectKeepsTheObjectsAndTheSequence) {
    const RowList rows = Rows();
    s.Delete(Node(L"P"));
    EXPECT_EQ(Names(Item_Names), (std::vector<std::wstring>{L"A", L"B", L"C", L"E"}));
    EXPECT_EQ(s.pb->Count(Post_Nodes), 0);
    ExpectEntriesFollowTheirItems();
    EXPECT_EQ(Ints(End_Check_1119), (std::vector<int>{1}));
    EXPECT_EQ(Rows(), rows);
    s.Delete(Node(L"E"));
    EXPECT_EQ(Names(Item_Names), (std::vector<std::wstring>{L"A", L"B", L"C"}));
    ExpectEntriesFollowTheirItems();
    EXPECT_EQ(s.pb->Count(End_Check_1119), 0);
    // The last cloud block (E's eight points) goes: A 4 + B 5 + C 6.
    EXPECT_EQ(s.pb->Count(Cloud_Points), 15);
    EXPECT_EQ(s.pb->Count(Pool_Mirror), 4 * kPoolBlock);
}

TEST_F(ThreeObjects, TwoNodesDeletedWhileNotReadyAreRemovedWithoutRebuilding) {
    s.object->Ready = 0;
    const int before = s.Refreshes();
    s.Delete(Node(L"C"));
    s.Delete(Node(L"A"));
    EXPECT_EQ(Names(Item_Names), (std::vector<std::wstring>{L"B", L"P", L"E"}));
    ExpectEntriesFollowTheirItems();
    EXPECT_EQ(Rows(), (RowList{{L"B", 0}, {L"null", 0}, {L"B", 1}, {L"B", 2}}));
    EXPECT_EQ(s.Refreshes(), before);
    EXPECT_EQ(s.object->Ready, 0);
}

// Three shapes S0, S1, S2 whose entries carry tags 1, 2 and 3 (10 x tag in the shared tables);
// the third soloed.
class Sweeps : public SetupFixture {
protected:
    void SetUp() override {
        SetupFixture::SetUp();
        const wchar_t* names[] = {L"S0", L"S1", L"S2"};
        for (int k = 0; k < 3; ++k) {
            trellon::AddShape(Obj(), Line(names[k], 1.0f + k));
            s.pb->SetValue(Shape_Steps, 0, k + 1, k);
            s.pb->SetValue(Shape_Flip_Normals, 0, k + 1, k);
            s.pb->SetValue(Sweep_Side_Offset, 0, 10.0f * (k + 1), k + 1);
            s.pb->SetValue(Sweep_End_Trim, 0, 10.0f * (k + 1), k + 1);
        }
        s.pb->SetValue(Sweep_Solo, 0, 3);
        EXPECT_TABLES_PARALLEL();
    }
};

TEST_F(Sweeps, DeletingAShapeRemovesItFromEverySweepTable) {
    // The flip tables are read at the shape's own index; the entry after the last is a spare.
    const int spare = s.pb->GetInt(Shape_Flip_Normals, 0, 3);
    s.Delete(s.scene.GetINodeByName(L"S1"));
    EXPECT_TABLES_PARALLEL();
    EXPECT_EQ(Names(Sweep_Names), (std::vector<std::wstring>{L"S0", L"S2"}));
    EXPECT_EQ(NodeNames(Sweep_Nodes), (std::vector<std::wstring>{L"S0", L"S2"}));
    EXPECT_EQ(Ints(Shape_Steps), (std::vector<int>{1, 3}));
    EXPECT_EQ(Floats(Sweep_Side_Offset), (std::vector<float>{0, 10, 30}));
    EXPECT_EQ(Floats(Sweep_End_Trim), (std::vector<float>{0, 10, 30}));
    EXPECT_EQ(Ints(Shape_Flip_Normals), (std::vector<int>{1, 3, spare}));
    EXPECT_EQ(s.pb->GetInt(Sweep_Solo), 0);
}

TEST_F(SetupFixture, PickedNodesLoseTheirDeletedEntries) {
    INode* x = s.AddBox(L"X", 1.0f);
    INode* y = s.AddBox(L"Y", 1.0f);
    s.pb->Append(Picked_Nodes_50, 1, &x);
    s.pb->Append(Picked_Nodes_50, 1, &y);
    s.Delete(x);
    ASSERT_EQ(s.pb->Count(Picked_Nodes_50), 1);
    EXPECT_EQ(s.pb->GetINode(Picked_Nodes_50, 0, 0), y);
}

// The description lists every table of the block that runs parallel to the items or shapes,
// once each; the rest are the lists themselves, the sequence and the colour tables.
TEST(ItemTableDescription, CoversEveryParallelTableOnce) {
    lifecycle::TrellonScene s;
    const std::set<int> notParallel = {Object_Nodes,   Post_Nodes,      End_Nodes, Sweep_Nodes,
                                       Sequence_Items, Sequence_Groups, Geo_Array, HueRand,
                                       SatRand,        BriRand,         ConRand,   Texture_Names,
                                       Picked_Nodes_50};
    std::multiset<int> described;
    for (const trellon::ItemTable& t : trellon::kItemTables) described.insert(t.id);
    ParamBlockDesc2* desc = s.pb->GetDesc();
    int tables = 0;
    for (int i = 0; i < desc->Count(); ++i) {
        const ParamDef& def = desc->GetParamDefByIndex(i);
        if (!is_tab(def.type) || notParallel.count(def.ID)) continue;
        ++tables;
        EXPECT_EQ(described.count(def.ID), 1u) << "table parameter " << def.ID;
    }
    EXPECT_EQ(static_cast<int>(described.size()), tables);
}

// Each corruption of a parallel structure is reported, naming the parameter.
struct Corruption {
    const char* name;
    void (*apply)(IParamBlock2* pb);
    const char* mentions;
};

void PrintTo(const Corruption& c, std::ostream* os) { *os << c.name; }

class InvariantCheck : public FiveItems, public ::testing::WithParamInterface<Corruption> {};

TEST_P(InvariantCheck, ReportsTheBrokenTable) {
    trellon::AddShape(Obj(), Line(L"S", 1.0f));
    EXPECT_TABLES_PARALLEL();
    GetParam().apply(s.pb);
    const std::string report = Join(ItemTables(s.pb, 0).CheckInvariants());
    EXPECT_NE(report.find(GetParam().mentions), std::string::npos) << report;
}

INSTANTIATE_TEST_SUITE_P(
    Corruptions, InvariantCheck,
    ::testing::Values(
        Corruption{"NameMissing", [](IParamBlock2* pb) { pb->Delete(Item_Names, 2, 1); },
                   "parameter 166"},
        Corruption{"SharedEntryMissing", [](IParamBlock2* pb) { pb->Delete(Item_Mirror2, 0, 1); },
                   "parameter 32"},
        Corruption{"PoolShort", [](IParamBlock2* pb) { pb->Delete(Pool_Y_Rot, 0, 1); },
                   "parameter 108"},
        Corruption{"CloudCountChanged",
                   [](IParamBlock2* pb) { pb->SetValue(Item_Cloud_Count, 0, 5, 0); },
                   "parameter 8"},
        Corruption{"EndCheckMissing", [](IParamBlock2* pb) { pb->ZeroCount(End_Check_1119); },
                   "parameter 160"},
        Corruption{"SweepFlipMissing",
                   [](IParamBlock2* pb) { pb->Delete(Shape_Flip_Object, 0, 1); }, "parameter 128"},
        Corruption{"SequenceGroupGap",
                   [](IParamBlock2* pb) { pb->SetValue(Sequence_Groups, 0, 2, 1); },
                   "has group 2"}),
    [](const ::testing::TestParamInfo<Corruption>& tp) { return std::string(tp.param.name); });

TEST(ItemTablesEmpty, AnObjectWithoutSharedEntriesAndItemsIsConsistent) {
    lifecycle::TrellonScene fresh;
    EXPECT_EQ(ItemTables(fresh.pb, 0).CheckInvariants(), std::vector<std::string>{});
    // Removing from empty tables changes nothing and reports failure.
    ItemTables tables(fresh.pb, 0);
    EXPECT_FALSE(tables.RemoveItem(0));
    EXPECT_FALSE(tables.RemoveSweep(0));
    EXPECT_EQ(tables.RemoveNulledItems(ItemList::Objects), 0);
    EXPECT_EQ(ItemTables(fresh.pb, 0).CheckInvariants(), std::vector<std::string>{});
}

}  // namespace
}  // namespace setup_test
