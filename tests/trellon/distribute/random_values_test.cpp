// A copy's random values: the per-axis scale with both unify switches, and the combination of
// the "All Objects" entry with an item's entry (low + (high - low) / 100 x pool value, angles in
// radians, scales as percent offsets, the mirror angle by the coin).
#include "distribute/random_values.h"

#include <gtest/gtest.h>

#include <array>

#include "object/item_tables.h"
#include "object/lifecycle_scene.h"

namespace {

using namespace trellon;

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
                             // Item: its X (+0.5) on all axes; global per axis.
                             UnifyCase{false, true, {1.6f, 1.7f, 1.8f}},
                             // Both: 1.1 + 0.5 everywhere.
                             UnifyCase{true, true, {1.6f, 1.6f, 1.6f}}));

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

}  // namespace
