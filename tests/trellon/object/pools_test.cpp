// The random pools: a full refill draws (objects + 1) * 100 rounds in the fixed pool order, a
// row or item request redraws only its item's block, and the tables stay parallel throughout.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "lifecycle_scene.h"
#include "object/item_tables.h"
#include "random.h"
#include "support/text_files.h"

namespace {

using support::Join;

using lifecycle::TrellonScene;
using trellon::ItemTables;
using trellon::kPoolBlock;
using trellon::kTransformPools;
using trellon::TableRole;

// Every pool's values, float pools first in kTransformPools order, then Pool_Mirror.
struct PoolSnapshot {
    std::vector<std::vector<float>> floats;
    std::vector<int> mirror;
};

class PoolsFixture : public ::testing::Test {
protected:
    void SetUp() override { ItemTables(s.pb, 0).AppendSharedEntries(); }

    // An item with an entry in every item table (shared tables after "All Objects"), appended
    // to the given node list: items are added in list order, so the tables stay parallel.
    void AddObject(const wchar_t* name, ParamID list = Object_Nodes) {
        INode* node = s.AddBox(name, 1.0f);
        s.pb->Append(list, 1, &node);
        if (list == End_Nodes) {
            int check = 0;
            s.pb->Append(End_Check_1119, 1, &check);
        }
        for (const trellon::ItemTable& t : trellon::kItemTables) {
            if (t.role != TableRole::ItemZeroBased && t.role != TableRole::ItemShared) continue;
            if (t.id == Item_Names) {
                const MCHAR* n = name;
                s.pb->Append(Item_Names, 1, &n);
                continue;
            }
            switch (base_type(s.pb->GetParameterType(t.id))) {
                case TYPE_FLOAT: {
                    float f = 0.0f;
                    s.pb->Append(t.id, 1, &f);
                    break;
                }
                case TYPE_POINT3: {
                    Point3 p(0.0f, 0.0f, 0.0f);
                    Point3* pp = &p;
                    s.pb->Append(t.id, 1, &pp);
                    break;
                }
                default: {
                    int v = 0;
                    s.pb->Append(t.id, 1, &v);
                }
            }
        }
    }

    void AddRow(int item, int group) {
        s.pb->Append(Sequence_Items, 1, &item);
        s.pb->Append(Sequence_Groups, 1, &group);
    }

    PoolSnapshot Snapshot() const {
        PoolSnapshot p;
        for (ParamID id : kTransformPools) {
            std::vector<float> values;
            for (int i = 0; i < s.pb->Count(id); ++i) values.push_back(s.pb->GetFloat(id, 0, i));
            p.floats.push_back(values);
        }
        for (int i = 0; i < s.pb->Count(Pool_Mirror); ++i)
            p.mirror.push_back(s.pb->GetInt(Pool_Mirror, 0, i));
        return p;
    }

    void ExpectInvariants() {
        const std::vector<std::string> problems = ItemTables(s.pb, 0).CheckInvariants();
        EXPECT_TRUE(problems.empty()) << Join(problems);
    }

    // Regenerates both kinds of pools for request r.
    void RegenerateAll(int r) {
        ItemTables tables(s.pb, 0);
        tables.RegenerateTransformPools(r, generator);
        tables.RegenerateMirrorPool(r, generator);
    }

    TrellonScene s;
    Trellon::ReadyHold hold{*s.object};
    Random generator;
};

TEST_F(PoolsFixture, FirstValuesOfSeedOneFollowTheRoundOrder) {
    // srand(1) draws 41, 18467, 6334, 26500, 19169, 15724, 11478, 29358, 26962, 24464, 5705;
    // each value is v / 32768 * 100 (exact in floats), one per pool per round.
    generator.srand(1);
    ASSERT_TRUE(ItemTables(s.pb, 0).RegenerateTransformPools(0, generator));
    const float firstRound[10] = {
        0.1251220703125f, 56.3568115234375f, 19.329833984375f, 80.87158203125f,  58.4991455078125f,
        47.98583984375f,  35.028076171875f,  89.593505859375f, 82.281494140625f, 74.658203125f};
    for (std::size_t p = 0; p < kTransformPools.size(); ++p) {
        EXPECT_FLOAT_EQ(s.pb->GetFloat(kTransformPools[p], 0, 0), firstRound[p]) << p;
    }
    // The second round starts with 5705 in Pool_Spacing.
    EXPECT_FLOAT_EQ(s.pb->GetFloat(Pool_Spacing, 0, 1), 17.4102783203125f);

    // The mirror pool alone: 41, 18467, 6334, 26500, 19169 modulo 2.
    generator.srand(1);
    ASSERT_TRUE(ItemTables(s.pb, 0).RegenerateMirrorPool(0, generator));
    const int coins[5] = {1, 1, 0, 0, 1};
    for (int i = 0; i < 5; ++i) EXPECT_EQ(s.pb->GetInt(Pool_Mirror, 0, i), coins[i]) << i;
}

TEST_F(PoolsFixture, FullRefillHoldsOneBlockPerSlotInRange) {
    AddObject(L"A");
    AddObject(L"B");
    generator.srand(7);
    RegenerateAll(0);
    // Two objects: slots 0, 1, 2, 300 values per pool.
    const PoolSnapshot p = Snapshot();
    for (const std::vector<float>& pool : p.floats) {
        ASSERT_EQ(pool.size(), 3u * kPoolBlock);
        for (float v : pool) {
            EXPECT_GE(v, 0.0f);
            EXPECT_LT(v, 100.0f);
        }
    }
    ASSERT_EQ(p.mirror.size(), 3u * kPoolBlock);
    for (int c : p.mirror) EXPECT_TRUE(c == 0 || c == 1);
    ExpectInvariants();

    // A third object and r = 0 again: everything redrawn, 400 values.
    AddObject(L"C");
    RegenerateAll(0);
    EXPECT_EQ(s.pb->Count(Pool_Z_Scale), 4 * kPoolBlock);
    EXPECT_EQ(s.pb->Count(Pool_Mirror), 4 * kPoolBlock);
    ExpectInvariants();
}

TEST_F(PoolsFixture, FullRefillCoversPostsAndEndObjects) {
    // One object, one post, one end object: four shared entries, so four blocks per pool; the
    // post reads its values at item index 1 (pool indices 200..299), the end object at 300..399.
    AddObject(L"Picket");
    AddObject(L"Post", Post_Nodes);
    AddObject(L"Cap", End_Nodes);
    RegenerateAll(0);
    for (ParamID id : kTransformPools) EXPECT_EQ(s.pb->Count(id), 4 * kPoolBlock) << id;
    EXPECT_EQ(s.pb->Count(Pool_Mirror), 4 * kPoolBlock);
    ExpectInvariants();
}

TEST_F(PoolsFixture, EmptyPoolsAreFilledWhateverTheRequest) {
    AddObject(L"A");
    AddObject(L"B");
    EXPECT_TRUE(ItemTables(s.pb, 0).RegenerateTransformPools(2, generator));
    EXPECT_EQ(s.pb->Count(Pool_Spacing), 3 * kPoolBlock);
    EXPECT_TRUE(ItemTables(s.pb, 0).RegenerateMirrorPool(2, generator));
    EXPECT_EQ(s.pb->Count(Pool_Mirror), 3 * kPoolBlock);
    ExpectInvariants();
}

// Rows (item, group): (2, 0), (none, 0), (0, 1); three objects.
class RowRegeneration : public PoolsFixture, public ::testing::WithParamInterface<int> {
protected:
    void SetUp() override {
        PoolsFixture::SetUp();
        for (const wchar_t* n : {L"A", L"B", L"C"}) AddObject(n);
        AddRow(2, 0);
        AddRow(-1, 0);
        AddRow(0, 1);
        s.pb->SetValue(Geo_Pattern, 0, GetParam());
        generator.srand(99);
        RegenerateAll(0);
    }

    // Every value outside block `slot` is as before; inside it, float values are those the
    // generator's copy draws round by round, and every coin is 0 or 1.
    void ExpectOnlyBlockRedrawn(const PoolSnapshot& before, int slot, Random expected) {
        const PoolSnapshot after = Snapshot();
        ASSERT_EQ(after.floats.size(), before.floats.size());
        for (std::size_t p = 0; p < after.floats.size(); ++p) {
            ASSERT_EQ(after.floats[p].size(), before.floats[p].size());
        }
        int changed = 0;
        for (int i = 0; i < 4 * kPoolBlock; ++i) {
            const bool inBlock = i / kPoolBlock == slot;
            const auto at = static_cast<std::size_t>(i);
            for (std::size_t p = 0; p < after.floats.size(); ++p) {
                if (!inBlock) {
                    EXPECT_EQ(after.floats[p][at], before.floats[p][at]) << p << " " << i;
                } else {
                    const float v = static_cast<float>(expected.rand()) / 32768.0f * 100.0f;
                    EXPECT_EQ(after.floats[p][at], v) << p << " " << i;
                    changed += after.floats[p][at] != before.floats[p][at];
                }
            }
        }
        // 1000 fresh draws in [0, 100): hardly any repeats the value it replaces.
        EXPECT_GT(changed, 990);
    }
};

TEST_P(RowRegeneration, RowRedrawsOnlyItsItemsBlock) {
    const PoolSnapshot before = Snapshot();
    const Random copy = generator;
    // Row 1 holds item 2: slot 3, values 300 .. 399.
    ASSERT_TRUE(ItemTables(s.pb, 0).RegenerateTransformPools(1, generator));
    ExpectOnlyBlockRedrawn(before, 3, copy);
    EXPECT_EQ(Snapshot().mirror, before.mirror);
    ExpectInvariants();
}

TEST_P(RowRegeneration, MirrorRowRedrawsOnlyItsItemsBlock) {
    const PoolSnapshot before = Snapshot();
    Random expected = generator;
    // Row 3 holds item 0: slot 1, values 100 .. 199.
    ASSERT_TRUE(ItemTables(s.pb, 0).RegenerateMirrorPool(3, generator));
    const PoolSnapshot after = Snapshot();
    EXPECT_EQ(after.floats, before.floats);
    for (int i = 0; i < 4 * kPoolBlock; ++i) {
        const auto at = static_cast<std::size_t>(i);
        if (i / kPoolBlock == 1) {
            EXPECT_EQ(after.mirror[at], expected.rand() % 2) << i;
        } else {
            EXPECT_EQ(after.mirror[at], before.mirror[at]) << i;
        }
    }
    ExpectInvariants();
}

TEST_P(RowRegeneration, RowWithoutItemRedrawsNothing) {
    const PoolSnapshot before = Snapshot();
    EXPECT_FALSE(ItemTables(s.pb, 0).RegenerateTransformPools(2, generator));
    EXPECT_FALSE(ItemTables(s.pb, 0).RegenerateMirrorPool(2, generator));
    const PoolSnapshot after = Snapshot();
    EXPECT_EQ(after.floats, before.floats);
    EXPECT_EQ(after.mirror, before.mirror);
}

INSTANTIATE_TEST_SUITE_P(Patterns, RowRegeneration, ::testing::Values(0));

}  // namespace
