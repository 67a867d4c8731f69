// A copy's random values: the low/high interpolation by a pool value, the pool indices of the
// counters, the per-axis scale with both unify switches, the mirror choice, and the combination
// of the "All Objects" entry with an item's entry.
#include "distribute/random_values.h"

#include <gtest/gtest.h>

#include <array>

#include "object/lifecycle_scene.h"
#include "object/item_tables.h"

namespace {

using namespace trellon;

struct ValueCase {
    float low, high;
    bool on;
    float pool, expected;
};

class CopyValueTable : public ::testing::TestWithParam<ValueCase> {};

TEST_P(CopyValueTable, Interpolates) {
    const ValueCase c = GetParam();
    EXPECT_FLOAT_EQ(CopyValue(c.low, c.high, c.on, c.pool), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CopyValueTable,
    ::testing::Values(ValueCase{0, 100, true, 37.5f, 37.5f},    // 0 + 100 / 100 * 37.5
                      ValueCase{100, 0, true, 37.5f, 62.5f},    // 100 - 100 / 100 * 37.5
                      ValueCase{100, 0, false, 37.5f, 100.0f},  // off: the low value
                      ValueCase{-5, 5, false, 99.9f, -5.0f},    // off, whatever the pool
                      ValueCase{10, 30, true, 0.0f, 10.0f},     // pool 0: the low value
                      ValueCase{10, 30, true, 50.0f, 20.0f},    // halfway between 10 and 30
                      ValueCase{7, 7, true, 83.0f, 7.0f}));     // equal bounds: no spread

TEST(CopyAngle, DegreesToRadians) {
    // 0 .. 180 degrees at pool 50: 90 degrees = 90 * 0.017453292.
    EXPECT_FLOAT_EQ(CopyAngle(0.0f, 180.0f, true, 50.0f), 1.57079628f);
    EXPECT_FLOAT_EQ(CopyAngle(45.0f, 180.0f, false, 50.0f), 45.0f * 0.017453292f);
}

TEST(PoolIndex, CountersWrapAfterOneHundredCopies) {
    EXPECT_EQ(GlobalPoolIndex(0), 0);
    EXPECT_EQ(GlobalPoolIndex(99), 99);
    EXPECT_EQ(GlobalPoolIndex(100), 0);
    // Item 0 starts after the "All Objects" block, item 2 at 300.
    EXPECT_EQ(ItemPoolIndex(0, 0), 100);
    EXPECT_EQ(ItemPoolIndex(2, 7), 307);
    // The 101st copy (counter 100) reads what the 1st (counter 0) read.
    EXPECT_EQ(ItemPoolIndex(2, 100), ItemPoolIndex(2, 0));
    EXPECT_EQ(ItemPoolIndex(2, -1), 399);
    EXPECT_EQ(ItemPoolIndex(-1, 0), -1);
}

TEST(AxisScale, PercentOffsetsAdd) {
    EXPECT_FLOAT_EQ(AxisScale(120.0f, 100.0f), 1.2f);  // 1.2 + 0
    EXPECT_FLOAT_EQ(AxisScale(100.0f, 150.0f), 1.5f);  // 1 + 0.5
    EXPECT_FLOAT_EQ(AxisScale(50.0f, 50.0f), 0.0f);    // 0.5 - 0.5
    EXPECT_FLOAT_EQ(AxisScale(100.0f, 100.0f), 1.0f);
}

struct UnifyCase {
    bool globalUnify, itemUnify;
    std::array<float, 3> expected;
};

class ScaleUnify : public ::testing::TestWithParam<UnifyCase> {};

// Global (110, 120, 130) %, item (150, 80, 90) %.
TEST_P(ScaleUnify, PerAxis) {
    const UnifyCase c = GetParam();
    const std::array<float, 3> s =
        ScaleFactors({110.0f, 120.0f, 130.0f}, c.globalUnify, {150.0f, 80.0f, 90.0f}, c.itemUnify);
    for (std::size_t a = 0; a < 3; ++a) EXPECT_NEAR(s[a], c.expected[a], 1e-6f) << a;
}

INSTANTIATE_TEST_SUITE_P(Switches, ScaleUnify,
                         ::testing::Values(
                             // Neither: 1.1 + 0.5, 1.2 - 0.2, 1.3 - 0.1.
                             UnifyCase{false, false, {1.6f, 1.0f, 1.2f}},
                             // Global: its X (1.1) on all axes; item per axis.
                             UnifyCase{true, false, {1.6f, 0.9f, 1.0f}},
                             // Item: its X (+0.5) on all axes; global per axis.
                             UnifyCase{false, true, {1.6f, 1.7f, 1.8f}},
                             // Both: 1.1 + 0.5 everywhere.
                             UnifyCase{true, true, {1.6f, 1.6f, 1.6f}}));

TEST(MirrorAngle, CoinChoosesTheAngle) {
    EXPECT_FLOAT_EQ(MirrorAngle(true, 180.0f, 90.0f, 0), 180.0f * kDegToRad);
    EXPECT_FLOAT_EQ(MirrorAngle(true, 180.0f, 90.0f, 1), 90.0f * kDegToRad);
    EXPECT_FLOAT_EQ(MirrorAngle(false, 180.0f, 90.0f, 0), 0.0f);
}

TEST(CombineCopyValues, GlobalAndItemAdd) {
    EntryRandomSettings global;
    global.randomOn = true;
    global.unifyScale = true;
    global.sideOffset = {0.0f, 10.0f};
    global.zRot = {0.0f, 90.0f};
    global.xScale = {100.0f, 140.0f};
    global.mirrorOn = true;
    global.mirror = 180.0f;
    EntryRandomSettings item;
    item.randomOn = false;  // the pools do not matter to the item
    item.unifyScale = false;
    item.sideOffset = {2.0f, 50.0f};
    item.height = {3.0f, 9.0f};
    item.zRot = {30.0f, 60.0f};
    item.xScale = {100.0f, 0.0f};
    item.yScale = {150.0f, 0.0f};
    item.zScale = {50.0f, 0.0f};
    item.mirrorOn = true;
    item.mirror = 45.0f;
    item.mirror2 = 90.0f;

    CopyPoolValues globalPool;
    globalPool.sideOffset = 25.0f;  // 2.5
    globalPool.zRot = 50.0f;        // 45 degrees
    globalPool.xScale = 50.0f;      // 120 %
    globalPool.mirror = 0;          // 180 degrees
    CopyPoolValues itemPool;
    itemPool.sideOffset = 99.0f;
    itemPool.mirror = 1;  // 90 degrees

    const CopyValues c = CombineCopyValues(global, globalPool, item, itemPool);
    EXPECT_FLOAT_EQ(c.sideOffset, 4.5f);         // 2.5 + 2
    EXPECT_FLOAT_EQ(c.height, 3.0f);             // 0 + 3
    EXPECT_FLOAT_EQ(c.zRot, 75.0f * kDegToRad);  // 45 + 30 degrees
    EXPECT_FLOAT_EQ(c.xRot, 0.0f);
    EXPECT_FLOAT_EQ(c.scale[0], 1.2f);                   // 1.2 + 0
    EXPECT_FLOAT_EQ(c.scale[1], 1.7f);                   // 1.2 + 0.5
    EXPECT_FLOAT_EQ(c.scale[2], 0.7f);                   // 1.2 - 0.5
    EXPECT_FLOAT_EQ(c.mirrorAngle, 270.0f * kDegToRad);  // 180 + 90 degrees
}

TEST(CombineCopyValues, SwitchOffGivesLowValuesWhateverThePools) {
    EntryRandomSettings global;  // defaults: off, scales 100
    EntryRandomSettings item;
    item.xRot = {10.0f, 80.0f};
    item.xScale = {130.0f, 10.0f};
    CopyPoolValues pool;
    pool.xRot = 73.0f;
    pool.xScale = 12.0f;
    const CopyValues c = CombineCopyValues(global, pool, item, pool);
    EXPECT_FLOAT_EQ(c.xRot, 10.0f * kDegToRad);
    // Item unify is on by default: 1 + 0.3 on all axes.
    EXPECT_FLOAT_EQ(c.scale[2], 1.3f);
    EXPECT_FLOAT_EQ(SpacingValue(item, 99.0f), 100.0f);
}

TEST(ReadEntryRandomSettings, ReadsTheSharedEntry) {
    lifecycle::TrellonScene s;
    Trellon::ReadyHold hold(*s.object);
    IParamBlock2& pb = *s.pb;
    EXPECT_FALSE(ReadEntryRandomSettings(pb, 0, 0).has_value());  // no entries yet
    ItemTables(s.pb, 0).AppendSharedEntries();
    pb.SetValue(Item_Z_Rot_Random, 0, 33.0f, 0);
    pb.SetValue(Item_Random_Trans, 0, 1, 0);
    const std::optional<EntryRandomSettings> e = ReadEntryRandomSettings(pb, 0, 0);
    ASSERT_TRUE(e.has_value());
    EXPECT_TRUE(e->randomOn);
    EXPECT_TRUE(e->unifyScale);
    EXPECT_FALSE(e->mirrorOn);
    EXPECT_FLOAT_EQ(e->zRot.high, 33.0f);
    EXPECT_FLOAT_EQ(e->xScale.low, 100.0f);
    EXPECT_FLOAT_EQ(e->spacing.high, 100.0f);
    EXPECT_FALSE(ReadEntryRandomSettings(pb, 0, 1).has_value());
    EXPECT_FALSE(ReadEntryRandomSettings(pb, 0, -1).has_value());

    // The pools at index 0, once drawn; index 100 does not exist without items.
    EXPECT_FALSE(ReadCopyPoolValues(pb, 0, 0).has_value());
    Random generator;
    generator.srand(1);
    ItemTables(s.pb, 0).RegenerateTransformPools(0, generator);
    EXPECT_FALSE(ReadCopyPoolValues(pb, 0, 0).has_value());  // no mirror pool yet
    ItemTables(s.pb, 0).RegenerateMirrorPool(0, generator);
    const std::optional<CopyPoolValues> p = ReadCopyPoolValues(pb, 0, 0);
    ASSERT_TRUE(p.has_value());
    EXPECT_FLOAT_EQ(p->spacing, 0.1251220703125f);  // 41 / 32768 * 100
    EXPECT_FLOAT_EQ(p->zScale, 74.658203125f);      // 24464 / 32768 * 100
    EXPECT_FALSE(ReadCopyPoolValues(pb, 0, 100).has_value());
}

}  // namespace
