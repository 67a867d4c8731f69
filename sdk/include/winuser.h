// The user-interface part of the Windows stand-in: dialog windows made from a module's dialog
// templates (resourcemodule.h), their controls by identifier, window messages to dialog
// procedures, and the standard controls' messages (buttons, check boxes, radio buttons, drop-down
// lists, list boxes, static texts). windows.h includes it, as it does on Windows.
//
// A dialog is a window with one child window per control of its template, in the template's
// order; a control's identifier is its template ID (GetDlgCtrlID). Nothing is drawn. The
// behaviour follows the Windows documentation where the module relies on it:
//   - CreateDialogParamW sends WM_INITDIALOG (lParam: the creation parameter) before it returns;
//     DestroyWindow sends WM_DESTROY to the dialog procedure, then frees the dialog and its
//     controls. A handle is checked on use: a destroyed or unknown one makes the calls answer 0
//     (FALSE, no text, no window) and change nothing.
//   - SendMessage on a dialog calls its procedure; on a control it runs the control's message
//     (BM_SETCHECK, CB_ADDSTRING, LVM_INSERTITEMW, ...) and answers as Windows does (CB_ERR for a
//     list index that is not there). Setting a control's state by message never notifies the
//     parent: as on Windows, only the user's actions do.
//   - EnableWindow / IsWindowEnabled: a disabled control refuses the user's actions.
//   - Auto radio buttons form a group: the radio buttons that stand next to each other in the
//     template; clicking one unchecks the others of its group.
//
// The user's actions are stand-in extensions (WinStandIn::User*): what Windows does when the user
// clicks, types or chooses, down to the notification the parent dialog receives (WM_COMMAND with
// BN_CLICKED / CBN_SELCHANGE / LBN_SELCHANGE, WM_NOTIFY with LVN_ITEMCHANGED, the custom controls'
// messages in custcont.h). Each answers false, changing nothing, for a disabled control or a
// request the control cannot take (a list row that is not there), so a host driving the panel can
// report the refusal.
//
// ShellExecuteW opens nothing: it hands the request to the host's handler
// (WinStandIn::SetShellExecuteHandler), which records it; without a handler it answers failure.
#pragma once

#include <functional>
#include <string>
#include <vector>

// windows.h declares the handles and basic types; it includes this file at its end.

using LONG_PTR = long;
using DLGPROC = INT_PTR (*)(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam);
using COLORREF = DWORD;
struct HCURSOR__;
using HCURSOR = HCURSOR__*;
struct HDC__;
using HDC = HDC__*;

constexpr WORD LOWORD(UINT_PTR v) { return static_cast<WORD>(v & 0xFFFF); }
constexpr WORD HIWORD(UINT_PTR v) { return static_cast<WORD>((v >> 16) & 0xFFFF); }
constexpr WPARAM MAKEWPARAM(int lo, int hi) {
    return static_cast<WPARAM>((static_cast<unsigned>(lo) & 0xFFFF) |
                               ((static_cast<unsigned>(hi) & 0xFFFF) << 16));
}
// A template identifier passed where a resource name is expected.
inline const wchar_t* MAKEINTRESOURCE(int id) {
    return reinterpret_cast<const wchar_t*>(static_cast<UINT_PTR>(static_cast<unsigned>(id)));
}
inline bool IS_INTRESOURCE(const wchar_t* name) {
    return (reinterpret_cast<UINT_PTR>(name) >> 16) == 0;
}

// Window messages.
constexpr UINT WM_DESTROY = 0x0002;
constexpr UINT WM_SETTEXT = 0x000C;
constexpr UINT WM_GETTEXT = 0x000D;
constexpr UINT WM_GETTEXTLENGTH = 0x000E;
constexpr UINT WM_DRAWITEM = 0x002B;
constexpr UINT WM_NOTIFY = 0x004E;
constexpr UINT WM_INITDIALOG = 0x0110;
constexpr UINT WM_COMMAND = 0x0111;
constexpr UINT WM_CTLCOLORSTATIC = 0x0138;
constexpr UINT WM_USER = 0x0400;

// Button notifications (HIWORD of WM_COMMAND's wParam) and messages.
constexpr WORD BN_CLICKED = 0;
constexpr UINT BM_GETCHECK = 0x00F0;
constexpr UINT BM_SETCHECK = 0x00F1;
constexpr UINT BST_UNCHECKED = 0;
constexpr UINT BST_CHECKED = 1;

// Drop-down lists.
constexpr WORD CBN_SELCHANGE = 1;
constexpr UINT CB_ADDSTRING = 0x0143;
constexpr UINT CB_DELETESTRING = 0x0144;
constexpr UINT CB_GETCOUNT = 0x0146;
constexpr UINT CB_GETCURSEL = 0x0147;
constexpr UINT CB_GETLBTEXT = 0x0148;
constexpr UINT CB_INSERTSTRING = 0x014A;
constexpr UINT CB_RESETCONTENT = 0x014B;
constexpr UINT CB_SETCURSEL = 0x014E;
constexpr LRESULT CB_ERR = -1;

// List boxes.
constexpr WORD LBN_SELCHANGE = 1;
constexpr UINT LB_ADDSTRING = 0x0180;
constexpr UINT LB_INSERTSTRING = 0x0181;
constexpr UINT LB_DELETESTRING = 0x0182;
constexpr UINT LB_RESETCONTENT = 0x0184;
constexpr UINT LB_SETCURSEL = 0x0186;
constexpr UINT LB_GETCURSEL = 0x0188;
constexpr UINT LB_GETTEXT = 0x0189;
constexpr UINT LB_GETCOUNT = 0x018B;
constexpr LRESULT LB_ERR = -1;

// Edit controls.
constexpr WORD EN_CHANGE = 0x0300;

// Background modes of SetBkMode and the stock null brush.
constexpr int TRANSPARENT = 1;
constexpr int OPAQUE = 2;
constexpr int NULL_BRUSH = 5;
INT_PTR GetStockObject(int which);
int SetBkMode(HDC hdc, int mode);

// What WM_DRAWITEM's lParam points to (the fields the module reads).
struct DRAWITEMSTRUCT {
    UINT CtlType;
    UINT CtlID;
    HWND hwndItem;
    HDC hDC;
    RECT rcItem;
};

// Dialogs and windows.
HWND CreateDialogParamW(HINSTANCE hInstance, const wchar_t* lpTemplateName, HWND hWndParent,
                        DLGPROC lpDialogFunc, LPARAM dwInitParam);
BOOL DestroyWindow(HWND hWnd);
BOOL IsWindow(HWND hWnd);
HWND GetDlgItem(HWND hDlg, int nIDDlgItem);
int GetDlgCtrlID(HWND hWnd);
HWND GetParent(HWND hWnd);
LRESULT SendMessageW(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam);
#define SendMessage SendMessageW
LRESULT SendDlgItemMessageW(HWND hDlg, int nIDDlgItem, UINT msg, WPARAM wParam, LPARAM lParam);
#define SendDlgItemMessage SendDlgItemMessageW
BOOL EnableWindow(HWND hWnd, BOOL bEnable);
BOOL IsWindowEnabled(HWND hWnd);
BOOL SetWindowTextW(HWND hWnd, const wchar_t* text);
#define SetWindowText SetWindowTextW
int GetWindowTextW(HWND hWnd, wchar_t* buffer, int maxCount);
#define GetWindowText GetWindowTextW
BOOL SetDlgItemTextW(HWND hDlg, int nIDDlgItem, const wchar_t* text);
#define SetDlgItemText SetDlgItemTextW
BOOL CheckDlgButton(HWND hDlg, int nIDButton, UINT uCheck);
UINT IsDlgButtonChecked(HWND hDlg, int nIDButton);
BOOL CheckRadioButton(HWND hDlg, int nIDFirstButton, int nIDLastButton, int nIDCheckButton);
// The per-window value of GWLP_USERDATA (dialog procedures keep their object there).
constexpr int GWLP_USERDATA = -21;
LONG_PTR SetWindowLongPtrW(HWND hWnd, int nIndex, LONG_PTR value);
LONG_PTR GetWindowLongPtrW(HWND hWnd, int nIndex);
#define SetWindowLongPtr SetWindowLongPtrW
#define GetWindowLongPtr GetWindowLongPtrW

// A cursor of the module's resources by identifier (MAKEINTRESOURCE). Nothing is loaded: the
// handle carries the identifier, which WinStandIn::CursorResourceID reads back.
HCURSOR LoadCursorW(HINSTANCE hInstance, const wchar_t* lpCursorName);
#define LoadCursor LoadCursorW

// Opens a file or an address with the program the user chose (here: the host's handler).
// Answers a value above 32 on success, as Windows does.
constexpr int SW_SHOWNORMAL = 1;
HINSTANCE ShellExecuteW(HWND hwnd, const wchar_t* lpOperation, const wchar_t* lpFile,
                        const wchar_t* lpParameters, const wchar_t* lpDirectory, int nShowCmd);
#define ShellExecute ShellExecuteW

namespace WinStandIn {

// --- What a host sees of a dialog ----------------------------------------------------------

enum class ControlKind {
    Dialog,
    Static,
    Group,
    Button,
    CheckBox,
    Radio,
    Edit,
    Spinner,
    Slider,
    ComboBox,
    ListBox,
    ListView,
    ColorSwatch,
    Image,
};

const char* ControlKindName(ControlKind kind);

// A control as it stands, for a host that shows the panel (--show) and drives it. The custom
// controls' state (custcont.h) is included: a custom button's kind, check, icon and tooltip, a
// spinner's value and limits, the edit a spinner is linked to.
struct ControlInfo {
    int id = -1;
    ControlKind kind = ControlKind::Static;
    std::wstring text;  // caption, edit text, a button's text
    bool enabled = true;
    bool checked = false;  // check boxes, radio buttons, check-type custom buttons
    // Drop-down lists, list boxes: the entries and the selected one (-1 none).
    std::vector<std::wstring> items;
    int selected = -1;
    // List views: the column titles and the rows' texts, and the selected row (selected).
    std::vector<std::wstring> columns;
    std::vector<std::vector<std::wstring>> rows;
    // Custom buttons.
    bool customButton = false;  // set up through GetICustButton
    bool checkButton = false;   // CBT_CHECK
    std::wstring icon;
    std::wstring tooltip;
    COLORREF highlight = 0;
    // Spinners and sliders.
    bool integer = false;
    float value = 0.0f;
    float low = 0.0f;
    float high = 0.0f;
    int linkedEdit = -1;  // the identifier of the edit the spinner shows its value in
};

// The controls of a dialog in template order; empty for a handle that is not a dialog.
std::vector<HWND> DialogControls(HWND hDlg);
// The dialog's template caption.
std::wstring DialogCaption(HWND hDlg);
ControlInfo DescribeControl(HWND hCtrl);
// Live dialogs (made by CreateDialogParamW and not destroyed).
int LiveDialogCount();

// --- The user's actions -----------------------------------------------------------------------
// Each returns false, changing nothing, when the control is disabled, gone, or of a kind that does
// not take the action.

// A click on a button, a check box (toggles it), a radio button (checks it, unchecks its group)
// or a custom button (a check-type one toggles): WM_COMMAND (id, BN_CLICKED) to the parent.
bool UserClick(HWND hCtrl);
// Choosing entry `index` of a drop-down list or list box (CBN_SELCHANGE / LBN_SELCHANGE), or row
// `index` of a list view (the row becomes the only selected one; LVN_ITEMCHANGED).
bool UserChoose(HWND hCtrl, int index);
// Typing text into an edit and pressing Enter: a custom edit sends WM_CUSTEDIT_ENTER; an edit
// linked to a spinner hands the number to the spinner, which clamps it to its limits and notifies
// as a typed value (CC_SPINNER_CHANGE with HIWORD(wParam) FALSE). false for a linked edit whose
// text is not a number.
bool UserType(HWND hEdit, const std::wstring& text);
// Setting a spinner or slider as a drag does: button down, the value (clamped to the limits) with
// CC_SPINNER_CHANGE / CC_SLIDER_CHANGE, button up.
bool UserSetSpinner(HWND hSpinner, float value);

// The resource identifier a LoadCursorW handle carries; 0 for null.
int CursorResourceID(HCURSOR cursor);

// --- Help links --------------------------------------------------------------------------------
using ShellExecuteHandler =
    std::function<bool(const std::wstring& operation, const std::wstring& file)>;
// Installs handler (an empty one restores "failure"); returns the previous one.
ShellExecuteHandler SetShellExecuteHandler(ShellExecuteHandler handler);

}  // namespace WinStandIn
