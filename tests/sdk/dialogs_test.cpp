// Dialogs made from a module's templates, the custom controls, the roll-up window and parameter
// maps binding controls to a block in both directions with undo.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "commctrl.h"
#include "hold.h"
#include "iparamm2.h"
#include "objmodel_fakes.h"
#include "pblock_fakes.h"
#include "resourcemodule.h"
#include "windows.h"

namespace {

HINSTANCE Module() {
    static char handle;
    return reinterpret_cast<HINSTANCE>(&handle);
}

const char* const kFile = R"({
  "strings": { "5": "Small", "6": "Large" },
  "dialogs": {
    "101": { "caption": "Panel", "controls": [
      { "id": 1001, "type": "button", "text": "Go" },
      { "id": 1002, "type": "checkbox", "text": "On" },
      { "id": 1003, "type": "radio", "text": "A" },
      { "id": 1004, "type": "radio", "text": "B" },
      { "id": 1005, "type": "edit" },
      { "id": 1006, "type": "spinner" },
      { "id": 1007, "type": "listview" },
      { "id": 1008, "type": "combobox" } ] }
  }
})";

struct Received {
    UINT msg;
    int id;
    int code;
};

std::vector<Received>& Log() {
    static std::vector<Received> log;
    return log;
}

INT_PTR CALLBACK Record(HWND, UINT msg, WPARAM wParam, LPARAM) {
    Log().push_back({msg, LOWORD(wParam), HIWORD(wParam)});
    return TRUE;
}

class Dialogs : public ::testing::Test {
protected:
    void SetUp() override {
        const std::string path = ::testing::TempDir() + "dialogs_test.res.json";
        std::ofstream(path, std::ios::binary) << kFile;
        ASSERT_EQ(MaxSDK::Util::LoadResourceModule(Module(), path), "");
        Log().clear();
    }
    void TearDown() override { MaxSDK::Util::UnloadResourceModule(Module()); }
};

TEST_F(Dialogs, ControlsComeFromTheTemplateAndMessagesReachTheProcedure) {
    HWND dlg = CreateDialogParamW(Module(), MAKEINTRESOURCE(101), nullptr, &Record, 0);
    ASSERT_NE(dlg, nullptr);
    ASSERT_EQ(Log().size(), 1u);
    EXPECT_EQ(Log()[0].msg, WM_INITDIALOG);
    EXPECT_EQ(GetDlgCtrlID(GetDlgItem(dlg, 1006)), 1006);
    EXPECT_EQ(GetDlgItem(dlg, 4242), nullptr);

    // Clicking radio B unchecks A; the parent hears BN_CLICKED from B.
    ASSERT_TRUE(WinStandIn::UserClick(GetDlgItem(dlg, 1003)));
    ASSERT_TRUE(WinStandIn::UserClick(GetDlgItem(dlg, 1004)));
    EXPECT_EQ(IsDlgButtonChecked(dlg, 1003), BST_UNCHECKED);
    EXPECT_EQ(IsDlgButtonChecked(dlg, 1004), BST_CHECKED);
    EXPECT_EQ(Log().back().msg, WM_COMMAND);
    EXPECT_EQ(Log().back().id, 1004);
    EXPECT_EQ(Log().back().code, BN_CLICKED);

    // A disabled control refuses the user; setting state by message notifies nobody.
    EnableWindow(GetDlgItem(dlg, 1001), FALSE);
    const std::size_t before = Log().size();
    EXPECT_FALSE(WinStandIn::UserClick(GetDlgItem(dlg, 1001)));
    CheckDlgButton(dlg, 1002, BST_CHECKED);
    EXPECT_EQ(Log().size(), before);

    HWND kept = GetDlgItem(dlg, 1002);
    ASSERT_TRUE(DestroyWindow(dlg));
    EXPECT_EQ(Log().back().msg, WM_DESTROY);
    EXPECT_FALSE(IsWindow(kept));
    EXPECT_EQ(IsDlgButtonChecked(dlg, 1002), BST_UNCHECKED);
}

TEST_F(Dialogs, SpinnerLinkedToAnEditClampsTypedValuesAndNotifiesAsTyped) {
    HWND dlg = CreateDialogParamW(Module(), MAKEINTRESOURCE(101), nullptr, &Record, 0);
    ISpinnerControl* spin = GetISpinner(GetDlgItem(dlg, 1006));
    ASSERT_NE(spin, nullptr);
    EXPECT_EQ(GetISpinner(GetDlgItem(dlg, 1005)), nullptr);  // an edit is no spinner
    spin->LinkToEdit(GetDlgItem(dlg, 1005), EDITTYPE_INT);
    spin->SetLimits(0, 10, FALSE);
    ASSERT_TRUE(WinStandIn::UserType(GetDlgItem(dlg, 1005), L"12"));
    EXPECT_EQ(spin->GetIVal(), 10);
    ICustEdit* edit = GetICustEdit(GetDlgItem(dlg, 1005));
    MSTR text;
    edit->GetText(text);
    EXPECT_EQ(std::wstring(text.data()), L"10");
    EXPECT_EQ(Log().back().msg, CC_SPINNER_CHANGE);
    EXPECT_EQ(Log().back().code, FALSE);
    EXPECT_FALSE(WinStandIn::UserType(GetDlgItem(dlg, 1005), L"ten"));

    // A drag: button down, the change (dragging), button up.
    Log().clear();
    ASSERT_TRUE(WinStandIn::UserSetSpinner(GetDlgItem(dlg, 1006), 3.4f));
    ASSERT_EQ(Log().size(), 3u);
    EXPECT_EQ(Log()[0].msg, CC_SPINNER_BUTTONDOWN);
    EXPECT_EQ(Log()[1].msg, CC_SPINNER_CHANGE);
    EXPECT_EQ(Log()[1].code, TRUE);
    EXPECT_EQ(Log()[2].msg, CC_SPINNER_BUTTONUP);
    EXPECT_EQ(spin->GetIVal(), 3);
    ReleaseICustEdit(edit);
    ReleaseISpinner(spin);
    DestroyWindow(dlg);
}

TEST_F(Dialogs, ListViewRowsAndTheUsersSelection) {
    HWND dlg = CreateDialogParamW(Module(), MAKEINTRESOURCE(101), nullptr, &Record, 0);
    HWND list = GetDlgItem(dlg, 1007);
    LVCOLUMN col{};
    col.pszText = L"Name";
    ListView_InsertColumn(list, 0, &col);
    for (const wchar_t* name : {L"a", L"b", L"c"}) {
        LVITEM item{};
        item.iItem = ListView_GetItemCount(list);
        item.pszText = name;
        ListView_InsertItem(list, &item);
    }
    EXPECT_EQ(ListView_GetNextItem(list, -1, LVNI_SELECTED), -1);
    ASSERT_TRUE(WinStandIn::UserChoose(list, 2));
    EXPECT_EQ(Log().back().msg, WM_NOTIFY);
    EXPECT_EQ(ListView_GetNextItem(list, -1, LVNI_SELECTED), 2);
    EXPECT_FALSE(WinStandIn::UserChoose(list, 3));
    DestroyWindow(dlg);
}

// A core interface with a command panel.
class PanelCore : public objmodel_fakes::FakeCore {
public:
    IRollupWindow* GetCommandPanelRollup() override { return rollup.get(); }
    std::unique_ptr<IRollupWindow> rollup{CreateRollupWindow()};
};

class UserProc : public ParamMap2UserDlgProc {
public:
    INT_PTR DlgProc(TimeValue, IParamMap2*, HWND, UINT msg, WPARAM, LPARAM) override {
        messages.push_back(msg);
        return TRUE;
    }
    void DeleteThis() override { deleted = true; }
    void Update(TimeValue) override { ++updates; }
    std::vector<UINT> messages;
    int updates = 0;
    bool deleted = false;
};

TEST_F(Dialogs, ParameterMapBindsControlsBothWaysWithUndo) {
    PanelCore core;
    objmodel_fakes::CoreGuard guard(&core);
    ParamBlockDesc2 desc(0, _M("params"), 0, nullptr, P_AUTO_UI, 101, 0, 0, 0, nullptr, 1,
                         _M("size"), TYPE_FLOAT, 0, 0, p_default, 2.0f, p_range, 0.0f, 10.0f, p_ui,
                         TYPE_SPINNER, EDITTYPE_FLOAT, 1005, 1006, 0.1f, p_end, 2, _M("on"),
                         TYPE_BOOL, 0, 0, p_default, FALSE, p_ui, TYPE_SINGLECHECKBOX, 1002, p_end,
                         3, _M("kind"), TYPE_INT, 0, 0, p_default, 1, p_ui, TYPE_INT_COMBOBOX, 1008,
                         2, 5, 6, p_end, p_end);
    ASSERT_TRUE(desc.errors().empty());
    pblock_fakes::Owner owner;
    owner.ReplaceReference(0, CreateParameterBlock2(&desc, &owner));
    IParamBlock2* pb = owner.pblock;
    UserProc proc;
    IParamMap2* map = CreateCPParamMap2(0, pb, &core, Module(), MAKEINTRESOURCE(101), _M("Size"),
                                        APPENDROLL_CLOSED, &proc);
    ASSERT_NE(map, nullptr);
    ASSERT_EQ(core.rollup->GetNumPanels(), 1);
    EXPECT_EQ(std::wstring(core.rollup->GetPanelTitle(0).data()), L"Size");
    EXPECT_FALSE(core.rollup->IsPanelOpen(0));
    EXPECT_EQ(proc.messages.front(), WM_INITDIALOG);
    HWND dlg = map->GetHWnd();

    // Block to controls: the initial values, then a change made elsewhere.
    EXPECT_EQ(WinStandIn::DescribeControl(GetDlgItem(dlg, 1006)).value, 2.0f);
    EXPECT_EQ(WinStandIn::DescribeControl(GetDlgItem(dlg, 1008)).items,
              (std::vector<std::wstring>{L"Small", L"Large"}));
    EXPECT_EQ(WinStandIn::DescribeControl(GetDlgItem(dlg, 1008)).selected, 1);
    pb->SetValue(1, 0, 4.5f);
    EXPECT_EQ(WinStandIn::DescribeControl(GetDlgItem(dlg, 1006)).value, 4.5f);

    // Controls to block: one undo step per change; the spinner clamps to the range.
    theHold.ClearRecord();
    WinStandIn::UserSetSpinner(GetDlgItem(dlg, 1006), 25.0f);
    WinStandIn::UserClick(GetDlgItem(dlg, 1002));
    WinStandIn::UserChoose(GetDlgItem(dlg, 1008), 0);
    EXPECT_EQ(pb->GetFloat(1, 0), 10.0f);
    EXPECT_EQ(pb->GetInt(2, 0), 1);
    EXPECT_EQ(pb->GetInt(3, 0), 0);
    ASSERT_EQ(theHold.NumUndoSteps(), 3);
    EXPECT_EQ(std::wstring(theHold.UndoStepName(0).data()), L"Parameter Change");
    ASSERT_TRUE(theHold.Undo());
    ASSERT_TRUE(theHold.Undo());
    EXPECT_EQ(pb->GetInt(2, 0), 0);
    EXPECT_EQ(IsDlgButtonChecked(dlg, 1002), BST_UNCHECKED);
    EXPECT_EQ(pb->GetFloat(1, 0), 10.0f);

    // The user procedure hears the messages after the map; Invalidate reaches its Update.
    EXPECT_NE(std::find(proc.messages.begin(), proc.messages.end(), CC_SPINNER_CHANGE),
              proc.messages.end());
    desc.InvalidateUI();
    EXPECT_EQ(proc.updates, 1);

    DestroyCPParamMap2(map);
    EXPECT_EQ(proc.messages.back(), WM_DESTROY);
    EXPECT_TRUE(proc.deleted);
    EXPECT_EQ(core.rollup->GetNumPanels(), 0);
    theHold.ClearRecord();
}

}  // namespace
