// The object list's sequence edits (null rows, shifting, deleting), the path pick with its
// spacings, and swept shapes.
#include <gtest/gtest.h>

#include <string>
#include <limits>
#include <vector>

#include "ifnpub.h"
#include "setup_fixture.h"
#include "splshape.h"

using namespace trellon;

namespace setup_test {
namespace {

// --- Sequence rows
// --------------------------------------------------------------------------------

TEST_F(SetupFixture, ANullRowTakesTheNextGroupAndNoItemEntry) {
    trellon::AddItem(Obj(), Row(L"A", 3, 1.0f));
    trellon::AddItem(Obj(), Row(L"B", 3, 2.0f));
    int slot = 4;
    s.pb->Append(Geo_Array, 1, &slot);
    const int names = s.pb->Count(Item_Names);
    const int spacings = s.pb->Count(Item_Spacing);
    trellon::AddNullRow(Obj(), 0);
    EXPECT_EQ(Ints(Sequence_Items), (std::vector<int>{0, 1, -1}));
    EXPECT_EQ(Ints(Sequence_Groups), (std::vector<int>{0, 1, 2}));
    EXPECT_EQ(s.pb->Count(Item_Names), names);
    EXPECT_EQ(s.pb->Count(Item_Spacing), spacings);
    EXPECT_EQ(s.pb->Count(Geo_Array), 0);
    EXPECT_TABLES_PARALLEL();
}

// Regression: a file may store the largest int as a group number; the next group was numbered
// one past it, a signed overflow. Groups 0 and INT_MAX close up to their ranks 0 and 1 first.
TEST_F(SetupFixture, ANullRowAfterTheLargestGroupNumberClosesTheNumbersUp) {
    trellon::AddItem(Obj(), Row(L"A", 3, 1.0f));
    trellon::AddItem(Obj(), Row(L"B", 3, 2.0f));
    s.pb->SetValue(Sequence_Groups, 0, std::numeric_limits<int>::max(), 1);
    trellon::AddNullRow(Obj(), 0);
    EXPECT_EQ(Ints(Sequence_Items), (std::vector<int>{0, 1, -1}));
    EXPECT_EQ(Ints(Sequence_Groups), (std::vector<int>{0, 1, 2}));
    EXPECT_TABLES_PARALLEL();
}

// Five items in five rows, regrouped by hand; a shift of row r (0-based) gives the groups and
// items worked out from the rules of ItemTables::ShiftRowUp / ShiftRowDown.
struct ShiftCase {
    const char* name;
    bool up;
    std::vector<int> groups;
    int row;
    std::vector<int> groupsAfter;
    std::vector<int> itemsAfter;
};

class Shift : public SetupFixture, public ::testing::WithParamInterface<ShiftCase> {};

TEST_P(Shift, MovesTheRowOneLevel) {
    const ShiftCase& c = GetParam();
    for (int i = 0; i < 5; ++i) trellon::AddItem(Obj(), Row(L"X", 3, static_cast<float>(i)));
    s.pb->SetValue(Geo_Pattern, 0, 1);
    for (int r = 0; r < 5; ++r) s.pb->SetValue(Sequence_Groups, 0, c.groups[r], r);
    // List row r + 1 is sequence row r.
    if (c.up) {
        trellon::ShiftUp(Obj(), c.row + 1);
    } else {
        trellon::ShiftDown(Obj(), c.row + 1);
    }
    EXPECT_EQ(Ints(Sequence_Groups), c.groupsAfter);
    EXPECT_EQ(Ints(Sequence_Items), c.itemsAfter);
    EXPECT_TABLES_PARALLEL();
}

INSTANTIATE_TEST_SUITE_P(
    SetupOps, Shift,
    ::testing::Values(
        // Alone in group 2: joins group 1 as its last row; the groups after close up.
        ShiftCase{"UpAloneJoinsAbove", true, {0, 1, 2, 3, 4}, 2, {0, 1, 1, 2, 3}, {0, 1, 2, 3, 4}},
        // Third row of group 1 (two above it): takes the group's first row alone, the rest of
        // the group (items 1, 2) becomes group 2.
        ShiftCase{"UpLeavesItsGroup", true, {0, 1, 1, 1, 2}, 3, {0, 1, 2, 2, 3}, {0, 3, 1, 2, 4}},
        // First of a group of several: stays, alone; the rest becomes the next group.
        ShiftCase{"UpFirstOfSeveral", true, {0, 1, 1, 2, 3}, 1, {0, 1, 2, 3, 4}, {0, 1, 2, 3, 4}},
        ShiftCase{"UpFirstRowStays", true, {0, 1, 2, 3, 4}, 0, {0, 1, 2, 3, 4}, {0, 1, 2, 3, 4}},
        // Alone in group 2: joins group 3 as its first row, which takes number 2.
        ShiftCase{
            "DownAloneJoinsBelow", false, {0, 1, 2, 3, 4}, 2, {0, 1, 2, 2, 3}, {0, 1, 2, 3, 4}},
        // First of group 1 (two below it): takes the group's last row alone as group 2.
        ShiftCase{
            "DownLeavesItsGroup", false, {0, 1, 1, 1, 2}, 1, {0, 1, 1, 2, 3}, {0, 2, 3, 1, 4}},
        // Last of a group of several: stays, alone, as the next group.
        ShiftCase{"DownLastOfSeveral", false, {0, 1, 1, 2, 3}, 2, {0, 1, 2, 3, 4}, {0, 1, 2, 3, 4}},
        ShiftCase{
            "DownInLastGroupStays", false, {0, 1, 2, 3, 3}, 3, {0, 1, 2, 3, 3}, {0, 1, 2, 3, 4}}),
    [](const ::testing::TestParamInfo<ShiftCase>& p) { return std::string(p.param.name); });

// (An object row of pattern 2 refuses: the set-up interface's refusals.)
TEST_F(SetupFixture, ShiftingWorksOnSequenceRowsOnly) {
    trellon::AddItem(Obj(), Row(L"A", 3, 1.0f));
    s.pb->SetValue(Geo_Pattern, 0, 0);
    EXPECT_THROW(trellon::ShiftDown(Obj(), 0), MAXException);
    EXPECT_THROW(trellon::ShiftDown(Obj(), 2), MAXException);
    EXPECT_NO_THROW(trellon::ShiftDown(Obj(), 1));
}

TEST_F(SetupFixture, DeletingARowRemovesItsItemWithEverything) {
    trellon::AddItem(Obj(), Row(L"A", 3, 1.0f));
    trellon::AddItem(Obj(), Row(L"B", 4, 2.0f));
    trellon::AddItem(Obj(), Row(L"C", 5, 3.0f));
    trellon::DeleteRow(Obj(), 2);  // pattern 2: B
    EXPECT_EQ(Names(Item_Names), (std::vector<std::wstring>{L"A", L"C"}));
    EXPECT_EQ(CloudTags(), (std::vector<float>{1, 1, 1, 3, 3, 3, 3, 3}));
    EXPECT_EQ(Ints(Sequence_Items), (std::vector<int>{0, 1}));
    EXPECT_EQ(Ints(Sequence_Groups), (std::vector<int>{0, 1}));
    EXPECT_EQ(s.pb->Count(Pool_Spacing), 3 * kPoolBlock);
    EXPECT_TABLES_PARALLEL();
    EXPECT_THROW(trellon::DeleteRow(Obj(), 0), MAXException);
    EXPECT_THROW(trellon::DeleteRow(Obj(), 3), MAXException);
}

// --- The path ---------------------------------------------------------------------------------

// A path of length 123.456 picked while Geo_UserSpacing is 0: spacing floor(1234.56 + 0.5) / 100
// = 12.35 in every spacing entry, KnotSpacing twice that, 24.7.
TEST_F(SetupFixture, APathOf123_456GivesSpacing12_35AndKnotSpacing24_7) {
    trellon::AddItem(Obj(), Row(L"A", 3, 1.0f));
    s.pb->SetValue(Spline_Steps, 0, 3);
    Obj().SelectedRow = 2;
    INode* path = Line(L"Fence", 123.456f);
    trellon::PickPath(Obj(), path);
    EXPECT_EQ(s.pb->GetINode(Spline_Obj, 0), path);
    EXPECT_NEAR(s.pb->GetFloat(Path_Length, 0), 123.456f, 1e-3f);
    EXPECT_EQ(Floats(Item_Spacing), (std::vector<float>{12.35f, 12.35f}));
    EXPECT_EQ(Floats(Item_Spacing_Random), (std::vector<float>{12.35f, 12.35f}));
    EXPECT_FLOAT_EQ(s.pb->GetFloat(KnotSpacing, 0), 24.7f);
    // Renamed with the host's unique name, shown on the pick button; steps from Spline Steps.
    EXPECT_EQ(std::wstring(path->GetName()).rfind(L"Spline_For_Trellon_", 0), 0u);
    EXPECT_EQ(std::wstring(Obj().PathLabel.data()), std::wstring(path->GetName()));
    ASSERT_EQ(path->GetObjectRef()->ClassID(), splineShapeClassID);
    EXPECT_EQ(static_cast<SplineShape*>(path->GetObjectRef())->GetSteps(), 3);
    EXPECT_EQ(Obj().SelectedRow, -1);
}

TEST_F(SetupFixture, APathPickedWithUserSpacingKeepsTheSpacings) {
    trellon::AddItem(Obj(), Row(L"A", 3, 1.0f));
    s.pb->SetValue(Geo_UserSpacing, 0, 1);
    s.pb->SetValue(Item_Spacing, 0, 7.0f, 1);
    s.pb->SetValue(KnotSpacing, 0, 3.0f);
    trellon::PickPath(Obj(), Line(L"Fence", 123.456f));
    EXPECT_EQ(Floats(Item_Spacing), (std::vector<float>{100.0f, 7.0f}));
    EXPECT_EQ(Floats(Item_Spacing_Random), (std::vector<float>{100.0f, 100.0f}));
    EXPECT_FLOAT_EQ(s.pb->GetFloat(KnotSpacing, 0), 3.0f);
    EXPECT_NEAR(s.pb->GetFloat(Path_Length, 0), 123.456f, 1e-3f);
}

// Two splines of 30 and 50: the length is their sum, the spacing a tenth of the first, 3.
TEST_F(SetupFixture, PathLengthSumsTheSplinesAndSpacingFollowsTheFirst) {
    INode* path = s.AddPath(
        L"Two", {{Point3(0, 0, 0), Point3(30, 0, 0)}, {Point3(0, 10, 0), Point3(0, 60, 0)}});
    trellon::PickPath(Obj(), path);
    EXPECT_NEAR(s.pb->GetFloat(Path_Length, 0), 80.0f, 1e-4f);
    EXPECT_FLOAT_EQ(s.pb->GetFloat(Item_Spacing, 0, 0), 3.0f);
    EXPECT_FLOAT_EQ(s.pb->GetFloat(KnotSpacing, 0), 6.0f);
    // A second pick gets a name of its own; the tenth of 10 rounds to 1.
    INode* second = Line(L"Three", 10.0f);
    trellon::PickPath(Obj(), second);
    EXPECT_NE(std::wstring(path->GetName()), std::wstring(second->GetName()));
    EXPECT_EQ(std::wstring(second->GetName()).rfind(L"Spline_For_Trellon_", 0), 0u);
    EXPECT_FLOAT_EQ(s.pb->GetFloat(Item_Spacing, 0, 0), 1.0f);
}

// --- Swept shapes -----------------------------------------------------------------------------

// A shape gets an entry in every sweep table, its steps its own (Rail 4, the others the shape's
// default 6); a list is added in its order; a row deletes its shape.
TEST_F(SetupFixture, ShapesAreAddedInListOrderAndDeletedByRow) {
    INode* rail = Line(L"Rail", 5.0f);
    static_cast<SplineShape*>(rail->GetObjectRef())->SetSteps(4);
    trellon::AddShape(Obj(), rail);
    Tab<INode*> shapes;
    for (INode* n : {Line(L"R1", 1.0f), Line(L"R2", 2.0f)}) shapes.Append(1, &n);
    trellon::AddShapes(Obj(), shapes);
    EXPECT_EQ(NodeNames(Sweep_Nodes), (std::vector<std::wstring>{L"Rail", L"R1", L"R2"}));
    trellon::DeleteShape(Obj(), 2);
    EXPECT_EQ(Names(Sweep_Names), (std::vector<std::wstring>{L"Rail", L"R2"}));
    EXPECT_EQ(Ints(Shape_Steps), (std::vector<int>{4, 6}));
    EXPECT_TABLES_PARALLEL();
    EXPECT_THROW(trellon::DeleteShape(Obj(), 0), MAXException);
    EXPECT_THROW(trellon::DeleteShape(Obj(), 3), MAXException);
}

}  // namespace
}  // namespace setup_test
