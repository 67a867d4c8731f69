// The random pools: a full refill draws one block of 100 rounds per item and one for "All
// Objects" in the fixed pool order, a row request redraws only its item's block, and the tables
// stay parallel throughout.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

#include "distribute/placement_fixture.h"
#include "support/param_tables.h"
#include "support/text_files.h"

using namespace trellon;

namespace {

// srand(1) draws 41, 18467, 6334, 26500, 19169, 15724, 11478, 29358, 26962, 24464, 5705; each
// value is v / 32768 * 100 (exact in floats), one per pool per round, so the first round holds:
const float kFirstRound[10] = {
    0.1251220703125f, 56.3568115234375f, 19.329833984375f, 80.87158203125f,  58.4991455078125f,
    47.98583984375f,  35.028076171875f,  89.593505859375f, 82.281494140625f, 74.658203125f};
// The mirror pool alone: the first five draws modulo 2.
const int kFirstCoins[5] = {1, 1, 0, 0, 1};

class PoolsFixture : public placement_test::PlacementScene {
protected:
    ItemTables Tables() { return ItemTables(s.pb, 0); }
    void RegenerateAll(int r) {
        Tables().RegenerateTransformPools(r, generator);
        Tables().RegenerateMirrorPool(r, generator);
    }
    // Every pool's values, the float pools in kTransformPools order, then Pool_Mirror.
    std::vector<std::vector<float>> Snapshot() {
        std::vector<std::vector<float>> pools;
        for (ParamID id : kTransformPools) {
            pools.emplace_back();
            for (int i = 0; i < s.pb->Count(id); ++i)
                pools.back().push_back(s.pb->GetFloat(id, 0, i));
        }
        pools.emplace_back();
        for (int i = 0; i < s.pb->Count(Pool_Mirror); ++i)
            pools.back().push_back(float(s.pb->GetInt(Pool_Mirror, 0, i)));
        return pools;
    }
    // The blocks of 100 in which pool p differs between two snapshots.
    static std::set<int> Changed(const std::vector<std::vector<float>>& a,
                                 const std::vector<std::vector<float>>& b, std::size_t p) {
        std::set<int> blocks;
        EXPECT_EQ(a[p].size(), b[p].size());
        for (std::size_t i = 0; i < std::min(a[p].size(), b[p].size()); ++i)
            if (a[p][i] != b[p][i]) blocks.insert(int(i) / kPoolBlock);
        return blocks;
    }
    void ExpectInvariants() {
        const std::vector<std::string> problems = Tables().CheckInvariants();
        EXPECT_TRUE(problems.empty()) << support::Join(problems);
    }

    Random generator;
};

TEST_F(PoolsFixture, FirstValuesOfSeedOneFollowTheRoundOrder) {
    generator.srand(1);
    ASSERT_TRUE(Tables().RegenerateTransformPools(0, generator));
    for (std::size_t p = 0; p < kTransformPools.size(); ++p)
        EXPECT_FLOAT_EQ(s.pb->GetFloat(kTransformPools[p], 0, 0), kFirstRound[p]) << p;
    // The second round starts with 5705 in Pool_Spacing.
    EXPECT_FLOAT_EQ(s.pb->GetFloat(Pool_Spacing, 0, 1), 17.4102783203125f);
    generator.srand(1);
    ASSERT_TRUE(Tables().RegenerateMirrorPool(0, generator));
    for (int i = 0; i < 5; ++i) EXPECT_EQ(s.pb->GetInt(Pool_Mirror, 0, i), kFirstCoins[i]) << i;
}

// Empty pools are filled whatever the request names; a refill holds one block per item (posts
// and end objects too) and one for "All Objects". (The values: the seed-one test above.)
TEST_F(PoolsFixture, ARefillHoldsOneBlockPerItemAndOneForAllObjects) {
    AddItem();
    AddItem(Post_Nodes);
    generator.srand(7);
    RegenerateAll(2);
    EXPECT_EQ(s.pb->Count(Pool_Spacing), 3 * kPoolBlock);
    EXPECT_EQ(s.pb->Count(Pool_Mirror), 3 * kPoolBlock);
    AddItem(End_Nodes);
    RegenerateAll(0);
    for (const std::vector<float>& pool : Snapshot()) EXPECT_EQ(pool.size(), 4u * kPoolBlock);
    ExpectInvariants();
}

// Three objects in Geo_Pattern 0 with the rows (item, group) (2, 0), (null, 0), (0, 1). Request
// r names row r - 1: request 1 is item 2's block (slot 3, values 300 .. 399), request 3 item 0's
// (slot 1), request 2 the null row, which redraws nothing. A redrawn block takes the rounds in
// the order a full refill draws them.
TEST_F(PoolsFixture, ARowRequestRedrawsOnlyItsItemsBlock) {
    for (int k = 0; k < 3; ++k) AddItem();
    support::SetInts(s.pb, Sequence_Items, {2, -1, 0});
    support::SetInts(s.pb, Sequence_Groups, {0, 0, 1});
    s.pb->SetValue(Geo_Pattern, 0, 0);
    generator.srand(99);
    RegenerateAll(0);
    const auto start = Snapshot();

    generator.srand(1);
    ASSERT_TRUE(Tables().RegenerateTransformPools(1, generator));
    const auto afterRow1 = Snapshot();
    for (std::size_t p = 0; p < kTransformPools.size(); ++p) {
        EXPECT_EQ(Changed(start, afterRow1, p), std::set<int>{3}) << p;
        EXPECT_FLOAT_EQ(afterRow1[p][300], kFirstRound[p]) << p;
    }
    EXPECT_TRUE(Changed(start, afterRow1, kTransformPools.size()).empty());

    generator.srand(1);
    ASSERT_TRUE(Tables().RegenerateMirrorPool(3, generator));
    const auto afterRow3 = Snapshot();
    for (std::size_t p = 0; p < kTransformPools.size(); ++p)
        EXPECT_TRUE(Changed(afterRow1, afterRow3, p).empty()) << p;
    EXPECT_EQ(Changed(afterRow1, afterRow3, kTransformPools.size()), std::set<int>{1});
    for (int i = 0; i < 5; ++i) EXPECT_EQ(s.pb->GetInt(Pool_Mirror, 0, 100 + i), kFirstCoins[i]);

    EXPECT_FALSE(Tables().RegenerateTransformPools(2, generator));
    EXPECT_FALSE(Tables().RegenerateMirrorPool(2, generator));
    EXPECT_EQ(Snapshot(), afterRow3);
    ExpectInvariants();
}

}  // namespace
