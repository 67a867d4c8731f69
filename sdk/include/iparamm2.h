// Parameter maps: a rollout of the command panel bound to a parameter block.
//
// CreateCPParamMap2 adds a rollout made from the dialog template (Interface::AddRollupPage) and
// binds the automatic controls of every parameter whose p_ui names this map (iparamb2.h):
//   TYPE_SPINNER / TYPE_SLIDER  the spinner or slider, linked to its edit, with the parameter's
//                               range as limits (without one, +-1e30), its scale and value
//   TYPE_RADIO                  the button of the value (or of its p_vals entry) checked
//   TYPE_SINGLECHECKBOX         checked for a non-zero value
//   TYPE_INT_COMBOBOX           the item strings listed, the value's entry selected
// Other kinds of p_ui are kept by the descriptor but get no binding here.
//
// Both directions:
//   - the user's change of a bound control sets the parameter at the core interface's time, in
//     one undo step named "Parameter Change" (nested in an open hold, it joins that one);
//   - a change of a bound parameter (the block's REFMSG_CHANGE, whoever made it, undo included)
//     shows the new value in its controls at once, without notifying anyone.
// Messages reach the map's own dialog procedure first; it handles the automatic controls, then
// hands every message to the user's ParamMap2UserDlgProc (WM_INITDIALOG after the controls are
// filled, WM_COMMAND and the spinner messages after the parameter is set).
//
// Invalidate() (and ParamBlockDesc2::InvalidateUI, which invalidates every open map of the
// descriptor) shows every bound parameter again and then calls the user procedure's Update: the
// place where a rollout refreshes what it fills itself (lists, labels). The stand-in refreshes at
// once instead of at the next redraw.
//
// DestroyCPParamMap2 deletes the rollout (WM_DESTROY reaches the user procedure), calls the user
// procedure's DeleteThis and deletes the map.
#pragma once

#include "custcont.h"
#include "iparamb2.h"
#include "maxapi.h"
#include "windows.h"

class IParamMap2;

class ParamMap2UserDlgProc {
public:
    virtual ~ParamMap2UserDlgProc() = default;
    // Answers TRUE for a message it handled.
    virtual INT_PTR DlgProc(TimeValue t, IParamMap2* map, HWND hWnd, UINT msg, WPARAM wParam,
                            LPARAM lParam) = 0;
    // Called when the map is destroyed (static procedures do nothing).
    virtual void DeleteThis() = 0;
    virtual void SetThing(ReferenceTarget* /*m*/) {}
    // Called when the map is invalidated, after its automatic controls are shown again.
    virtual void Update(TimeValue /*t*/) {}
};

class IParamMap2 {
public:
    virtual ~IParamMap2() = default;
    virtual HWND GetHWnd() = 0;
    virtual MapID GetMapID() = 0;
    virtual IParamBlock2* GetParamBlock() = 0;
    virtual ParamBlockDesc2* GetDesc() = 0;
    virtual ParamMap2UserDlgProc* GetUserDlgProc() = 0;
    virtual void SetUserDlgProc(ParamMap2UserDlgProc* proc = nullptr) = 0;
    // Shows the parameter's value in its controls again (id -1: every bound parameter, then the
    // user procedure's Update).
    virtual void Invalidate(ParamID id = -1, int tabIndex = -1) = 0;
    // Enables or disables the parameter's controls.
    virtual void Enable(ParamID id, BOOL onOff, int tabIndex = -1) = 0;
    // Sets the text of the parameter's control (a check box's or button's caption).
    virtual void SetText(ParamID id, const MCHAR* txt, int tabIndex = -1) = 0;
    virtual void SetTooltip(ParamID id, BOOL onOff, const MCHAR* txt, int tabIndex = -1) = 0;
};

IParamMap2* CreateCPParamMap2(MapID map_id, IParamBlock2* pb, Interface* ip, HINSTANCE hInst,
                              const MCHAR* dlgTemplate, const MCHAR* title, DWORD flags,
                              ParamMap2UserDlgProc* dlgProc = nullptr, HWND hOldRollup = nullptr,
                              int category = ROLLUP_CAT_STANDARD);
void DestroyCPParamMap2(IParamMap2* m);
