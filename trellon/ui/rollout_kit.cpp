#include "ui/rollout_kit.h"

#include <string>

#include "commctrl.h"
#include "custcont.h"
#include "hold.h"
#include "ifnpub.h"
#include "maxapi.h"
#include "object/trellon.h"
#include "resource.h"

namespace trellon::ui {

namespace {

// The maker's site; each rollout's help page lies under it. The addresses are ours to choose:
// each help control only has to open a page about its rollout.
constexpr const wchar_t* kSite = L"https://kavo-software.example/";

void Open(const std::wstring& address) {
    Interface* ip = GetCOREInterface();
    ShellExecute(ip ? ip->GetMAXHWnd() : nullptr, L"open", address.c_str(), nullptr, nullptr,
                 SW_SHOWNORMAL);
}

}  // namespace

namespace {
Trellon* editedObject = nullptr;
}  // namespace

Trellon* EditedObject() { return editedObject; }
void SetEditedObject(Trellon* obj) { editedObject = obj; }

Trellon* EditedObject(IParamMap2* map) {
    IParamBlock2* pb = map ? map->GetParamBlock() : nullptr;
    return pb ? dynamic_cast<Trellon*>(pb->GetOwner()) : nullptr;
}

void SetUpButton(HWND dlg, int id, const MCHAR* icon, const MCHAR* tooltip, bool pickButton) {
    ICustButton* b = GetICustButton(GetDlgItem(dlg, id));
    if (!b) return;
    b->SetType(pickButton ? CBT_CHECK : CBT_PUSH);
    if (pickButton) b->SetHighlightColor(kPickHighlight);
    if (icon) b->SetIcon(icon, kIconSize, kIconSize);
    if (tooltip) b->SetTooltip(TRUE, tooltip);
    ReleaseICustButton(b);
}

void SetButtonChecked(HWND dlg, int id, bool checked) {
    ICustButton* b = GetICustButton(GetDlgItem(dlg, id));
    if (!b) return;
    b->SetCheck(checked ? TRUE : FALSE);
    ReleaseICustButton(b);
}

void SetButtonText(HWND dlg, int id, const MCHAR* text) {
    ICustButton* b = GetICustButton(GetDlgItem(dlg, id));
    if (!b) return;
    b->SetText(text);
    ReleaseICustButton(b);
}

void SetUpSpinner(HWND dlg, int spinId, int editId, bool integer, float low, float high,
                  float value) {
    ISpinnerControl* s = GetISpinner(GetDlgItem(dlg, spinId));
    if (!s) return;
    s->LinkToEdit(GetDlgItem(dlg, editId), integer ? EDITTYPE_INT : EDITTYPE_FLOAT);
    s->SetLimits(low, high, FALSE);
    s->SetValue(value, FALSE);
    ReleaseISpinner(s);
}

void ShowSpinner(HWND dlg, int spinId, float value) {
    ISpinnerControl* s = GetISpinner(GetDlgItem(dlg, spinId));
    if (!s) return;
    s->SetValue(value, FALSE);
    ReleaseISpinner(s);
}

float SpinnerValue(HWND dlg, int spinId) {
    ISpinnerControl* s = GetISpinner(GetDlgItem(dlg, spinId));
    if (!s) return 0.0f;
    const float v = s->GetFVal();
    ReleaseISpinner(s);
    return v;
}

void OpenHelp(HelpPage page) {
    static constexpr const wchar_t* kPages[] = {
        L"trellon/help/",
        L"trellon/help/spline",
        L"trellon/help/objects",
        L"trellon/help/sweeps",
        L"trellon/help/colour",
        L"trellon/help/export",
        L"",
    };
    Open(std::wstring(kSite) + kPages[static_cast<int>(page)]);
}

void OpenSocialPage(int which) {
    // The maker's site forwards these to its pages on each network.
    static constexpr const wchar_t* kPages[] = {L"social/facebook", L"social/twitter",
                                                L"social/linkedin", L"social/youtube"};
    if (which >= 0 && which < 4) Open(std::wstring(kSite) + kPages[which]);
}

void RunCommand(const MCHAR* name, const std::function<void()>& edit) {
    theHold.Begin();
    try {
        edit();
        theHold.Accept(name);
    } catch (const MAXException& e) {
        // The set-up operations refuse before they change anything.
        theHold.Cancel();
        if (Interface* ip = GetCOREInterface()) ip->DisplayTempPrompt(e.message.data());
    }
}

void EnableControl(HWND dlg, int id, bool on) {
    EnableWindow(GetDlgItem(dlg, id), on ? TRUE : FALSE);
}

void SetUpList(HWND dlg) {
    HWND list = GetDlgItem(dlg, IDC_LIST);
    LVCOLUMN col{};
    col.mask = LVCF_TEXT | LVCF_WIDTH;
    col.cx = 30;
    col.pszText = L"#";
    ListView_InsertColumn(list, 0, &col);
    col.cx = 120;
    col.pszText = L"Name";
    ListView_InsertColumn(list, 1, &col);
}

INT_PTR RolloutProc::DlgProc(TimeValue t, IParamMap2* map, HWND hWnd, UINT msg, WPARAM wParam,
                             LPARAM lParam) {
    Trellon* obj = EditedObject(map);
    if (!obj) return FALSE;
    switch (msg) {
        case WM_INITDIALOG:
            SetUp(*obj, hWnd, t);
            Fill(*obj, hWnd, t);
            return TRUE;
        case WM_NOTIFY: {
            if (!list_) return FALSE;
            const auto* nm = reinterpret_cast<const NMLISTVIEW*>(lParam);
            if (nm && nm->hdr.idFrom == IDC_LIST && nm->hdr.code == LVN_ITEMCHANGED &&
                (nm->uNewState & LVIS_SELECTED) != 0) {
                Select(*obj, hWnd, nm->iItem, t);
            }
            return TRUE;
        }
        case WM_COMMAND:
            Command(*obj, hWnd, LOWORD(wParam), HIWORD(wParam), t);
            return TRUE;
        case CC_SPINNER_CHANGE:
            if (!spinners_) return FALSE;
            Spinner(*obj, hWnd, LOWORD(wParam), t);
            return TRUE;
        default:
            return FALSE;
    }
}

void RolloutProc::Update(TimeValue t) {
    Trellon* obj = EditedObject();
    if (obj && obj->ParamMaps[map_]) Fill(*obj, obj->ParamMaps[map_]->GetHWnd(), t);
}

}  // namespace trellon::ui
