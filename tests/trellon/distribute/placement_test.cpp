// The placement walk in a host scene: which copies a pass yields, in which order, where each
// item's pivot lands and which pool entries it reads, for paths whose lengths make the answers
// easy to work out by hand. Box items stand with a corner at their pivot; the paths lie in the
// XY plane with the object and the path at the origin, so object space is the path's space.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "distribute/path_fixtures.h"
#include "distribute/placement_fixture.h"

using namespace trellon;

namespace {

using path_fixtures::Near;
using placement_test::Line;
using placement_test::PlacementScene;
using placement_test::Seen;
using placement_test::Square;
using placement_test::Straight;

// One field of every copy, in placement order.
template <class T>
std::vector<T> Each(const std::vector<Seen>& seen, T Seen::*field) {
    std::vector<T> values;
    for (const Seen& c : seen) values.push_back(c.*field);
    return values;
}
std::vector<int> Items(const std::vector<Seen>& seen) { return Each(seen, &Seen::item); }

void ExpectAt(const std::vector<Seen>& seen, const std::vector<Point3>& want, float tol = 1e-3f) {
    ASSERT_EQ(seen.size(), want.size());
    for (std::size_t i = 0; i < want.size(); ++i) EXPECT_TRUE(Near(seen[i].at, want[i], tol)) << i;
}

void ExpectXs(const std::vector<Seen>& seen, const std::vector<float>& xs, float tol = 1e-2f) {
    ASSERT_EQ(seen.size(), xs.size());
    for (std::size_t i = 0; i < xs.size(); ++i) EXPECT_NEAR(seen[i].at.x, xs[i], tol) << i;
}

using PlacementWalk = PlacementScene;

TEST_F(PlacementWalk, PerObjectStraightPathEveryHundred) {
    SetPath({Straight(1000)});
    AddItem();
    const std::vector<Seen> seen = Walk(PlacementPass::PerObject);
    // int(1000 / 100 + 1) = 11 copies at 0, 100, ..., 1000 on the X axis.
    ASSERT_EQ(seen.size(), 11u);
    for (std::size_t j = 0; j < seen.size(); ++j) {
        EXPECT_TRUE(Near(seen[j].at, Point3(100.0f * j, 0.0f, 0.0f), 1e-3f)) << j;
        EXPECT_EQ(seen[j].kind, CopyKind::Object);
        EXPECT_EQ(seen[j].item, 0);
        EXPECT_EQ(seen[j].itemPool, 100 + int(j));
        EXPECT_EQ(seen[j].globalPool, int(j));
        // The box's front faces +X: its (1, 0, 0) corner turns to the left of travel.
        EXPECT_TRUE(
            Near(Point3(1.0f, 0.0f, 0.0f) * seen[j].tm, Point3(100.0f * j, 1.0f, 0.0f), 1e-3f));
    }
}

TEST_F(PlacementWalk, PerObjectClosedSquareDropsTheCopyOnTheStart) {
    // Length 1000: 11 copies would fit, but 10 * 100 + 75 > 1000 drops the last.
    SetPath({Square(250)});
    AddItem();
    ExpectAt(Walk(PlacementPass::PerObject),
             {{0, 0, 0},
              {100, 0, 0},
              {200, 0, 0},
              {250, 50, 0},
              {250, 150, 0},
              {250, 250, 0},
              {150, 250, 0},
              {50, 250, 0},
              {0, 200, 0},
              {0, 100, 0}},
             1e-2f);
}

TEST_F(PlacementWalk, RepeatsStandAtTheirGapAndNotPastTheEnd) {
    SetPath({Straight(100)});
    AddItem();
    SetEntry(Item_Spacing, 1, 50.0f);
    SetEntry(Item_Repeat_Count, 0, 2);
    SetEntry(Item_Repeat_Gap, 0, 10.0f);
    // Copies at 0, 50, 100, each placed at +0, +10, +20; 110 and 120 lie past the end.
    ExpectXs(Walk(PlacementPass::PerObject), {0, 10, 20, 50, 60, 70, 100});
}

// Regression: the gaps of every spline were drawn from the item's first pool entry, so two
// parallel splines got the same random layout. They are drawn at the item's running counter:
// spline 1's gaps start where spline 0's copies left the counter.
TEST_F(PlacementWalk, EverySplineDrewItsGapsFromTheFirstPoolEntry) {
    SetPath({Straight(1000), Straight(1000, 50)});
    AddItem();
    SeedPools(5);
    SetEntry(Item_Random_Trans, 1, 1);
    SetEntry(Item_Spacing, 1, 100.0f);
    SetEntry(Item_Spacing_Random, 1, 200.0f);
    // Gap j of a spline whose gaps start at counter c: 100 + 100 / 100 * Pool_Spacing[100 + c + j].
    // The item's pool holds 0 five times, then 100: spline 0's gaps are 100 five times, then 200;
    // its 8 copies leave the counter at 8, so spline 1's gaps are all 200.
    for (int j = 0; j < 100; ++j) s.pb->SetValue(Pool_Spacing, 0, j < 5 ? 0.0f : 100.0f, 100 + j);
    const std::vector<Seen> seen = Walk(PlacementPass::PerObject);
    ExpectXs(seen, {0, 100, 200, 300, 400, 500, 700, 900, 0, 200, 400, 600, 800, 1000});
    EXPECT_NEAR(seen[8].at.y, 50.0f, 1e-3f);
    // Each spline's copies read their other values from the item's first pool entry on.
    EXPECT_EQ(seen[0].itemPool, 100);
    EXPECT_EQ(seen[8].itemPool, 100);
}

TEST_F(PlacementWalk, ItemSidewaysOffsetMovesItsPathLeft) {
    SetPath({Straight(1000)});
    AddItem();
    SetEntry(Item_Pos_InOut, 1, 10.0f);
    SetEntry(Item_Pos_InOut_Random, 1, 10.0f);
    for (const Seen& c : Walk(PlacementPass::PerObject)) EXPECT_NEAR(c.at.y, 10.0f, 1e-4f);
}

TEST_F(PlacementWalk, CountersWrapAfterOneHundredCopies) {
    SetPath({Straight(150)});
    AddItem();
    SetEntry(Item_Spacing, 1, 1.0f);
    const std::vector<Seen> seen = Walk(PlacementPass::PerObject);
    ASSERT_EQ(seen.size(), 151u);
    EXPECT_EQ(seen[99].itemPool, 199);
    EXPECT_EQ(seen[100].itemPool, 100);  // the 101st copy reads the 1st copy's entry
    EXPECT_EQ(seen[100].globalPool, 0);
    EXPECT_EQ(seen[150].itemPool, 150);
}

// Item 0 left out, by Object_Solo naming item 1 or by its node gone: only item 1's 11 copies,
// where and with the values they have beside item 0's; the global counter has run through item
// 0's 11 first.
class HiddenItem : public PlacementScene, public ::testing::WithParamInterface<bool> {};

TEST_P(HiddenItem, TheOtherItemKeepsItsPlacesAndValues) {
    SetPath({Straight(1000)});
    AddItem();
    AddItem();
    if (GetParam()) {
        Set(Object_Solo, 2);
    } else {
        s.pb->SetValue(Object_Nodes, 0, static_cast<INode*>(nullptr), 0);
    }
    const std::vector<Seen> seen = Walk(PlacementPass::PerObject);
    ASSERT_EQ(seen.size(), 11u);
    for (std::size_t j = 0; j < seen.size(); ++j) {
        EXPECT_EQ(seen[j].item, 1);
        EXPECT_EQ(seen[j].globalPool, 11 + int(j));
        EXPECT_EQ(seen[j].itemPool, 200 + int(j));
        EXPECT_NEAR(seen[j].at.x, 100.0f * j, 1e-3f);
    }
}

INSTANTIATE_TEST_SUITE_P(SoloOrMissingNode, HiddenItem, ::testing::Bool());

// Three groups of one row each: items 0, 1, 2 in groups 0, 1, 2.
class SequenceWalk : public PlacementScene {
protected:
    void ThreeGroups() {
        for (int k = 0; k < 3; ++k) AddItem();
        SetInts(Sequence_Items, {0, 1, 2});
        SetInts(Sequence_Groups, {0, 1, 2});
    }
};

TEST_F(SequenceWalk, CyclingGroupsOnAStraightPath) {
    SetPath({Straight(1000)});
    ThreeGroups();
    Set(Geo_Pattern, 1);
    // 10 slots 1000/9 apart cycle groups 0, 1, 2; the walk goes group by group.
    const std::vector<Seen> seen = Walk(PlacementPass::Sequence);
    EXPECT_EQ(Items(seen), (std::vector<int>{0, 0, 0, 0, 1, 1, 1, 2, 2, 2}));
    const float g = 1000.0f / 9.0f;
    ExpectXs(seen, {0, 3 * g, 6 * g, 9 * g, g, 4 * g, 7 * g, 2 * g, 5 * g, 8 * g});
    // The global counter starts again with each group; the items' counters do not share.
    EXPECT_EQ(Each(seen, &Seen::globalPool), (std::vector<int>{0, 1, 2, 3, 0, 1, 2, 0, 1, 2}));
    EXPECT_EQ(Each(seen, &Seen::itemPool),
              (std::vector<int>{100, 101, 102, 103, 200, 201, 202, 300, 301, 302}));
}

struct SplinesCase {
    const char* name;
    int pattern;
    std::vector<int> geoArray;
    std::vector<int> items;  // in placement order
    std::vector<int> splines;
};

class SequenceSplines : public SequenceWalk, public ::testing::WithParamInterface<SplinesCase> {};

// Two splines of 500 with spacing 100: 5 slots each (0, 125, ..., 500).
TEST_P(SequenceSplines, GroupOrderAcrossSplines) {
    const SplinesCase& c = GetParam();
    SetPath({Straight(500), Straight(500, 100)});
    ThreeGroups();
    Set(Geo_Pattern, c.pattern);
    SetInts(Geo_Array, c.geoArray);
    const std::vector<Seen> seen = Walk(PlacementPass::Sequence);
    EXPECT_EQ(Items(seen), c.items);
    EXPECT_EQ(Each(seen, &Seen::spline), c.splines);
}

INSTANTIATE_TEST_SUITE_P(
    Table, SequenceSplines,
    ::testing::Values(
        // The cycling counter restarts on each spline: 0 1 2 0 1 | 0 1 2 0 1.
        SplinesCase{"CyclingRestartsPerSpline",
                    1,
                    {},
                    {0, 0, 0, 0, 1, 1, 1, 1, 2, 2},
                    {0, 0, 1, 1, 0, 0, 1, 1, 0, 1}},
        // Geo_Array runs on: its first five entries are spline 0's, the next five spline 1's.
        SplinesCase{"GeoArrayContinues",
                    0,
                    {2, 2, 2, 2, 2, 0, 0, 0, 0, 1},
                    {0, 0, 0, 0, 1, 2, 2, 2, 2, 2},
                    {1, 1, 1, 1, 1, 0, 0, 0, 0, 0}},
        // A Geo_Array shorter than the slots leaves the rest without a group.
        SplinesCase{"ShortGeoArray", 0, {1, 0}, {0, 1}, {0, 0}}),
    [](const ::testing::TestParamInfo<SplinesCase>& c) { return c.param.name; });

TEST_F(SequenceWalk, ClosedPathSkipsTheLastSlot) {
    // 10 slots on a square of 1000, 1000/9 apart; the tenth would stand on the first.
    SetPath({Square(250)});
    AddItem();
    SetInts(Sequence_Items, {0});
    SetInts(Sequence_Groups, {0});
    Set(Geo_Pattern, 1);
    const std::vector<Seen> seen = Walk(PlacementPass::Sequence);
    ASSERT_EQ(seen.size(), 9u);
    EXPECT_TRUE(Near(seen[1].at, Point3(1000.0f / 9, 0.0f, 0.0f), 1e-2f));
    EXPECT_TRUE(Near(seen[3].at, Point3(250.0f, 3000.0f / 9 - 250, 0.0f), 1e-2f));
}

TEST_F(SequenceWalk, RowsOfAGroupShareTheirSlotAndNullRowsLeaveGaps) {
    SetPath({Straight(1000)});
    AddItem();
    AddItem();
    SetInts(Sequence_Items, {0, 1, -1});
    SetInts(Sequence_Groups, {0, 0, 1});
    Set(Geo_Pattern, 1);
    // Group 0 at slots 0, 2, 4, 6, 8 with both items; group 1 is the null row.
    const std::vector<Seen> seen = Walk(PlacementPass::Sequence);
    EXPECT_EQ(Items(seen), (std::vector<int>{0, 1, 0, 1, 0, 1, 0, 1, 0, 1}));
    const float g = 1000.0f / 9.0f;
    ExpectXs(seen, {0, 0, 2 * g, 2 * g, 4 * g, 4 * g, 6 * g, 6 * g, 8 * g, 8 * g});
    // The rows of a slot share its global values; the counter has moved on by one per item.
    EXPECT_EQ(seen[2].globalPool, 2);
    EXPECT_EQ(seen[3].globalPool, 2);
    EXPECT_EQ(seen[4].globalPool, 4);
}

// The closed square gets no end objects; the open line one at each end, the far one turned.
TEST_F(PlacementWalk, EndObjectsAtBothEndsTheFarOneTurnedRollAndAll) {
    SetPath({Square(250), Straight(1000)});
    const int k = AddItem(End_Nodes);
    const std::vector<Seen> seen = Walk(PlacementPass::Ends);
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_EQ(seen[0].spline, 1);
    EXPECT_EQ(seen[0].kind, CopyKind::End);
    EXPECT_EQ(seen[0].item, k);
    EXPECT_EQ(seen[0].source, 0);
    // The box's (1, 0, 0) corner: left of travel at the start, right of it at the far end.
    EXPECT_TRUE(Near(Point3(1.0f, 0.0f, 0.0f) * seen[0].tm, Point3(0.0f, 1.0f, 0.0f), 1e-3f));
    EXPECT_TRUE(Near(Point3(1.0f, 0.0f, 0.0f) * seen[1].tm, Point3(1000.0f, -1.0f, 0.0f), 1e-3f));
    // Regression: the far end's half turn was added to the follow angle only, so a rolled end
    // piece leaned the same way at both ends. It belongs to the heading: rolled by 30 degrees
    // about the direction of travel, the top of the box (0, 0, 2) leans to the left of travel at
    // the start, (0, 2 sin 30, 2 cos 30), and, the far copy facing back along the path, to the
    // right of travel at the far end.
    SetEntry(Item_X_Rot, k + 1, 30.0f);
    const std::vector<Seen> rolled = Walk(PlacementPass::Ends);
    ASSERT_EQ(rolled.size(), 2u);
    const Point3 top(0.0f, 0.0f, 2.0f);
    EXPECT_TRUE(Near(top * rolled[0].tm, Point3(0.0f, 1.0f, 1.7320508f), 1e-4f));
    EXPECT_TRUE(Near(top * rolled[1].tm, Point3(1000.0f, -1.0f, 1.7320508f), 1e-3f));
}

TEST_F(PlacementWalk, EndObjectOffsetsAndTwins) {
    SetPath({Straight(1000)});
    AddItem(End_Nodes);
    SetEntry(Item_Start_Offset, 1, 50.0f);
    SetEntry(Item_End_Offset, 1, 100.0f);
    SetEntry(Item_Check_1013, 0, 1);
    SetEntry(Item_Spin_1111, 0, 20.0f);
    // Two on the item's path at 50 and 900, two more 20 to the left.
    ExpectAt(Walk(PlacementPass::Ends), {{50, 0, 0}, {900, 0, 0}, {50, 20, 0}, {900, 20, 0}});
}

TEST_F(PlacementWalk, PostsAtKnotsAndInnerDivisionsAnchoredAtTheirBase) {
    // Spans 25, 14 and 24 with posts every 10: 0, 8.33, 16.67, 25, 39, 51, 63.
    SetPath({{{Point3(0.0f, 0.0f, 0.0f), Point3(25.0f, 0.0f, 0.0f), Point3(39.0f, 0.0f, 0.0f),
               Point3(63.0f, 0.0f, 0.0f)}}});
    const int k = AddItem(Post_Nodes);
    Set(KnotSpacing, 10.0f);
    const std::vector<Seen> seen = Walk(PlacementPass::Posts);
    const std::vector<float> want = {0, 25.0f / 3, 50.0f / 3, 25, 39, 51, 63};
    ASSERT_EQ(seen.size(), want.size());
    for (std::size_t i = 0; i < want.size(); ++i) {
        EXPECT_EQ(seen[i].item, k);
        EXPECT_EQ(seen[i].kind, CopyKind::Post);
        // The 2-unit box's bottom centre (1, 1, 0) stands on the path.
        EXPECT_TRUE(Near(Point3(1.0f, 1.0f, 0.0f) * seen[i].tm, Point3(want[i], 0.0f, 0.0f), 1e-3f))
            << i;
    }
}

// A closed square of side 30 with a post at each knot (KnotSpacing 100: no inner posts) and one
// object between the posts every 10: each 30-unit span holds two (m = 3, fraction 0: 3 - 1), at
// 10 and 20 along it. The span from the last post back round to the first is filled only while
// every start and end offset is 0. Regression: it was filled whatever the offsets.
TEST_F(PlacementWalk, TheClosingSpanWasFilledWhateverTheOffsets) {
    SetPath({Square(30)});
    AddItem();
    AddItem(Post_Nodes);
    SetInts(Sequence_Items, {0});
    SetInts(Sequence_Groups, {0});
    Set(Geo_Pattern, 1);
    Set(KnotSpacing, 100.0f);
    SetEntry(Item_Spacing, 0, 10.0f);
    const auto objects = [&] {
        std::vector<Seen> found;
        for (const Seen& c : Walk(PlacementPass::Posts))
            if (c.kind == CopyKind::Object) found.push_back(c);
        return found;
    };
    std::vector<Point3> sides = {{10, 0, 0},  {20, 0, 0},  {30, 10, 0},
                                 {30, 20, 0}, {20, 30, 0}, {10, 30, 0}};
    std::vector<Point3> closed = sides;
    closed.insert(closed.end(), {Point3(0, 20, 0), Point3(0, 10, 0)});
    ExpectAt(objects(), closed);
    SetEntry(Item_Start_Offset, 0, 5.0f);
    ExpectAt(objects(), sides);
}

TEST_F(PlacementWalk, PostsThenThePerObjectPatternAndSourceOrder) {
    SetPath({Straight(200)});
    AddItem();                  // item 0, object
    AddItem(Post_Nodes);        // item 1, post
    AddItem(End_Nodes);         // item 2, end object
    Set(KnotSpacing, 1000.0f);  // posts at the two knots only
    trellon::Placement placement = trellon::Placement::Prepare(*s.object, 0);
    EXPECT_EQ(placement.Passes(),
              (std::vector<PlacementPass>{PlacementPass::Ends, PlacementPass::Posts}));
    const std::vector<Seen> posts = Walk(PlacementPass::Posts);
    // Two posts, then the object every 100: 0, 100, 200.
    EXPECT_EQ(Items(posts), (std::vector<int>{1, 1, 0, 0, 0}));
    // Source indices: end objects, then objects, then posts.
    EXPECT_EQ(posts[0].source, 2);
    EXPECT_EQ(posts[2].source, 1);
    EXPECT_EQ(Walk(PlacementPass::Ends)[0].source, 0);
    // The per-object copies start their counters afresh.
    EXPECT_EQ(posts[2].globalPool, 0);
}

// The count a pass promises, by hand (the walk's own copies: the tests above). Item 0: 11 on the
// line + 4 on the square (400: 4 * 100 + 75 > 400 drops the fifth); item 1 at 30: 34 + 13
// (int(400/30 + 1) = 14, 13 * 30 + 22.5 > 400); the end object at the line's two ends.
TEST_F(PlacementWalk, CountsEveryItemsCopies) {
    SetPath({Straight(1000), Square(100)});
    AddItem();
    AddItem();
    AddItem(End_Nodes);
    SetEntry(Item_Spacing, 2, 30.0f);
    trellon::Placement placement = trellon::Placement::Prepare(*s.object, 0);
    EXPECT_EQ(placement.Count(PlacementPass::PerObject).perItem,
              (std::vector<std::int64_t>{15, 47, 0}));
    EXPECT_EQ(placement.Count(PlacementPass::PerObject).total, 62);
    EXPECT_EQ(placement.Count(PlacementPass::Ends).perItem, (std::vector<std::int64_t>{0, 0, 2}));
    EXPECT_EQ(placement.Count(PlacementPass::Ends).total, 2);
}

TEST_F(PlacementWalk, WorldSpaceAddsTheObjectsTransform) {
    SetPath({Straight(100)});
    AddItem();
    Matrix3 raised = TransMatrix(Point3(0.0f, 0.0f, 50.0f));
    s.objectNode->SetNodeTM(0, raised);
    // In the object's space the path lies 50 below it; in the world it stays where it is.
    EXPECT_NEAR(Walk(PlacementPass::PerObject)[0].at.z, -50.0f, 1e-4f);
    trellon::PlacementOptions world;
    world.worldSpace = true;
    EXPECT_NEAR(Walk(PlacementPass::PerObject, world)[0].at.z, 0.0f, 1e-4f);
}

TEST_F(PlacementWalk, NoPathNoPasses) {
    AddItem();
    trellon::Placement placement = trellon::Placement::Prepare(*s.object, 0);
    EXPECT_TRUE(placement.Passes().empty());
    EXPECT_EQ(placement.Count(PlacementPass::PerObject).total, 0);
}

}  // namespace
