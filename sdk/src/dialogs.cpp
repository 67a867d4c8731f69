// Dialog windows made from the module's templates, the standard controls' messages and the user's
// actions (winuser.h, commctrl.h).
#include <cmath>
#include <cstdio>
#include <cwchar>
#include <set>
#include <string>

#include "commctrl.h"
#include "custcont.h"
#include "resourcemodule.h"
#include "window_model.h"
#include "windows.h"

namespace winmodel {
namespace {

using WinStandIn::ControlKind;

// Every live window (dialogs and their controls); a handle is checked against it on use.
std::set<Window*>& Live() {
    static std::set<Window*> live;
    return live;
}

std::set<Window*>& LiveDialogs() {
    static std::set<Window*> dialogs;
    return dialogs;
}

ControlKind KindOf(MaxSDK::Util::DialogControlType t) {
    using T = MaxSDK::Util::DialogControlType;
    switch (t) {
        case T::Static:
            return ControlKind::Static;
        case T::Group:
            return ControlKind::Group;
        case T::Button:
            return ControlKind::Button;
        case T::CheckBox:
            return ControlKind::CheckBox;
        case T::Radio:
            return ControlKind::Radio;
        case T::Edit:
            return ControlKind::Edit;
        case T::Spinner:
            return ControlKind::Spinner;
        case T::Slider:
            return ControlKind::Slider;
        case T::ComboBox:
            return ControlKind::ComboBox;
        case T::ListBox:
            return ControlKind::ListBox;
        case T::ListView:
            return ControlKind::ListView;
        case T::ColorSwatch:
            return ControlKind::ColorSwatch;
        case T::Image:
            return ControlKind::Image;
    }
    return ControlKind::Static;
}

void Forget(Window* w) {
    for (auto& c : w->children) Forget(c.get());
    Live().erase(w);
    LiveDialogs().erase(w);
}

bool IsList(const Window* w) {
    return w->kind == ControlKind::ComboBox || w->kind == ControlKind::ListBox;
}

LRESULT ListIndexOrErr(const Window* w, WPARAM i) {
    const auto index = static_cast<long>(static_cast<int>(i));
    return index >= 0 && index < static_cast<long>(w->items.size()) ? index : CB_ERR;
}

// Copies text into a caller's buffer the way the list messages do (no size given: the caller
// made room for the whole entry).
LRESULT CopyOut(const std::wstring& text, LPARAM buffer) {
    if (buffer == 0) return CB_ERR;
    auto* out = reinterpret_cast<wchar_t*>(buffer);
    std::wmemcpy(out, text.c_str(), text.size() + 1);
    return static_cast<LRESULT>(text.size());
}

// The messages of a control (not a dialog).
LRESULT ControlMessage(Window* w, UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
        case WM_SETTEXT:
            w->text = lParam ? reinterpret_cast<const wchar_t*>(lParam) : L"";
            return TRUE;
        case WM_GETTEXTLENGTH:
            return static_cast<LRESULT>(w->text.size());
        case BM_SETCHECK:
            w->checked = wParam == BST_CHECKED;
            return 0;
        case BM_GETCHECK:
            return w->checked ? BST_CHECKED : BST_UNCHECKED;
        default:
            break;
    }
    if (IsList(w)) {
        const bool combo = w->kind == ControlKind::ComboBox;
        const UINT add = combo ? CB_ADDSTRING : LB_ADDSTRING;
        const UINT insert = combo ? CB_INSERTSTRING : LB_INSERTSTRING;
        const UINT del = combo ? CB_DELETESTRING : LB_DELETESTRING;
        const UINT reset = combo ? CB_RESETCONTENT : LB_RESETCONTENT;
        const UINT setSel = combo ? CB_SETCURSEL : LB_SETCURSEL;
        const UINT getSel = combo ? CB_GETCURSEL : LB_GETCURSEL;
        const UINT getText = combo ? CB_GETLBTEXT : LB_GETTEXT;
        const UINT count = combo ? CB_GETCOUNT : LB_GETCOUNT;
        if (msg == add) {
            w->items.emplace_back(lParam ? reinterpret_cast<const wchar_t*>(lParam) : L"");
            return static_cast<LRESULT>(w->items.size() - 1);
        }
        if (msg == insert) {
            const int at = static_cast<int>(wParam);
            const std::size_t pos = at < 0 || at > static_cast<int>(w->items.size())
                                        ? w->items.size()
                                        : static_cast<std::size_t>(at);
            w->items.insert(w->items.begin() + static_cast<long>(pos),
                            lParam ? reinterpret_cast<const wchar_t*>(lParam) : L"");
            return static_cast<LRESULT>(pos);
        }
        if (msg == del) {
            const LRESULT i = ListIndexOrErr(w, wParam);
            if (i == CB_ERR) return CB_ERR;
            w->items.erase(w->items.begin() + i);
            if (w->selected == i) w->selected = -1;
            if (w->selected > i) --w->selected;
            return static_cast<LRESULT>(w->items.size());
        }
        if (msg == reset) {
            w->items.clear();
            w->selected = -1;
            return 0;
        }
        if (msg == setSel) {
            const LRESULT i = ListIndexOrErr(w, wParam);
            w->selected = static_cast<int>(i);
            return i;
        }
        if (msg == getSel) return w->selected;
        if (msg == getText) {
            const LRESULT i = ListIndexOrErr(w, wParam);
            return i == CB_ERR ? CB_ERR : CopyOut(w->items[static_cast<std::size_t>(i)], lParam);
        }
        if (msg == count) return static_cast<LRESULT>(w->items.size());
        return 0;
    }
    if (w->kind == ControlKind::ListView) {
        switch (msg) {
            case LVM_INSERTCOLUMNW: {
                const auto* col = reinterpret_cast<const LVCOLUMN*>(lParam);
                if (!col) return -1;
                const int at = static_cast<int>(wParam);
                const std::size_t pos = at < 0 || at > static_cast<int>(w->columns.size())
                                            ? w->columns.size()
                                            : static_cast<std::size_t>(at);
                w->columns.insert(w->columns.begin() + static_cast<long>(pos),
                                  col->pszText ? col->pszText : L"");
                return static_cast<LRESULT>(pos);
            }
            case LVM_INSERTITEMW: {
                const auto* item = reinterpret_cast<const LVITEM*>(lParam);
                if (!item) return -1;
                const std::size_t pos =
                    item->iItem < 0 || item->iItem > static_cast<int>(w->rows.size())
                        ? w->rows.size()
                        : static_cast<std::size_t>(item->iItem);
                std::vector<std::wstring> row(std::max<std::size_t>(1, w->columns.size()));
                row[0] = item->pszText ? item->pszText : L"";
                w->rows.insert(w->rows.begin() + static_cast<long>(pos), std::move(row));
                if (w->selected >= static_cast<int>(pos)) ++w->selected;
                return static_cast<LRESULT>(pos);
            }
            case LVM_SETITEMTEXTW: {
                const auto* item = reinterpret_cast<const LVITEM*>(lParam);
                const int i = static_cast<int>(wParam);
                if (!item || i < 0 || i >= static_cast<int>(w->rows.size()) || item->iSubItem < 0) {
                    return FALSE;
                }
                auto& row = w->rows[static_cast<std::size_t>(i)];
                if (static_cast<std::size_t>(item->iSubItem) >= row.size()) {
                    row.resize(static_cast<std::size_t>(item->iSubItem) + 1);
                }
                row[static_cast<std::size_t>(item->iSubItem)] = item->pszText ? item->pszText : L"";
                return TRUE;
            }
            case LVM_DELETEITEM: {
                const int i = static_cast<int>(wParam);
                if (i < 0 || i >= static_cast<int>(w->rows.size())) return FALSE;
                w->rows.erase(w->rows.begin() + i);
                if (w->selected == i) w->selected = -1;
                if (w->selected > i) --w->selected;
                return TRUE;
            }
            case LVM_DELETEALLITEMS:
                w->rows.clear();
                w->selected = -1;
                return TRUE;
            case LVM_GETITEMCOUNT:
                return static_cast<LRESULT>(w->rows.size());
            case LVM_GETNEXTITEM: {
                const int start = static_cast<int>(wParam);
                if ((lParam & LVNI_SELECTED) == 0) {
                    return start + 1 < static_cast<int>(w->rows.size()) ? start + 1 : -1;
                }
                return w->selected > start ? w->selected : -1;
            }
            case LVM_SETITEMSTATE: {
                const auto* item = reinterpret_cast<const LVITEM*>(lParam);
                const int i = static_cast<int>(wParam);
                if (!item || (item->stateMask & LVIS_SELECTED) == 0) return TRUE;
                const bool select = (item->state & LVIS_SELECTED) != 0;
                if (i == -1) {
                    if (!select) w->selected = -1;
                    return TRUE;
                }
                if (i < 0 || i >= static_cast<int>(w->rows.size())) return FALSE;
                if (select) {
                    w->selected = i;
                } else if (w->selected == i) {
                    w->selected = -1;
                }
                return TRUE;
            }
            default:
                return 0;
        }
    }
    return 0;
}

}  // namespace

Window* FromHandle(HWND h) {
    auto* w = reinterpret_cast<Window*>(h);
    return w && Live().count(w) ? w : nullptr;
}

LRESULT NotifyParent(Window* c, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (!c || !c->parent) return 0;
    return SendMessageW(ToHandle(c->parent), msg, wParam, lParam);
}

std::wstring SpinnerText(const Window* s) {
    wchar_t buffer[64];
    if (s->integer) {
        std::swprintf(buffer, 64, L"%d", static_cast<int>(s->value));
    } else {
        std::swprintf(buffer, 64, L"%.3f", static_cast<double>(s->value));
    }
    return buffer;
}

void StoreSpinnerValue(Window* s, float v) {
    if (std::isnan(v)) return;
    if (s->integer) v = std::round(v);
    s->value = std::min(std::max(v, s->low), s->high);
    if (s->linkedEdit && FromHandle(ToHandle(s->linkedEdit))) s->linkedEdit->text = SpinnerText(s);
}

}  // namespace winmodel

using winmodel::FromHandle;
using winmodel::ToHandle;
using winmodel::Window;

HWND CreateDialogParamW(HINSTANCE hInstance, const wchar_t* lpTemplateName, HWND hWndParent,
                        DLGPROC lpDialogFunc, LPARAM dwInitParam) {
    if (!IS_INTRESOURCE(lpTemplateName)) return nullptr;
    const int id = static_cast<int>(reinterpret_cast<UINT_PTR>(lpTemplateName));
    const MaxSDK::Util::DialogTemplate* tpl = MaxSDK::Util::FindDialogTemplate(hInstance, id);
    if (!tpl) return nullptr;
    auto* dialog = new Window();
    dialog->kind = WinStandIn::ControlKind::Dialog;
    dialog->templateId = id;
    dialog->text = tpl->caption;
    dialog->proc = lpDialogFunc;
    dialog->parent = FromHandle(hWndParent);
    for (const MaxSDK::Util::DialogControl& c : tpl->controls) {
        auto control = std::make_unique<Window>();
        control->id = c.id;
        control->kind = winmodel::KindOf(c.type);
        control->text = c.text;
        control->parent = dialog;
        if (control->kind == WinStandIn::ControlKind::Slider) {
            control->low = 0.0f;
            control->high = 100.0f;
        }
        winmodel::Live().insert(control.get());
        dialog->children.push_back(std::move(control));
    }
    winmodel::Live().insert(dialog);
    winmodel::LiveDialogs().insert(dialog);
    if (lpDialogFunc) lpDialogFunc(ToHandle(dialog), WM_INITDIALOG, 0, dwInitParam);
    // A procedure that destroyed its dialog while it initialised leaves nothing behind.
    return FromHandle(ToHandle(dialog)) ? ToHandle(dialog) : nullptr;
}

BOOL DestroyWindow(HWND hWnd) {
    Window* w = FromHandle(hWnd);
    if (!w || w->kind != WinStandIn::ControlKind::Dialog) return FALSE;
    if (w->proc) w->proc(hWnd, WM_DESTROY, 0, 0);
    winmodel::Forget(w);
    delete w;
    return TRUE;
}

BOOL IsWindow(HWND hWnd) { return FromHandle(hWnd) ? TRUE : FALSE; }

HWND GetDlgItem(HWND hDlg, int nIDDlgItem) {
    Window* d = FromHandle(hDlg);
    if (!d || nIDDlgItem == -1) return nullptr;
    for (auto& c : d->children) {
        if (c->id == nIDDlgItem) return ToHandle(c.get());
    }
    return nullptr;
}

int GetDlgCtrlID(HWND hWnd) {
    Window* w = FromHandle(hWnd);
    return w ? w->id : 0;
}

HWND GetParent(HWND hWnd) {
    Window* w = FromHandle(hWnd);
    return w && w->parent ? ToHandle(w->parent) : nullptr;
}

LRESULT SendMessageW(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    Window* w = FromHandle(hWnd);
    if (!w) return 0;
    if (w->kind == WinStandIn::ControlKind::Dialog) {
        return w->proc ? w->proc(hWnd, msg, wParam, lParam) : 0;
    }
    return winmodel::ControlMessage(w, msg, wParam, lParam);
}

LRESULT SendDlgItemMessageW(HWND hDlg, int nIDDlgItem, UINT msg, WPARAM wParam, LPARAM lParam) {
    return SendMessageW(GetDlgItem(hDlg, nIDDlgItem), msg, wParam, lParam);
}

BOOL EnableWindow(HWND hWnd, BOOL bEnable) {
    Window* w = FromHandle(hWnd);
    if (!w) return FALSE;
    const bool wasDisabled = !w->enabled;
    w->enabled = bEnable != 0;
    return wasDisabled ? TRUE : FALSE;
}

BOOL IsWindowEnabled(HWND hWnd) {
    Window* w = FromHandle(hWnd);
    return w && w->enabled ? TRUE : FALSE;
}

BOOL SetWindowTextW(HWND hWnd, const wchar_t* text) {
    Window* w = FromHandle(hWnd);
    if (!w) return FALSE;
    w->text = text ? text : L"";
    return TRUE;
}

int GetWindowTextW(HWND hWnd, wchar_t* buffer, int maxCount) {
    Window* w = FromHandle(hWnd);
    if (!buffer || maxCount <= 0) return 0;
    buffer[0] = L'\0';
    if (!w) return 0;
    const int n = std::min(static_cast<int>(w->text.size()), maxCount - 1);
    std::wmemcpy(buffer, w->text.c_str(), static_cast<std::size_t>(n));
    buffer[n] = L'\0';
    return n;
}

BOOL SetDlgItemTextW(HWND hDlg, int nIDDlgItem, const wchar_t* text) {
    return SetWindowTextW(GetDlgItem(hDlg, nIDDlgItem), text);
}

BOOL CheckDlgButton(HWND hDlg, int nIDButton, UINT uCheck) {
    Window* w = FromHandle(GetDlgItem(hDlg, nIDButton));
    if (!w) return FALSE;
    w->checked = uCheck == BST_CHECKED;
    return TRUE;
}

UINT IsDlgButtonChecked(HWND hDlg, int nIDButton) {
    Window* w = FromHandle(GetDlgItem(hDlg, nIDButton));
    return w && w->checked ? BST_CHECKED : BST_UNCHECKED;
}

BOOL CheckRadioButton(HWND hDlg, int nIDFirstButton, int nIDLastButton, int nIDCheckButton) {
    Window* d = FromHandle(hDlg);
    if (!d) return FALSE;
    for (auto& c : d->children) {
        if (c->id >= nIDFirstButton && c->id <= nIDLastButton) c->checked = c->id == nIDCheckButton;
    }
    return TRUE;
}

LONG_PTR SetWindowLongPtrW(HWND hWnd, int nIndex, LONG_PTR value) {
    Window* w = FromHandle(hWnd);
    if (!w || nIndex != GWLP_USERDATA) return 0;
    const LONG_PTR old = w->userData;
    w->userData = value;
    return old;
}

LONG_PTR GetWindowLongPtrW(HWND hWnd, int nIndex) {
    Window* w = FromHandle(hWnd);
    return w && nIndex == GWLP_USERDATA ? w->userData : 0;
}

INT_PTR GetStockObject(int which) { return which; }
int SetBkMode(HDC /*hdc*/, int /*mode*/) { return OPAQUE; }

HCURSOR LoadCursorW(HINSTANCE /*hInstance*/, const wchar_t* lpCursorName) {
    if (!IS_INTRESOURCE(lpCursorName)) return nullptr;
    return reinterpret_cast<HCURSOR>(const_cast<wchar_t*>(lpCursorName));
}

namespace {
WinStandIn::ShellExecuteHandler& ShellHandler() {
    static WinStandIn::ShellExecuteHandler handler;
    return handler;
}
}  // namespace

HINSTANCE ShellExecuteW(HWND /*hwnd*/, const wchar_t* lpOperation, const wchar_t* lpFile,
                        const wchar_t* /*lpParameters*/, const wchar_t* /*lpDirectory*/,
                        int /*nShowCmd*/) {
    // Windows answers a value above 32 for success and an error number up to 32 otherwise.
    const bool ok = ShellHandler() &&
                    ShellHandler()(lpOperation ? lpOperation : L"open", lpFile ? lpFile : L"");
    return reinterpret_cast<HINSTANCE>(static_cast<UINT_PTR>(ok ? 42 : 2));
}

namespace WinStandIn {

const char* ControlKindName(ControlKind kind) {
    switch (kind) {
        case ControlKind::Dialog:
            return "dialog";
        case ControlKind::Static:
            return "label";
        case ControlKind::Group:
            return "group";
        case ControlKind::Button:
            return "button";
        case ControlKind::CheckBox:
            return "checkbox";
        case ControlKind::Radio:
            return "radio";
        case ControlKind::Edit:
            return "edit";
        case ControlKind::Spinner:
            return "spinner";
        case ControlKind::Slider:
            return "slider";
        case ControlKind::ComboBox:
            return "dropdown";
        case ControlKind::ListBox:
            return "listbox";
        case ControlKind::ListView:
            return "listview";
        case ControlKind::ColorSwatch:
            return "colorswatch";
        case ControlKind::Image:
            return "image";
    }
    return "label";
}

std::vector<HWND> DialogControls(HWND hDlg) {
    std::vector<HWND> out;
    Window* d = FromHandle(hDlg);
    if (!d || d->kind != ControlKind::Dialog) return out;
    for (auto& c : d->children) out.push_back(ToHandle(c.get()));
    return out;
}

std::wstring DialogCaption(HWND hDlg) {
    Window* d = FromHandle(hDlg);
    return d ? d->text : std::wstring();
}

ControlInfo DescribeControl(HWND hCtrl) {
    ControlInfo info;
    Window* w = FromHandle(hCtrl);
    if (!w) return info;
    info.id = w->id;
    info.kind = w->kind;
    info.text = w->text;
    info.enabled = w->enabled;
    info.checked = w->checked;
    info.items = w->items;
    info.selected = w->selected;
    info.columns = w->columns;
    info.rows = w->rows;
    info.customButton = w->customButton;
    info.checkButton = w->checkButton;
    info.icon = w->icon;
    info.tooltip = w->tooltip;
    info.highlight = w->highlight;
    info.integer = w->integer;
    info.value = w->value;
    info.low = w->low;
    info.high = w->high;
    info.linkedEdit = w->linkedEdit ? w->linkedEdit->id : -1;
    return info;
}

int LiveDialogCount() { return static_cast<int>(winmodel::LiveDialogs().size()); }

bool UserClick(HWND hCtrl) {
    Window* w = FromHandle(hCtrl);
    if (!w || !w->enabled || !w->parent) return false;
    switch (w->kind) {
        case ControlKind::Button:
            if (w->checkButton) w->checked = !w->checked;
            break;
        case ControlKind::CheckBox:
            w->checked = !w->checked;
            break;
        case ControlKind::Radio: {
            // The group: the radio buttons next to this one in the template.
            auto& siblings = w->parent->children;
            std::size_t at = 0;
            while (siblings[at].get() != w) ++at;
            std::size_t first = at;
            while (first > 0 && siblings[first - 1]->kind == ControlKind::Radio) --first;
            for (std::size_t i = first;
                 i < siblings.size() && siblings[i]->kind == ControlKind::Radio; ++i) {
                siblings[i]->checked = siblings[i].get() == w;
            }
            break;
        }
        default:
            return false;
    }
    winmodel::NotifyParent(w, WM_COMMAND, MAKEWPARAM(w->id, BN_CLICKED),
                           reinterpret_cast<LPARAM>(hCtrl));
    return true;
}

bool UserChoose(HWND hCtrl, int index) {
    Window* w = FromHandle(hCtrl);
    if (!w || !w->enabled || !w->parent || index < 0) return false;
    if (w->kind == ControlKind::ComboBox || w->kind == ControlKind::ListBox) {
        if (index >= static_cast<int>(w->items.size())) return false;
        w->selected = index;
        const WORD code = w->kind == ControlKind::ComboBox ? CBN_SELCHANGE : LBN_SELCHANGE;
        winmodel::NotifyParent(w, WM_COMMAND, MAKEWPARAM(w->id, code),
                               reinterpret_cast<LPARAM>(hCtrl));
        return true;
    }
    if (w->kind != ControlKind::ListView || index >= static_cast<int>(w->rows.size())) {
        return false;
    }
    w->selected = index;
    NMLISTVIEW nm{};
    nm.hdr.hwndFrom = hCtrl;
    nm.hdr.idFrom = static_cast<UINT_PTR>(w->id);
    nm.hdr.code = LVN_ITEMCHANGED;
    nm.iItem = index;
    nm.uNewState = LVIS_SELECTED | LVIS_FOCUSED;
    nm.uChanged = LVIF_STATE;
    winmodel::NotifyParent(w, WM_NOTIFY, static_cast<WPARAM>(w->id), reinterpret_cast<LPARAM>(&nm));
    return true;
}

bool UserType(HWND hEdit, const std::wstring& text) {
    Window* w = FromHandle(hEdit);
    if (!w || !w->enabled || !w->parent || w->kind != ControlKind::Edit) return false;
    if (Window* s = w->linkedSpinner; s && FromHandle(ToHandle(s))) {
        if (!s->enabled) return false;
        wchar_t* end = nullptr;
        const float v = std::wcstof(text.c_str(), &end);
        if (end == text.c_str() || *end != L'\0' || std::isnan(v)) return false;
        winmodel::StoreSpinnerValue(s, v);
        const bool slider = s->kind == ControlKind::Slider;
        ISpinnerControl* isc = slider ? nullptr : GetISpinner(ToHandle(s));
        ISliderControl* isl = slider ? GetISlider(ToHandle(s)) : nullptr;
        const LPARAM l = slider ? reinterpret_cast<LPARAM>(isl) : reinterpret_cast<LPARAM>(isc);
        winmodel::NotifyParent(s, slider ? CC_SLIDER_CHANGE : CC_SPINNER_CHANGE,
                               MAKEWPARAM(s->id, FALSE), l);
        ReleaseISpinner(isc);
        ReleaseISlider(isl);
        return true;
    }
    w->text = text;
    w->gotReturn = true;
    winmodel::NotifyParent(w, WM_COMMAND, MAKEWPARAM(w->id, EN_CHANGE),
                           reinterpret_cast<LPARAM>(hEdit));
    winmodel::NotifyParent(w, WM_CUSTEDIT_ENTER, static_cast<WPARAM>(w->id),
                           reinterpret_cast<LPARAM>(hEdit));
    return true;
}

bool UserSetSpinner(HWND hSpinner, float value) {
    Window* s = FromHandle(hSpinner);
    if (!s || !s->enabled || !s->parent || std::isnan(value)) return false;
    const bool slider = s->kind == ControlKind::Slider;
    if (!slider && s->kind != ControlKind::Spinner) return false;
    ISpinnerControl* isc = slider ? nullptr : GetISpinner(hSpinner);
    ISliderControl* isl = slider ? GetISlider(hSpinner) : nullptr;
    const LPARAM l = slider ? reinterpret_cast<LPARAM>(isl) : reinterpret_cast<LPARAM>(isc);
    const UINT down = slider ? CC_SLIDER_BUTTONDOWN : CC_SPINNER_BUTTONDOWN;
    const UINT change = slider ? CC_SLIDER_CHANGE : CC_SPINNER_CHANGE;
    const UINT up = slider ? CC_SLIDER_BUTTONUP : CC_SPINNER_BUTTONUP;
    winmodel::NotifyParent(s, down, MAKEWPARAM(s->id, 0), l);
    winmodel::StoreSpinnerValue(s, value);
    winmodel::NotifyParent(s, change, MAKEWPARAM(s->id, TRUE), l);
    winmodel::NotifyParent(s, up, MAKEWPARAM(s->id, TRUE), l);
    ReleaseISpinner(isc);
    ReleaseISlider(isl);
    return true;
}

int CursorResourceID(HCURSOR cursor) {
    return static_cast<int>(reinterpret_cast<UINT_PTR>(cursor));
}

ShellExecuteHandler SetShellExecuteHandler(ShellExecuteHandler handler) {
    ShellExecuteHandler previous = std::move(ShellHandler());
    ShellHandler() = std::move(handler);
    return previous;
}

}  // namespace WinStandIn
