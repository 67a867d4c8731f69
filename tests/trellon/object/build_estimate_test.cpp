// The polygon estimate and the display-mode limits, on hand-made inputs (no object needed).
#include <gtest/gtest.h>

#include <limits>
#include <string>
#include <vector>

#include "object/build_estimate.h"

using namespace trellon;

namespace {

const std::wstring kBox = L"There are too many polys to show, it will now switch to Bounding Box";
const std::wstring kDot = L"There are too many polys to show, it will now switch to Dot";
const std::wstring kNone = L"There are too many polys to show, it will now switch to None";

// Two objects on a path of one spline of length 100: item 0 (600 faces, 50 cloud points) at
// spacing 10, item 1 (10 faces, 3000 points) at spacing 20; the global spacing is 10.
trellon::EstimateInput TwoObjects(int pattern) {
    trellon::EstimateInput in;
    in.pattern = pattern;
    in.objectCount = 2;
    in.splineLengths = {100.0f};
    in.spacings = {10.0f, 10.0f, 20.0f};
    in.faceCounts = {600, 10};
    in.cloudCounts = {50, 3000};
    return in;
}

struct EstimateCase {
    const char* name;
    trellon::EstimateInput input;
    trellon::BuildEstimate expected;
};

EstimateCase PerObject(const char* name, int solo, trellon::BuildEstimate expected) {
    trellon::EstimateInput in = TwoObjects(2);
    in.objectSolo = solo;
    return {name, in, expected};
}

EstimateCase Sequence(const char* name, int pattern, std::vector<int> items,
                      std::vector<int> groups, int solo, trellon::BuildEstimate expected) {
    trellon::EstimateInput in = TwoObjects(pattern);
    in.sequenceItems = std::move(items);
    in.sequenceGroups = std::move(groups);
    in.objectSolo = solo;
    return {name, in, expected};
}

class EstimateBuildTest : public ::testing::TestWithParam<EstimateCase> {};

TEST_P(EstimateBuildTest, FillsTheFiveAccumulators) {
    const EstimateCase& c = GetParam();
    const trellon::BuildEstimate e = trellon::EstimateBuild(c.input);
    EXPECT_EQ(e.faces, c.expected.faces);
    EXPECT_EQ(e.cloudPoints, c.expected.cloudPoints);
    EXPECT_EQ(e.proxyWeight, c.expected.proxyWeight);
    EXPECT_EQ(e.boxSize, c.expected.boxSize);
    EXPECT_EQ(e.copies, c.expected.copies);
}

INSTANTIATE_TEST_SUITE_P(
    Table, EstimateBuildTest,
    ::testing::Values(
        // Item 0: 10 copies (F 6000, P 500); item 1: 5 copies (F 50, P 15000); 15 copies in all.
        PerObject("PerObjectAll", 0, {6050, 15500, 12000, 75, 15}),
        // Object_Solo 2 keeps item 1 only.
        PerObject("PerObjectSoloSecond", 2, {50, 15000, 4000, 25, 5}),
        // 10 slots shared by 3 rows: 3 each; the null row adds nothing. F = 3 x 600 + 3 x 10.
        Sequence("SequenceWithNullRow", 0, {0, -1, 1}, {0, 1, 2}, 0, {1830, 9150, 4800, 30, 6}),
        // A row whose group is -1 is skipped: share 10 / 2 = 5, only row 0 counts.
        Sequence("SequenceGroupMinusOne", 0, {0, 1}, {0, -1}, 0, {3000, 250, 4000, 25, 5}),
        Sequence("SequenceSoloSecond", 0, {0, -1, 1}, {0, 1, 2}, 2, {30, 9000, 2400, 15, 3}),
        // An item index past the tables adds nothing.
        Sequence("SequenceBadItem", 0, {7}, {0}, 0, {0, 0, 0, 0, 0}),
        Sequence("SequenceWithoutRows", 0, {}, {}, 0, {0, 0, 0, 0, 0})),
    [](const ::testing::TestParamInfo<EstimateCase>& c) { return c.param.name; });

TEST(EstimateBuild, PerObjectWithoutSpacingEntriesCountsNothing) {
    trellon::EstimateInput in = TwoObjects(2);
    in.spacings = {10.0f};  // only the global entry
    EXPECT_EQ(trellon::EstimateBuild(in).copies, 0);
}

TEST(EstimateBuild, AccumulatorsStopAtTheLargestValue) {
    trellon::BuildEstimate e;
    // Each add is (2^31 - 1) x (2^31 - 1) < 2^62 faces; three of them pass 2^63 - 1.
    const std::int64_t n = std::numeric_limits<int>::max();
    for (int i = 0; i < 3; ++i) e.AddCopies(n, std::numeric_limits<int>::max(), -4);
    EXPECT_EQ(e.faces, std::numeric_limits<std::int64_t>::max());
    EXPECT_EQ(e.cloudPoints, 0);  // a negative count counts as none
    EXPECT_EQ(e.copies, 3 * n);
}

struct LimitCase {
    const char* name;
    trellon::BuildEstimate estimate;
    int mode;
    int finalMode;
    std::vector<std::wstring> messages;
};

class PolygonLimitsTest : public ::testing::TestWithParam<LimitCase> {};

TEST_P(PolygonLimitsTest, LowersTheModeInOrder) {
    const LimitCase& c = GetParam();
    DisplayMode mode = static_cast<DisplayMode>(c.mode);
    const std::vector<trellon::ModeSwitch> switches = trellon::ApplyPolygonLimits(c.estimate, mode);
    EXPECT_EQ(static_cast<int>(mode), c.finalMode);
    ASSERT_EQ(switches.size(), c.messages.size());
    DisplayMode from = static_cast<DisplayMode>(c.mode);
    for (size_t i = 0; i < switches.size(); ++i) {
        EXPECT_EQ(switches[i].from, from);
        EXPECT_EQ(std::wstring(switches[i].message), c.messages[i]);
        from = switches[i].to;
    }
}

// Fields: faces, cloudPoints, proxyWeight, boxSize, copies.
INSTANTIATE_TEST_SUITE_P(
    Table, PolygonLimitsTest,
    ::testing::Values(
        LimitCase{"FacesSwitchFullMeshToBox", {1'200'000, 0, 0, 0, 0}, 6, 2, {kBox}},
        LimitCase{"FacesAtTheLimitStay", {1'000'000, 0, 0, 0, 0}, 6, 6, {}},
        LimitCase{"FacesIgnoredInProxyMode", {1'200'000, 0, 0, 0, 0}, 5, 5, {}},
        LimitCase{"WeightSwitchesMode5ToBox", {0, 0, 600'001, 0, 0}, 5, 2, {kBox}},
        LimitCase{"BoxSizeSwitchesMode4ToDot", {0, 0, 0, 400'005, 0}, 4, 1, {kDot}},
        LimitCase{"BoxSizeSwitchesBoxesToDot", {0, 0, 0, 400'001, 0}, 2, 1, {kDot}},
        LimitCase{"CloudSwitchesMode3ToBox", {0, 600'001, 0, 0, 0}, 3, 2, {kBox}},
        // The box-size test ran before the cloud test switched to 2, so it does not see 2.
        LimitCase{"CloudThenNoBoxTest", {0, 600'001, 0, 400'001, 0}, 3, 2, {kBox}},
        LimitCase{"CopiesSwitchDotsToNone", {0, 0, 0, 0, 200'001}, 1, 0, {kNone}},
        // A full mesh far too heavy falls through Bounding Box and Dot to None in one pass.
        LimitCase{"ChainFromFullMeshToNone",
                  {1'200'000, 0, 0, 400'005, 200'001},
                  6,
                  0,
                  {kBox, kDot, kNone}}),
    [](const ::testing::TestParamInfo<LimitCase>& c) { return c.param.name; });

}  // namespace
