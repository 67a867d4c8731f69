// Keeping Geo_Array, the random group order of the sequence pattern, at its slot count.
#include <gtest/gtest.h>

#include <vector>

#include "distribute/path_fixtures.h"
#include "iparamb2.h"
#include "object/geo_array.h"
#include "object/param_ids.h"
#include "random.h"
#include "support/param_tables.h"

using namespace trellon;

namespace {

using path_fixtures::ObjectPtr;

class GroupSequence : public ::testing::Test {
protected:
    ObjectPtr object_ = path_fixtures::NewObject();
    IParamBlock2* pb_ = object_->GetParamBlock(0);
};

struct FitCase {
    const char* name;
    std::vector<int> groups;  // Sequence_Groups
    std::vector<int> before;  // Geo_Array
    int m;
    std::vector<int> after;
};

class FitGroupSequenceTest : public GroupSequence, public ::testing::WithParamInterface<FitCase> {};

// Draws come from a generator seeded with 1, whose first rand() values are 41, 18467, 6334,
// 26500, 19169 (the C runtime's sequence): modulo 3 they are 2, 2, 1, 1, 2.
TEST_P(FitGroupSequenceTest, BringsTheArrayToLengthM) {
    const FitCase& c = GetParam();
    support::SetInts(pb_, Sequence_Groups, c.groups);
    support::SetInts(pb_, Geo_Array, c.before);
    Random generator;
    generator.srand(1);
    trellon::FitGroupSequence(*pb_, 0, c.m, generator);
    EXPECT_EQ(support::Ints(pb_, Geo_Array), c.after);
}

INSTANTIATE_TEST_SUITE_P(
    Table, FitGroupSequenceTest,
    ::testing::Values(FitCase{"KeptAtLengthM", {0, 1, 2}, {2, 0, 1}, 3, {2, 0, 1}},
                      FitCase{"CutToTheFirstM", {0, 1, 2}, {2, 0, 1, 1, 0}, 2, {2, 0}},
                      FitCase{"ExtendedFromEmpty", {0, 0, 1, 2}, {}, 5, {2, 2, 1, 1, 2}},
                      // Existing entries stay; only the missing three are drawn.
                      FitCase{"ExtendedKeepsTheStart", {0, 1, 2}, {0, 0}, 5, {0, 0, 2, 2, 1}},
                      // Without rows there is nothing to draw from: the array is not extended,
                      // though it is still cut.
                      FitCase{"NoGroupsAppendsNothing", {}, {1}, 4, {1}},
                      FitCase{"NoGroupsStillCuts", {}, {1, 0, 1}, 1, {1}},
                      FitCase{"NegativeMEmpties", {0, 1}, {1, 0}, -2, {}}),
    [](const ::testing::TestParamInfo<FitCase>& c) { return c.param.name; });

}  // namespace
