// Where copies stand along one working path: slots, spacings, posts and the items between them,
// worked out by hand for paths of round lengths.
#include "distribute/copy_layout.h"

#include <gtest/gtest.h>

#include <vector>

using namespace trellon;

namespace {

void ExpectNear(const std::vector<float>& got, const std::vector<float>& want, float tol = 1e-3f) {
    ASSERT_EQ(got.size(), want.size());
    for (std::size_t i = 0; i < got.size(); ++i) EXPECT_NEAR(got[i], want[i], tol) << "at " << i;
}

struct SlotCase {
    float L, s0, s1, spacing;
    std::vector<float> distances;  // u * L of every slot
};

class SequenceSlots : public ::testing::TestWithParam<SlotCase> {};

TEST_P(SequenceSlots, SpreadEvenlyBetweenTheOffsets) {
    const SlotCase& c = GetParam();
    const int n = SlotCount(c.L, c.s0, c.s1, c.spacing);
    std::vector<float> at;
    for (int i = 0; i < n; ++i) at.push_back(SequenceSlotParam(i, n, c.L, c.s0, c.s1) * c.L);
    ExpectNear(at, c.distances);
}

INSTANTIATE_TEST_SUITE_P(Table, SequenceSlots,
                         ::testing::Values(
                             // (Without offsets: the placement walk's sequence tests.)
                             // int((100 - 30) / 10) = 7 slots from 10 to 80, 70/6 apart.
                             SlotCase{
                                 100, 10, 20, 10, {10, 21.667f, 33.333f, 45, 56.667f, 68.333f, 80}},
                             // One slot stands at the start offset.
                             SlotCase{15, 3, 0, 10, {3}},
                             // No room, no spacing, no path: no slots.
                             SlotCase{100, 60, 50, 10, {}}, SlotCase{100, 0, 0, 0, {}},
                             SlotCase{0, 0, 0, 10, {}}, SlotCase{100, 0, 0, -5, {}}));

// Along several paths one after the other: each path's slots, summed, at most kMaxSlots.
TEST(SlotsAlongPaths, SumEachPathsSlotsUpToTheCap) {
    EXPECT_EQ(SlotsAlongPaths(std::vector<float>{100.5f}, 10.0f), 10);
    // int(3.5) + int(2.5) = 5
    EXPECT_EQ(SlotsAlongPaths(std::vector<float>{35.0f, 25.0f}, 10.0f), 5);
    EXPECT_EQ(SlotsAlongPaths(std::vector<float>{100.0f}, 0.0f), 0);
    EXPECT_EQ(SlotsAlongPaths(std::vector<float>{}, 10.0f), 0);
    // 1e6 / 1e-3 = 1e9 slots are cut to the cap, on one path and in all.
    EXPECT_EQ(SlotCount(1.0e6f, 0.0f, 0.0f, 1.0e-3f), trellon::kMaxSlots);
    EXPECT_EQ(SlotsAlongPaths(std::vector<float>{1.0e6f, 1.0e6f}, 1.0e-3f), trellon::kMaxSlots);
}

struct SpacingCase {
    float L, s0, s1, spacing;
    bool closed;
    std::vector<float> distances;
};

class FixedSpacing : public ::testing::TestWithParam<SpacingCase> {};

TEST_P(FixedSpacing, CopiesAtMultiplesOfTheSpacing) {
    const SpacingCase& c = GetParam();
    ExpectNear(FixedSpacingDistances(c.L, c.s0, c.s1, c.spacing, c.closed), c.distances);
}

INSTANTIATE_TEST_SUITE_P(
    Table, FixedSpacing,
    ::testing::Values(
        // (11 open and 10 closed copies at a tenth of the length: the placement walk's tests.)
        // int(90 / 10 + 1) = 10 copies from 5.
        SpacingCase{100, 5, 5, 10, false, {5, 15, 25, 35, 45, 55, 65, 75, 85, 95}},
        // Closed, 30 apart: int(100/30 + 1) = 4, and 3 * 30 + 22.5 > 100 leaves 3.
        SpacingCase{100, 0, 0, 30, true, {0, 30, 60}}, SpacingCase{100, 0, 0, 0, false, {}},
        SpacingCase{100, 80, 40, 10, false, {}}));

struct GapCase {
    float L, s0, s1, reserve;
    std::vector<float> gaps;  // cycled
    std::vector<float> distances;
};

class RandomSpacing : public ::testing::TestWithParam<GapCase> {};

TEST_P(RandomSpacing, GapsLaidEndToEnd) {
    const GapCase& c = GetParam();
    const auto gap = [&](int j) { return c.gaps[static_cast<std::size_t>(j) % c.gaps.size()]; };
    ExpectNear(RandomSpacingDistances(c.L, c.s0, c.s1, c.reserve, gap), c.distances);
}

INSTANTIATE_TEST_SUITE_P(
    Table, RandomSpacing,
    ::testing::Values(
        // Equal gaps give the fixed spacing's copies: 11 open, 10 closed (reserve 7.5).
        GapCase{100, 0, 0, 0, {10}, {0, 10, 20, 30, 40, 50, 60, 70, 80, 90, 100}},
        GapCase{100, 0, 0, 7.5f, {10}, {0, 10, 20, 30, 40, 50, 60, 70, 80, 90}},
        // Gaps 10, 20, 10, 20, ...: sums 10, 30, 40, 60, 70, 90, 100 all within 100.
        GapCase{100, 0, 0, 0, {10, 20}, {0, 10, 30, 40, 60, 70, 90, 100}},
        // From s0 = 5 within 100 - 5 - 25 = 70: 5, 25, 45, 65.
        GapCase{100, 5, 25, 0, {20}, {5, 25, 45, 65}},
        // A gap of 0 ends the row after the first copy; no room at all, no copy.
        GapCase{100, 0, 0, 0, {0}, {0}}, GapCase{100, 60, 50, 0, {10}, {}}));

struct DivisionCase {
    float span, knotSpacing;
    int parts;
};

class SpanDivision : public ::testing::TestWithParam<DivisionCase> {};

TEST_P(SpanDivision, RoundsHalfUpFromOneAndAHalf) {
    EXPECT_EQ(SpanDivisions(GetParam().span, GetParam().knotSpacing), GetParam().parts);
}

INSTANTIATE_TEST_SUITE_P(Table, SpanDivision,
                         // (m = 2.5, 2.4 and 1.4: the placement walk's posts test.)
                         ::testing::Values(DivisionCase{15, 10, 2},  // m = 1.5
                                           DivisionCase{100, 10, 10}, DivisionCase{25, 0, 1},
                                           DivisionCase{25, -10, 1}));

TEST(PostDistances, ClosedSplineHasNoSecondPostAtTheClosingKnot) {
    // A closed square of side 10: knots at 0, 10, 20, 30 and the closing 40; spans of 10 with
    // posts every 4 (m = 2.5) get three parts each.
    const std::vector<float> knots = {0, 10, 20, 30, 40};
    ExpectNear(PostDistances(knots, true, 4), {0, 3.333f, 6.667f, 10, 13.333f, 16.667f, 20, 23.333f,
                                               26.667f, 30, 33.333f, 36.667f});
}

struct BetweenCase {
    std::vector<float> posts;
    bool closed;
    float thresh;
    std::vector<float> distances;  // u * L, L = 100, spacing 10
};

class BetweenPosts : public ::testing::TestWithParam<BetweenCase> {};

TEST_P(BetweenPosts, ItemsKeepTheirClearance) {
    const BetweenCase& c = GetParam();
    std::vector<float> posts;
    for (float p : c.posts) posts.push_back(p / 100.0f);
    std::vector<float> at = BetweenPostParams(posts, c.closed, 100.0f, c.thresh, 10.0f);
    for (float& u : at) u *= 100.0f;
    ExpectNear(at, c.distances);
}

INSTANTIATE_TEST_SUITE_P(Table, BetweenPosts,
                         ::testing::Values(
                             // Posts 30 apart: m = 3, two items at 10 and 20.
                             BetweenCase{{0, 30}, false, 0, {10, 20}},
                             // A clearance of 5 leaves 20 (m = 2): one item in the middle.
                             BetweenCase{{0, 30}, false, 5, {15}},
                             // m = 2.5 gives two items, 25/3 apart.
                             BetweenCase{{0, 25}, false, 0, {8.333f, 16.667f}},
                             // m = 1.4: none; two spans of 30 on an open path.
                             BetweenCase{{0, 14}, false, 0, {}},
                             BetweenCase{{0, 30, 60}, false, 0, {10, 20, 40, 50}},
                             // Closed: the last span runs from the last post to the end (100) too.
                             BetweenCase{{0, 50}, true, 0, {10, 20, 30, 40, 60, 70, 80, 90}}));

}  // namespace
