// The command panel driven by panel steps, as `trellon-host ui` runs them: which rollouts open,
// what each command, spinner and list notification does to the object's tables, the pickers and
// the select-by-name dialog, the question boxes, undo, and the step errors.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "command_panel.h"
#include "custcont.h"
#include "hold.h"
#include "module_scene_fixture.h"
#include "scene_reader.h"
#include "support/fence_scene.h"
#include "support/param_tables.h"
#include "support/scratch_dir.h"
#include "support/text_files.h"
#include "ui_command.h"

namespace {

// The fence's parts (fence_scene.h) on a path of legs 240 and 160, and a Trellon object "Fence"
// with Picket (item 0) and Post (item 1) added. `nodes` and `setup` extend them.
std::string FenceScene(const std::string& nodes = "", const std::string& setup = "") {
    support::FenceScene s;
    s.path = R"({"type": "line", "points": [[0,0,0], [240,0,0], [240,160,0]]})";
    s.nodes = nodes;
    s.setup = R"({"op": "addItem", "node": "Picket"}, {"op": "addItem", "node": "Post"})" + setup;
    return s.Text();
}

// Every test starts from FenceScene() as loaded; Load gives a fresh scene of another text.
class Panel : public ModuleSceneTest {
protected:
    void SetUp() override {
        ModuleSceneTest::SetUp();
        Load(FenceScene());
    }
    void Load(const std::string& text) {
        NewScene();
        host::LoadSceneText(text, "panel.scene.json", *scene);
        theHold.ClearRecord();
        ASSERT_NE(Fence(), nullptr);
    }
    // Runs the steps; the error, empty on success.
    std::string Steps(const std::string& text) {
        return host::RunPanelSteps(*scene, text, "test.steps");
    }

    IParamBlock2* Fence() { return Block(L"Fence"); }
    ParamID Id(const wchar_t* name) { return ModuleSceneTest::Id(Fence(), name); }
    std::vector<float> Floats(const wchar_t* name) { return support::Floats(Fence(), Id(name)); }
    std::vector<int> Ints(const wchar_t* name) { return support::Ints(Fence(), Id(name)); }
    int Int(const wchar_t* name) { return Fence()->GetInt(Id(name), 0); }

    IRollupWindow* Rollup() { return scene->Panel().Rollup(); }
    std::vector<std::string> Titles() {
        std::vector<std::string> t;
        for (int i = 0; i < Rollup()->GetNumPanels(); ++i)
            t.push_back(Rollup()->GetPanelTitle(i).ToUTF8());
        return t;
    }
    // The control `id` of the rollout whose title is `title`.
    WinStandIn::ControlInfo Control(const std::string& title, int id) {
        for (int i = 0; i < Rollup()->GetNumPanels(); ++i) {
            if (Rollup()->GetPanelTitle(i).ToUTF8() != title) continue;
            return WinStandIn::DescribeControl(GetDlgItem(Rollup()->GetPanelDlg(i), id));
        }
        return {};
    }
    // A list's rows as "first|second".
    std::vector<std::string> Rows(const std::string& title) {
        std::vector<std::string> rows;
        for (const auto& r : Control(title, 1002).rows)
            rows.push_back(ToUTF8(r[0]) + "|" + ToUTF8(r[1]));
        return rows;
    }
};

const std::vector<std::string> kSeven = {
    "Kavo Trellon",      "Distribute Spline",          "Distribute Objects",
    "Distribute Sweeps", "Colour & Texture Variation", "Export to Geometry",
    "About Us"};

TEST_F(Panel, CreationShowsTheTitleAndTheModifyPanelAllSevenWithThreeRolledUp) {
    ASSERT_EQ(Steps("create Fresh seed 2"), "");
    EXPECT_EQ(Titles(), std::vector<std::string>{"Kavo Trellon"});
    EXPECT_TRUE(Rollup()->IsPanelOpen(0));

    ASSERT_EQ(Steps("modify Fence"), "");
    EXPECT_EQ(Titles(), kSeven);
    std::vector<bool> open;
    for (int i = 0; i < 7; ++i) open.push_back(Rollup()->IsPanelOpen(i) != 0);
    EXPECT_EQ(open, (std::vector<bool>{true, true, true, true, false, false, false}));
    EXPECT_EQ(WinStandIn::LiveDialogCount(), 7);
    // A rolled-up rollout takes no clicks until it is opened.
    EXPECT_NE(Steps("press export/1001").find("rolled up"), std::string::npos);
    ASSERT_EQ(Steps("open export"), "");
    EXPECT_TRUE(Control("Export to Geometry", 1001).enabled);
}

TEST_F(Panel, SwitchingObjectsClosesEveryRolloutAndEndsThePickMode) {
    ASSERT_EQ(Steps("modify Fence\npress objects/1003"), "");
    EXPECT_NE(scene->GetCurPickMode(), nullptr);
    EXPECT_TRUE(Control("Distribute Objects", 1003).checked);
    ASSERT_EQ(Steps("modify Picket"), "");
    EXPECT_EQ(scene->GetCurPickMode(), nullptr);
    EXPECT_EQ(Rollup()->GetNumPanels(), 0);
    EXPECT_EQ(WinStandIn::LiveDialogCount(), 0);
}

// With randomness off at the entry, a low end keeps its high end equal; with it on, only the low
// end moves.
class PanelSpinnerPair : public Panel, public testing::WithParamInterface<bool> {};

TEST_P(PanelSpinnerPair, LowEndWritesHighEndOnlyWithoutRandomness) {
    const bool random = GetParam();
    ASSERT_EQ(Steps(std::string("modify Fence\nchoose objects/1002 Picket\n") +
                    (random ? "press objects/Random\n" : "") + "set objects/1024 5"),
              "");
    EXPECT_EQ(Ints(L"Item_Random_Trans"), (std::vector<int>{0, random ? 1 : 0, 0}));
    EXPECT_EQ(Floats(L"Item_Pos_InOut"), (std::vector<float>{0, 5, 0}));
    EXPECT_EQ(Floats(L"Item_Pos_InOut_Random"), (std::vector<float>{0, random ? 0.0f : 5.0f, 0}));
}

INSTANTIATE_TEST_SUITE_P(Randomness, PanelSpinnerPair, testing::Bool());

TEST_F(Panel, UnifiedScaleSetsAllThreeAxesOfObjectsAndSweeps) {
    Load(FenceScene("", R"(, {"op": "addShape", "node": "Rail"})"));
    ASSERT_EQ(Steps("modify Fence\nchoose objects/1002 Post\nset objects/1038 150\n"
                    "choose sweeps/1002 Rail\nset sweeps/1038 50"),
              "");
    for (const wchar_t* axis : {L"Item_X_Scale", L"Item_Y_Scale", L"Item_Z_Scale",
                                L"Item_X_Scale_Random", L"Item_Z_Scale_Random"}) {
        EXPECT_EQ(Floats(axis), (std::vector<float>{100, 100, 150})) << ToUTF8(axis);
    }
    for (const wchar_t* axis : {L"Sweep_X_Scale", L"Sweep_Y_Scale", L"Sweep_Z_Scale"}) {
        EXPECT_EQ(Floats(axis), (std::vector<float>{100, 50})) << ToUTF8(axis);
    }
}

TEST_F(Panel, NullRowShowsNullItemWithTheNextGroupAndLeavesTheItemTables) {
    ASSERT_EQ(Steps("modify Fence\npress spline/\"Sequence in order\"\npress objects/1008"), "");
    EXPECT_EQ(Rows("Distribute Objects"),
              (std::vector<std::string>{"|All Objects", "1|Picket", "2|Post", "3|Null Item"}));
    EXPECT_EQ(Ints(L"Sequence_Items"), (std::vector<int>{0, 1, -1}));
    EXPECT_EQ(Floats(L"Item_Spacing").size(), 3u);
    // A null row has no item to convert.
    EXPECT_NE(Steps("choose objects/1002 3\npress objects/1102").find("disabled"),
              std::string::npos);
}

TEST_F(Panel, PostAndEndConversionsMoveTheItemWithItsRanges) {
    ASSERT_EQ(Steps("modify Fence\nchoose objects/1002 Picket\nset objects/1048 7\n"
                    "press objects/1102"),
              "");
    EXPECT_EQ(Fence()->Count(Id(L"Object_Nodes")), 1);
    EXPECT_EQ(Fence()->Count(Id(L"Post_Nodes")), 1);
    // Picket is now the post, item 1, and keeps its height.
    EXPECT_EQ(Floats(L"Item_Z_Pos"), (std::vector<float>{0, 0, 7}));
    EXPECT_EQ(Rows("Distribute Objects"),
              (std::vector<std::string>{"|All Objects", "1|Post", "P|Picket"}));
    ASSERT_EQ(Steps("choose objects/1002 Picket"), "");
    EXPECT_EQ(ToUTF8(Control("Distribute Objects", 1102).text), "Delete Post");
    EXPECT_FALSE(Control("Distribute Objects", 1105).enabled);
    ASSERT_EQ(Steps("press objects/1102\nchoose objects/1002 Post\npress objects/1105"), "");
    EXPECT_EQ(Fence()->Count(Id(L"Post_Nodes")), 0);
    EXPECT_EQ(Fence()->Count(Id(L"End_Nodes")), 1);
    EXPECT_EQ(Ints(L"End_Check_1119"), std::vector<int>{0});
    EXPECT_EQ(Rows("Distribute Objects"),
              (std::vector<std::string>{"|All Objects", "1|Picket", "E|Post"}));
}

TEST_F(Panel, ItemFilterIsOneUndoStep) {
    ASSERT_EQ(Steps("modify Fence\nchoose spline/1002 2"), "");
    EXPECT_EQ(Int(L"Object_Solo"), 2);
    ASSERT_EQ(theHold.NumUndoSteps(), 1);
    EXPECT_EQ(theHold.UndoStepName(0).ToUTF8(), "Object Display Change");
    ASSERT_EQ(Steps("undo"), "");
    EXPECT_EQ(Int(L"Object_Solo"), 0);
    EXPECT_EQ(Control("Distribute Spline", 1002).selected, 0);
    ASSERT_EQ(Steps("redo"), "");
    EXPECT_EQ(Int(L"Object_Solo"), 2);
    EXPECT_NE(Steps("redo").find("nothing to redo"), std::string::npos);
}

// Undo puts the parallel item tables back one at a time; the object list used to be refilled
// between two of them and read a row one table no longer had.
TEST_F(Panel, UndoingAnAddedItemInASequenceRefillsTheListOnceTheTablesAreBack) {
    ASSERT_EQ(Steps("modify Fence\npress spline/1009\npress objects/1003\npick Picket"), "");
    // The "All Objects" row, then one row per item, numbered from 1.
    const std::vector<std::string> three = {"|All Objects", "1|Picket", "2|Post", "3|Picket"};
    ASSERT_EQ(Rows("Distribute Objects"), three);
    ASSERT_EQ(Steps("undo"), "");
    EXPECT_EQ(Ints(L"Item_Kind").size(), 2u);
    EXPECT_EQ(Rows("Distribute Objects"),
              (std::vector<std::string>{"|All Objects", "1|Picket", "2|Post"}));
    ASSERT_EQ(Steps("redo"), "");
    EXPECT_EQ(Rows("Distribute Objects"), three);
}

// The shift buttons move the chosen row by the sequence rules (the module's tests work through
// every case) and the list shows the new order.
TEST_F(Panel, ShiftButtonsMoveTheChosenRowAndTheListFollows) {
    // Picket, Post and a null row, each a group of its own; the null row joins Post's group, then
    // leaves it and stands before Post.
    ASSERT_EQ(Steps("modify Fence\npress spline/1009\npress objects/1008\n"
                    "choose objects/1002 3\npress objects/1006\npress objects/1006"),
              "");
    EXPECT_EQ(Ints(L"Sequence_Groups"), (std::vector<int>{0, 1, 2}));
    EXPECT_EQ(Ints(L"Sequence_Items"), (std::vector<int>{0, -1, 1}));
    EXPECT_EQ(Rows("Distribute Objects"),
              (std::vector<std::string>{"|All Objects", "1|Picket", "2|Null Item", "3|Post"}));
    // Alone in its group, shift down joins the group below, as its first row.
    ASSERT_EQ(Steps("choose objects/1002 2\npress objects/1007"), "");
    EXPECT_EQ(Ints(L"Sequence_Groups"), (std::vector<int>{0, 1, 1}));
}

TEST_F(Panel, AllSweepsRowWritesTheSharedEntryAndStaysWhenTheOnlyShapeGoes) {
    Load(FenceScene("", R"(, {"op": "addShape", "node": "Rail"})"));
    ASSERT_EQ(Steps("modify Fence\nchoose sweeps/1002 0\nset sweeps/1024 2"), "");
    EXPECT_EQ(Floats(L"Sweep_Side_Offset"), (std::vector<float>{2, 0}));
    EXPECT_NE(Steps("set sweeps/1498 3").find("disabled"), std::string::npos);
    EXPECT_EQ(Fence()->Count(Id(L"Sweep_Smooth_Angle")), 1);
    // Deleting the only shape leaves "All Sweeps".
    ASSERT_EQ(Steps("choose sweeps/1002 Rail\npress sweeps/1005"), "");
    EXPECT_EQ(Fence()->Count(Id(L"Sweep_Nodes")), 0);
    EXPECT_EQ(Rows("Distribute Sweeps"), std::vector<std::string>{"|All Sweeps"});
    EXPECT_EQ(Control("Distribute Spline", 1003).items, std::vector<std::wstring>{L"All Sweeps"});
}

TEST_F(Panel, PickingThePathAgainIsRefusedAndTheModeStays) {
    INode* picked = Fence()->GetINode(Id(L"Spline_Obj"), 0);
    ASSERT_NE(picked, nullptr);
    const std::string path = ToUTF8(picked->GetName());
    const std::string error = Steps("modify Fence\npress spline/1001\npick " + path);
    EXPECT_NE(error.find("step 3 (line 3, pick): the pick mode does not take"), std::string::npos)
        << error;
    EXPECT_NE(scene->GetCurPickMode(), nullptr);
}

// 400 / 0.004 = 100,000 pickets of 12 faces: 1,200,000 faces, past the full mesh's million; the
// boxes mode that follows is past its limit too, and the build lands on dots. With the spline
// rollout open the user is told, twice (the object's own build without it tells nobody).
TEST_F(Panel, TooManyPolysIsShownWithTheSplineRolloutOpen) {
    ASSERT_EQ(Steps("modify Fence\nchoose objects/1002 Picket\nset objects/1095 0.004"), "");
    EXPECT_EQ(Int(L"Display_Mode"), 1);
    ASSERT_EQ(scene->Messages().size(), 2u);
    for (const host::MessageRecord& m : scene->Messages()) {
        EXPECT_EQ(ToUTF8(m.caption), "Too Many Polys");
    }
}

TEST_F(Panel, ExportButtonExportsAndThePanelClosesWithTheNode) {
    ASSERT_EQ(Steps("modify Fence\nopen export\npress export/2000\npress export/Export"), "");
    EXPECT_EQ(scene->GetINodeByName(L"Fence"), nullptr);
    EXPECT_NE(scene->GetINodeByName(L"TL_Picket"), nullptr);
    EXPECT_EQ(Rollup()->GetNumPanels(), 0);
    ASSERT_EQ(scene->Panel().OpenedPages().size(), 1u);
    EXPECT_NE(scene->Panel().OpenedPages()[0].find(L"export"), std::wstring::npos);
}

TEST_F(Panel, StepErrorsNameTheStepAndLine) {
    EXPECT_EQ(Steps("modify Fence\n\n# a comment\npress objects/9999"),
              "test.steps: step 2 (line 4, press): no open rollout has a control 9999");
    EXPECT_EQ(Steps("press 1003"),
              "test.steps: step 1 (line 1, press): control 1003 is ambiguous (Distribute Spline, "
              "Distribute Objects, Distribute Sweeps): name the rollout and the control's "
              "identifier, as in objects/1003");
    EXPECT_EQ(Steps("answer yes"), "test.steps: the `answer` step (line 1) was not used");
    EXPECT_EQ(Steps("[\"press objects/1005\"]"),
              "test.steps: step 1 (entry 1, press): control objects/1005 of \"Distribute "
              "Objects\" is disabled");
    // A question the steps do not answer fails the step that asked it.
    Load(FenceScene(
        R"({"name": "A", "material": "Paint", "object": {"type": "box", "length": 1, "width": 1, "height": 1}},)"));
    const std::string error = Steps("modify Fence\npress objects/1003\npick A");
    EXPECT_NE(error.find("no `answer` step came before it"), std::string::npos) << error;
}

// The README's fence through the panel alone saves the same scene as its set-up operations: two
// runs of trellon-host, `save` and `ui`, each in a process of its own as a user runs them (the
// point clouds draw from the runtime's generator, which a process starts once).
TEST_F(Panel, FenceStepsSaveTheSceneOfTheSetupOperations) {
    const std::filesystem::path src =
        std::filesystem::path(TRELLON_SOURCE_DIR) / "tests/scenes/panel";
    const support::ScratchDir dir;
    const std::filesystem::path program =
        std::filesystem::path(host::DefaultModulePath()).parent_path() / "trellon-host";
    const auto run = [&](const std::string& args) {
        return std::system(
            (program.string() + " " + args + " > " + (dir / "out.txt").string()).c_str());
    };
    ASSERT_EQ(run("save " + (src / "fence_setup.scene.json").string() + " -o " +
                  (dir / "setup.scene.json").string()),
              0);
    ASSERT_EQ(run("ui " + (src / "fence_parts.scene.json").string() + " --steps " +
                  (src / "fence.steps").string() + " -o " + (dir / "panel.scene.json").string()),
              0);
    const std::string panel = support::ReadText(dir / "panel.scene.json");
    EXPECT_FALSE(panel.empty());
    EXPECT_TRUE(panel == support::ReadText(dir / "setup.scene.json"));
}

}  // namespace
