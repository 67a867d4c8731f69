// The item-table editor: removing items and swept shapes keeps every table parallel, the
// sequence pointing at the same items, and the invariants of the block true.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "lifecycle_scene.h"
#include "object/item_tables.h"
#include "support/param_tables.h"
#include "support/text_files.h"

using namespace trellon;

namespace {

using support::Join;

using lifecycle::TrellonScene;
using trellon::ItemList;
using trellon::ItemTables;
using trellon::TableRole;

#define EXPECT_INVARIANTS(pb)                                                             \
    do {                                                                                  \
        const std::vector<std::string> problems_ = ItemTables((pb), 0).CheckInvariants(); \
        EXPECT_TRUE(problems_.empty()) << Join(problems_);                                \
    } while (false)

// Writes one entry of each per-item table for an item, with values made from its tag so that
// each value tells whose it is: zero-based tables hold the tag (a name holds the node's name),
// shared tables 10 x tag, pool value i of the item's block 1000 x tag + i, cloud points
// (tag, i, 0), End_Check_1119 the tag.
class ItemFixture : public ::testing::Test {
protected:
    void SetUp() override {
        // The "All Objects" and "All Sweeps" entries (tag 0) and their pool block.
        for (const trellon::ItemTable& t : trellon::kItemTables) {
            if (t.role == TableRole::ItemShared || t.role == TableRole::SweepShared ||
                t.role == TableRole::SweepFlip) {
                AppendValue(t.id, 0);
            } else if (t.role == TableRole::ItemPool) {
                AppendPool(t.id, 0);
            }
        }
    }

    INode* AddItem(ItemList list, const wchar_t* name, int tag, int cloud) {
        INode* node = s.AddBox(name, static_cast<float>(tag));
        const ParamID nodes = trellon::kItemNodeLists[static_cast<std::size_t>(list)];
        s.pb->Append(nodes, 1, &node);
        for (const trellon::ItemTable& t : trellon::kItemTables) {
            switch (t.role) {
                case TableRole::ItemZeroBased:
                    if (t.id == Item_Names) {
                        const MCHAR* n = name;
                        s.pb->Append(Item_Names, 1, &n);
                    } else if (t.id == Item_Cloud_Count) {
                        s.pb->Append(Item_Cloud_Count, 1, &cloud);
                    } else {
                        AppendValue(t.id, tag);
                    }
                    break;
                case TableRole::ItemShared:
                    AppendValue(t.id, 10 * tag);
                    break;
                case TableRole::ItemPool:
                    AppendPool(t.id, tag);
                    break;
                case TableRole::ItemCloud:
                    for (int i = 0; i < cloud; ++i) {
                        Point3 p(static_cast<float>(tag), static_cast<float>(i), 0.0f);
                        Point3* pp = &p;
                        s.pb->Append(Cloud_Points, 1, &pp);
                    }
                    break;
                case TableRole::EndZeroBased:
                    if (list == ItemList::Ends) AppendValue(t.id, tag);
                    break;
                default:
                    break;
            }
        }
        return node;
    }

    INode* AddSweep(const wchar_t* name, int tag) {
        INode* node =
            s.AddPath(name, {{Point3(0, 0, 0), Point3(static_cast<float>(tag), 1.0f, 0.0f)}});
        const int k = s.pb->Count(Sweep_Nodes);
        s.pb->Append(Sweep_Nodes, 1, &node);
        for (const trellon::ItemTable& t : trellon::kItemTables) {
            if (t.id == Sweep_Names) {
                const MCHAR* n = name;
                s.pb->Append(Sweep_Names, 1, &n);
            } else if (t.role == TableRole::SweepZeroBased) {
                AppendValue(t.id, tag);
            } else if (t.role == TableRole::SweepFlip) {
                // Read at the shape's own index; the entry after the last shape is the spare.
                s.pb->SetValue(t.id, 0, tag, k);
                AppendValue(t.id, kSpareFlip);
            } else if (t.role == TableRole::SweepShared) {
                AppendValue(t.id, 10 * tag);
            }
        }
        return node;
    }

    void AddRow(int item, int group) {
        s.pb->Append(Sequence_Items, 1, &item);
        s.pb->Append(Sequence_Groups, 1, &group);
    }

    void AppendValue(ParamID id, int v) {
        switch (base_type(s.pb->GetParameterType(id))) {
            case TYPE_INT:
            case TYPE_BOOL:
                s.pb->Append(id, 1, &v);
                break;
            case TYPE_FLOAT: {
                float f = static_cast<float>(v);
                s.pb->Append(id, 1, &f);
                break;
            }
            case TYPE_POINT3: {
                Point3 p(static_cast<float>(v), 0.0f, 0.0f);
                Point3* pp = &p;
                s.pb->Append(id, 1, &pp);
                break;
            }
            default:
                ADD_FAILURE() << "unexpected table type for parameter " << id;
        }
    }

    void AppendPool(ParamID id, int tag) {
        for (int i = 0; i < trellon::kPoolBlock; ++i) {
            if (base_type(s.pb->GetParameterType(id)) == TYPE_INT) {
                int v = (tag + i) % 2;  // the mirror pool holds coin flips
                s.pb->Append(id, 1, &v);
            } else {
                float f = static_cast<float>(1000 * tag + i);
                s.pb->Append(id, 1, &f);
            }
        }
    }

    std::vector<std::wstring> Names(ParamID id) { return support::Names(s.pb, id); }
    std::vector<float> Floats(ParamID id) { return support::Floats(s.pb, id); }
    std::vector<int> Ints(ParamID id) { return support::Ints(s.pb, id); }
    // Each sequence row as (item name or "null", group).
    std::vector<std::pair<std::wstring, int>> Rows() {
        std::vector<std::pair<std::wstring, int>> rows;
        for (int r = 0; r < s.pb->Count(Sequence_Items); ++r) {
            const int k = s.pb->GetInt(Sequence_Items, 0, r);
            rows.emplace_back(k < 0 ? std::wstring(L"null") : s.pb->GetStr(Item_Names, 0, k),
                              s.pb->GetInt(Sequence_Groups, 0, r));
        }
        return rows;
    }

    static constexpr int kSpareFlip = 9;
    TrellonScene s;
};

using RowList = std::vector<std::pair<std::wstring, int>>;

// Three distribution objects A, B, C (tags 1 to 3, 2, 3 and 4 cloud points), a post P (tag 4,
// 1 point) and an end object E (tag 5, 2 points); a sequence of six rows.
class ThreeObjects : public ItemFixture {
protected:
    void SetUp() override {
        ItemFixture::SetUp();
        a = AddItem(ItemList::Objects, L"A", 1, 2);
        b = AddItem(ItemList::Objects, L"B", 2, 3);
        c = AddItem(ItemList::Objects, L"C", 3, 4);
        p = AddItem(ItemList::Posts, L"P", 4, 1);
        e = AddItem(ItemList::Ends, L"E", 5, 2);
        // Groups: {A}, {B, null}, {C, B}, {B}.
        AddRow(0, 0);
        AddRow(1, 1);
        AddRow(-1, 1);
        AddRow(2, 2);
        AddRow(1, 2);
        AddRow(1, 3);
        int slots[3] = {2, 0, 1};
        s.pb->Append(Geo_Array, 3, slots);
        s.pb->SetValue(Object_Solo, 0, 2);
        EXPECT_INVARIANTS(s.pb);
    }
    INode *a = nullptr, *b = nullptr, *c = nullptr, *p = nullptr, *e = nullptr;
};

TEST_F(ThreeObjects, DeletingTheMiddleObjectRemovesExactlyItsEntries) {
    // Item_Random_Trans[0] set on, the staging checkbox off: the deletion copies it across.
    s.pb->SetValue(Item_Random_Trans, 0, 1, 0);
    s.pb->SetValue(Random_Trans, 0, 0);
    const int before = s.Refreshes();
    s.Delete(b);

    EXPECT_INVARIANTS(s.pb);
    EXPECT_EQ(Names(Item_Names), (std::vector<std::wstring>{L"A", L"C", L"P", L"E"}));
    EXPECT_EQ(s.pb->Count(Object_Nodes), 2);
    EXPECT_EQ(s.pb->GetINode(Object_Nodes, 0, 1), c);
    // Zero-based and shared tables keep A, C, P, E in that order (tags 1, 3, 4, 5).
    EXPECT_EQ(Floats(Item_Repeat_Gap), (std::vector<float>{1, 3, 4, 5}));
    EXPECT_EQ(Floats(Item_Spacing), (std::vector<float>{0, 10, 30, 40, 50}));
    EXPECT_EQ(Ints(Item_Unify_Scale), (std::vector<int>{0, 10, 30, 40, 50}));
    EXPECT_EQ(Ints(Item_Cloud_Count), (std::vector<int>{2, 4, 1, 2}));
    // Cloud points: A's two, C's four, P's one, E's two; B's three are gone.
    std::vector<float> owners;
    for (int i = 0; i < s.pb->Count(Cloud_Points); ++i) {
        owners.push_back(s.pb->GetPoint3(Cloud_Points, 0, i).x);
    }
    EXPECT_EQ(owners, (std::vector<float>{1, 1, 3, 3, 3, 3, 4, 5, 5}));
    // Pool blocks: entry 0, A, C, P, E; C's block now starts at 200 and holds 3000 + i.
    ASSERT_EQ(s.pb->Count(Pool_Spacing), 500);
    EXPECT_EQ(s.pb->GetFloat(Pool_Spacing, 0, 100), 1000.0f);
    EXPECT_EQ(s.pb->GetFloat(Pool_Spacing, 0, 200), 3000.0f);
    EXPECT_EQ(s.pb->GetFloat(Pool_Spacing, 0, 299), 3099.0f);
    EXPECT_EQ(s.pb->GetFloat(Pool_Z_Scale, 0, 300), 4000.0f);
    EXPECT_EQ(Ints(End_Check_1119), (std::vector<int>{5}));
    // Rows naming B go; group 3 is left empty, so nothing above it moves; groups stay 0..2.
    EXPECT_EQ(Rows(), (RowList{{L"A", 0}, {L"null", 1}, {L"C", 2}}));
    EXPECT_EQ(s.pb->Count(Geo_Array), 0);
    EXPECT_EQ(s.pb->GetInt(Object_Solo), 0);
    EXPECT_EQ(s.pb->GetInt(Random_Trans), 1);
    // One refresh for the whole edit, none for its steps.
    EXPECT_EQ(s.Refreshes(), before + 1);
}

TEST_F(ThreeObjects, DeletingTheFirstObjectClosesTheGroupNumbers) {
    s.Delete(a);
    EXPECT_INVARIANTS(s.pb);
    // Group 0 ({A}) is gone: 1, 2, 3 become 0, 1, 2; B and C move down one item index.
    EXPECT_EQ(Rows(), (RowList{{L"B", 0}, {L"null", 0}, {L"C", 1}, {L"B", 1}, {L"B", 2}}));
    EXPECT_EQ(s.pb->GetInt(Sequence_Items, 0, 0), 0);
    EXPECT_EQ(s.pb->GetInt(Sequence_Items, 0, 2), 1);
}

// The post goes, then the end object; the objects and the sequence stay.
TEST_F(ThreeObjects, DeletingThePostThenTheEndObjectKeepsTheObjectsAndTheSequence) {
    s.Delete(p);
    EXPECT_INVARIANTS(s.pb);
    EXPECT_EQ(Names(Item_Names), (std::vector<std::wstring>{L"A", L"B", L"C", L"E"}));
    EXPECT_EQ(s.pb->Count(Post_Nodes), 0);
    EXPECT_EQ(Ints(Item_Cloud_Count), (std::vector<int>{2, 3, 4, 2}));
    EXPECT_EQ(Floats(Item_Spacing), (std::vector<float>{0, 10, 20, 30, 50}));
    EXPECT_EQ(Ints(End_Check_1119), (std::vector<int>{5}));
    EXPECT_EQ(Rows(),
              (RowList{{L"A", 0}, {L"B", 1}, {L"null", 1}, {L"C", 2}, {L"B", 2}, {L"B", 3}}));
    s.Delete(e);
    EXPECT_INVARIANTS(s.pb);
    EXPECT_EQ(Names(Item_Names), (std::vector<std::wstring>{L"A", L"B", L"C"}));
    EXPECT_EQ(s.pb->Count(End_Check_1119), 0);
    // The last cloud block (E's two points) goes: A 2 + B 3 + C 4.
    EXPECT_EQ(s.pb->Count(Cloud_Points), 9);
    EXPECT_EQ(s.pb->GetPoint3(Cloud_Points, 0, 8).x, 3.0f);
    EXPECT_EQ(s.pb->Count(Pool_Mirror), 400);
}

TEST_F(ThreeObjects, TwoNodesDeletedWhileNotReadyAreRemovedWithoutRebuilding) {
    s.object->Ready = 0;
    const int before = s.Refreshes();
    s.Delete(c);
    s.Delete(a);
    EXPECT_INVARIANTS(s.pb);
    EXPECT_EQ(Names(Item_Names), (std::vector<std::wstring>{L"B", L"P", L"E"}));
    EXPECT_EQ(Rows(), (RowList{{L"B", 0}, {L"null", 0}, {L"B", 1}, {L"B", 2}}));
    EXPECT_EQ(s.Refreshes(), before);
    EXPECT_EQ(s.object->Ready, 0);
}

class Sweeps : public ItemFixture {
protected:
    void SetUp() override {
        ItemFixture::SetUp();
        s0 = AddSweep(L"S0", 1);
        s1 = AddSweep(L"S1", 2);
        s2 = AddSweep(L"S2", 3);
        s.pb->SetValue(Sweep_Solo, 0, 3);
        EXPECT_INVARIANTS(s.pb);
    }
    INode *s0 = nullptr, *s1 = nullptr, *s2 = nullptr;
};

TEST_F(Sweeps, DeletingAShapeRemovesItFromEverySweepTable) {
    s.Delete(s1);
    EXPECT_INVARIANTS(s.pb);
    EXPECT_EQ(Names(Sweep_Names), (std::vector<std::wstring>{L"S0", L"S2"}));
    EXPECT_EQ(s.pb->GetINode(Sweep_Nodes, 0, 1), s2);
    EXPECT_EQ(Ints(Shape_Steps), (std::vector<int>{1, 3}));
    // Shared at k + 1; the flip tables at k, their unused spare entry last.
    EXPECT_EQ(Floats(Sweep_Side_Offset), (std::vector<float>{0, 10, 30}));
    EXPECT_EQ(Floats(Sweep_End_Trim), (std::vector<float>{0, 10, 30}));
    EXPECT_EQ(Ints(Shape_Flip_Normals), (std::vector<int>{1, 3, 9}));
    EXPECT_EQ(s.pb->GetInt(Sweep_Solo), 0);
}

TEST_F(ItemFixture, PickedNodesLoseTheirDeletedEntries) {
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
    TrellonScene s;
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

class InvariantCheck : public ItemFixture, public ::testing::WithParamInterface<Corruption> {};

TEST_P(InvariantCheck, ReportsTheBrokenTable) {
    AddItem(ItemList::Objects, L"A", 1, 2);
    AddItem(ItemList::Objects, L"B", 2, 1);
    AddItem(ItemList::Ends, L"E", 3, 1);
    AddSweep(L"S", 1);
    AddRow(0, 0);
    AddRow(1, 1);
    EXPECT_INVARIANTS(s.pb);
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
    TrellonScene fresh;
    EXPECT_INVARIANTS(fresh.pb);
    // Removing from empty tables changes nothing and reports failure.
    ItemTables tables(fresh.pb, 0);
    EXPECT_FALSE(tables.RemoveItem(0));
    EXPECT_FALSE(tables.RemoveSweep(0));
    EXPECT_EQ(tables.RemoveNulledItems(ItemList::Objects), 0);
    EXPECT_INVARIANTS(fresh.pb);
}

// Random deletions, by node deletion and by index, checked against a model of the names and
// the sequence after every step.
TEST_F(ItemFixture, RandomDeletionsKeepTheTablesParallel) {
    std::mt19937 random(20240611u);
    std::vector<std::wstring> names;
    std::vector<INode*> nodes;
    const wchar_t* labels[] = {L"O0", L"O1", L"O2", L"O3", L"O4",
                               L"O5", L"P0", L"P1", L"E0", L"E1"};
    for (int i = 0; i < 10; ++i) {
        const ItemList list = i < 6 ? ItemList::Objects : i < 8 ? ItemList::Posts : ItemList::Ends;
        nodes.push_back(AddItem(list, labels[i], i + 1, 1 + i % 4));
        names.emplace_back(labels[i]);
    }
    // Model rows: item name (empty for a null row) and group, groups in row order.
    std::vector<std::pair<std::wstring, int>> model;
    int group = 0;
    for (int r = 0; r < 14; ++r) {
        const int k = static_cast<int>(random() % 7) - 1;  // -1 .. 5: objects or null rows
        if (r > 0 && random() % 3 != 0) ++group;
        AddRow(k, group);
        model.emplace_back(k < 0 ? L"null" : names[static_cast<std::size_t>(k)], group);
    }
    EXPECT_INVARIANTS(s.pb);

    while (!names.empty()) {
        const auto victim = static_cast<std::size_t>(random() % names.size());
        const std::wstring name = names[victim];
        if (random() % 2 == 0) {
            s.Delete(nodes[victim]);
        } else {
            ASSERT_TRUE(ItemTables(s.pb, 0).RemoveItem(static_cast<int>(victim)));
        }
        names.erase(names.begin() + static_cast<std::ptrdiff_t>(victim));
        nodes.erase(nodes.begin() + static_cast<std::ptrdiff_t>(victim));
        // The model: rows of the victim go, then the groups left in use are numbered anew.
        model.erase(std::remove_if(model.begin(), model.end(),
                                   [&](const auto& row) { return row.first == name; }),
                    model.end());
        std::set<int> used;
        for (const auto& row : model) used.insert(row.second);
        for (auto& row : model) {
            row.second = static_cast<int>(std::distance(used.begin(), used.find(row.second)));
        }
        SCOPED_TRACE(testing::Message() << "after removing item " << victim);
        EXPECT_INVARIANTS(s.pb);
        EXPECT_EQ(Names(Item_Names), names);
        EXPECT_EQ(Rows(), model);
    }
    EXPECT_EQ(s.pb->Count(Cloud_Points), 0);
    EXPECT_EQ(s.pb->Count(Pool_Spacing), 100);
}

}  // namespace
