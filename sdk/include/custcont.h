// The host's custom controls: spinners, sliders, custom edits, custom buttons, and the roll-up
// window of the command panel.
//
// A custom control is a window of a dialog (winuser.h); its interface is fetched by handle with
// GetISpinner, GetISlider, GetICustEdit or GetICustButton, which answer null for a handle that is
// not that kind of control, and given back with the matching Release call. As in the SDK, each
// Get makes a new interface object on the control and its Release deletes it; the control's state
// lives in the window, so two interfaces of one control see the same values.
//
// Notifications to the parent dialog, as the SDK documents them:
//   - a spinner the user drags sends CC_SPINNER_BUTTONDOWN, then CC_SPINNER_CHANGE for the new
//     value (HIWORD(wParam) TRUE while dragging), then CC_SPINNER_BUTTONUP (HIWORD(wParam) TRUE:
//     the drag was accepted); a value typed into its linked edit sends one CC_SPINNER_CHANGE with
//     HIWORD(wParam) FALSE. LOWORD(wParam) is the spinner's ID, lParam its ISpinnerControl.
//   - SetValue(v, notify) with notify TRUE sends CC_SPINNER_CHANGE as a typed value does; with
//     FALSE nothing is sent. Values are clamped to the limits (SetLimits; limitCurValue clamps the
//     current one at once).
//   - sliders do the same with CC_SLIDER_CHANGE, CC_SLIDER_BUTTONDOWN, CC_SLIDER_BUTTONUP.
//   - a custom edit sends WM_CUSTEDIT_ENTER (wParam: its ID, lParam: its window) when the user
//     presses Enter.
//   - a custom button sends WM_COMMAND (ID, BN_CLICKED) when clicked; a check-type button
//     (CBT_CHECK) toggles its check first. A disabled control takes no user action.
// The stand-in adds no timing: a spinner's drag is the three messages in a row.
//
// Icons of custom buttons are named by resource path (":/add") at a size in pixels; the name is
// kept and shown, not loaded (the host draws nothing).
//
// IRollupWindow: the command panel's stack of rollouts. Each panel is one dialog with a title,
// open or rolled up. AppendRollup makes the dialog from the module's template (CreateDialogParamW,
// so WM_INITDIALOG arrives before it returns) and adds it at the end of its category; with
// APPENDROLL_CLOSED it starts rolled up. DeleteRollup destroys the dialogs (WM_DESTROY).
#pragma once

#include <string>

#include "iparamb2.h"
#include "maxapi.h"
#include "strclass.h"
#include "windows.h"

// Spinner and slider messages.
constexpr UINT CC_SPINNER_CHANGE = WM_USER + 600;
constexpr UINT CC_SPINNER_BUTTONDOWN = WM_USER + 601;
constexpr UINT CC_SPINNER_BUTTONUP = WM_USER + 602;
constexpr UINT CC_SLIDER_CHANGE = WM_USER + 611;
constexpr UINT CC_SLIDER_BUTTONDOWN = WM_USER + 612;
constexpr UINT CC_SLIDER_BUTTONUP = WM_USER + 613;
constexpr UINT WM_CUSTEDIT_ENTER = WM_USER + 685;

class ICustomControl {
public:
    virtual ~ICustomControl() = default;
    virtual HWND GetHwnd() = 0;
    virtual void Enable(BOOL onOff = TRUE) = 0;
    virtual void Disable() = 0;
    virtual BOOL IsEnabled() = 0;
};

class ISpinnerControl : public ICustomControl {
public:
    virtual float GetFVal() = 0;
    virtual int GetIVal() = 0;
    virtual void SetAutoScale(BOOL on = TRUE) = 0;
    virtual void SetScale(float s) = 0;
    virtual void SetValue(float v, int notify) = 0;
    virtual void SetValue(int v, int notify) = 0;
    virtual void SetLimits(int min, int max, int limitCurValue = TRUE) = 0;
    virtual void SetLimits(float min, float max, int limitCurValue = TRUE) = 0;
    // Shows the value in hEdit (a custom edit) and takes numbers typed there; type says whether
    // the spinner is an integer one (EDITTYPE_INT, EDITTYPE_POS_INT, EDITTYPE_TIME).
    virtual void LinkToEdit(HWND hEdit, EditSpinnerType type) = 0;
    virtual void SetIndeterminate(BOOL i = TRUE) = 0;
    virtual BOOL IsIndeterminate() = 0;
    virtual void SetResetValue(float v) = 0;
    virtual void SetResetValue(int v) = 0;
};

class ISliderControl : public ICustomControl {
public:
    virtual float GetFVal() = 0;
    virtual int GetIVal() = 0;
    virtual void SetNumSegs(int num) = 0;
    virtual void SetValue(float v, int notify) = 0;
    virtual void SetValue(int v, int notify) = 0;
    virtual void SetLimits(int min, int max, int limitCurValue = TRUE) = 0;
    virtual void SetLimits(float min, float max, int limitCurValue = TRUE) = 0;
    virtual void LinkToEdit(HWND hEdit, EditSpinnerType type) = 0;
    virtual void SetResetValue(float v) = 0;
    virtual void SetResetValue(int v) = 0;
};

class ICustEdit : public ICustomControl {
public:
    virtual void GetText(MCHAR* text, int ct) = 0;
    virtual void GetText(MSTR& text) const = 0;
    virtual int GetTextLength() const = 0;
    virtual void SetText(const MCHAR* text) = 0;
    virtual void SetText(int i) = 0;
    virtual void SetText(float f, int precision = 3) = 0;
    // The text read as a number; valid (when given) FALSE when it is not one.
    virtual int GetInt(BOOL* valid = nullptr) = 0;
    virtual float GetFloat(BOOL* valid = nullptr) = 0;
    virtual void WantReturn(BOOL yesNo) = 0;
    // TRUE once after the user pressed Enter (the edit wants returns).
    virtual BOOL GotReturn() = 0;
};

enum CustButType { CBT_PUSH = 0, CBT_CHECK = 1 };

class ICustButton : public ICustomControl {
public:
    virtual void GetText(MCHAR* text, int ct) = 0;
    virtual void SetText(const MCHAR* text) = 0;
    virtual void SetType(CustButType type) = 0;
    virtual void SetCheck(BOOL checked) = 0;
    virtual BOOL IsChecked() = 0;
    virtual void SetHighlightColor(COLORREF clr) = 0;
    virtual COLORREF GetHighlightColor() = 0;
    virtual void SetTooltip(BOOL onOff, const MCHAR* text) = 0;
    // The icon by resource path, drawn at width x height pixels.
    virtual void SetIcon(const MCHAR* iconName, int width, int height) = 0;
};

// The interfaces of a control; null when the handle is not a control of that kind.
ISpinnerControl* GetISpinner(HWND hCtrl);
void ReleaseISpinner(ISpinnerControl* isc);
ISliderControl* GetISlider(HWND hCtrl);
void ReleaseISlider(ISliderControl* isc);
ICustEdit* GetICustEdit(HWND hCtrl);
void ReleaseICustEdit(ICustEdit* ice);
ICustButton* GetICustButton(HWND hCtrl);
void ReleaseICustButton(ICustButton* icb);

class IRollupWindow {
public:
    virtual ~IRollupWindow() = default;
    // Adds a rollout made from template dlgTemplate of hInst; returns its index, -1 when the
    // template cannot be made.
    virtual int AppendRollup(HINSTANCE hInst, const MCHAR* dlgTemplate, DLGPROC dlgProc,
                             const MCHAR* title, LPARAM param = 0, DWORD flags = 0,
                             int category = ROLLUP_CAT_STANDARD) = 0;
    // Destroys count rollouts from index on.
    virtual void DeleteRollup(int index, int count) = 0;
    virtual int GetNumPanels() = 0;
    virtual HWND GetPanelDlg(int index) = 0;
    // The index of the rollout whose dialog is hWnd, -1 when none.
    virtual int GetPanelIndex(HWND hWnd) = 0;
    virtual MSTR GetPanelTitle(int index) = 0;
    virtual BOOL IsPanelOpen(int index) = 0;
    virtual void SetPanelOpen(int index, BOOL isOpen, BOOL ignoreFlags = TRUE) = 0;
    virtual int GetPanelCategory(int index) = 0;
};

// A new, empty roll-up window (the host makes one for its command panel). The caller deletes it;
// deleting it destroys its rollouts.
IRollupWindow* CreateRollupWindow();
