// What every rollout of the object shares: the object a parameter map edits, the custom buttons'
// look, the help links, and running a command as one undoable step.
#pragma once

#include <functional>

#include "iparamm2.h"
#include "strclass.h"
#include "windows.h"

namespace trellon {
class Trellon;
}

namespace trellon::ui {

// The Trellon object whose block the map shows; null when the block has no such owner.
Trellon* EditedObject(IParamMap2* map);
// The object whose rollouts are open (one at a time, from BeginEditParams to EndEditParams);
// null while none is.
Trellon* EditedObject();
void SetEditedObject(Trellon* obj);

// The highlight colour of the pick buttons while their pick mode is on.
inline constexpr COLORREF kPickHighlight = 0x5555B7;
// Icon size of the custom buttons, in pixels.
inline constexpr int kIconSize = 18;

// Sets up custom button id of dlg: check-type (a pick button, with the highlight) or push,
// with the icon (a resource path, or null for a text button) and the tooltip.
void SetUpButton(HWND dlg, int id, const MCHAR* icon, const MCHAR* tooltip, bool pickButton);
// Checks or unchecks a pick button.
void SetButtonChecked(HWND dlg, int id, bool checked);
void SetButtonText(HWND dlg, int id, const MCHAR* text);

// The spinner id of dlg linked to its edit, integer or float, with limits and a value (shown, not
// notified).
void SetUpSpinner(HWND dlg, int spinId, int editId, bool integer, float low, float high,
                  float value);
// Shows a value in a spinner without notifying.
void ShowSpinner(HWND dlg, int spinId, float value);
// The spinner's value.
float SpinnerValue(HWND dlg, int spinId);

// The help pages of the rollouts, opened in the default web browser.
enum class HelpPage { Title, Spline, Objects, Sweeps, Colour, Export, Maker };
void OpenHelp(HelpPage page);
// One of the maker's pages on the social networks (0 to 3).
void OpenSocialPage(int which);

// Runs a command as one undo step named `name`: the edit runs inside theHold's Begin and Accept.
// A command the set-up operations refuse (MAXException) changes nothing and shows its reason on
// the status line; nothing crosses into the host.
void RunCommand(const MCHAR* name, const std::function<void()>& edit);

// Enables or disables control id of dlg.
void EnableControl(HWND dlg, int id, bool on);

// The columns of a rollout's list (IDC_LIST): the row's number or letter, and its name.
void SetUpList(HWND dlg);

// The dialog procedure of a rollout that edits the object. It finds the edited object, sets the
// rollout up and fills it when it opens, hands the user's commands, list selections and spinner
// changes to the rollout, and fills it again on every Update (the object invalidates its
// rollouts after every edit, an undo included). A rollout overrides the hooks it uses.
class RolloutProc : public ParamMap2UserDlgProc {
public:
    // The rollout of parameter map `map`; `list`: it has a list (IDC_LIST) whose selection it
    // follows; `spinners`: it handles its own spinners (not the parameter map's).
    RolloutProc(int map, bool list, bool spinners) : map_(map), list_(list), spinners_(spinners) {}

    INT_PTR DlgProc(TimeValue t, IParamMap2* map, HWND hWnd, UINT msg, WPARAM wParam,
                    LPARAM lParam) final;
    void Update(TimeValue t) final;
    void DeleteThis() final {}

protected:
    // When the rollout opens, before it is first filled: buttons, spinners, list columns.
    virtual void SetUp(Trellon& /*obj*/, HWND /*hWnd*/, TimeValue /*t*/) {}
    // Shows the object's block in the rollout's own controls.
    virtual void Fill(Trellon& obj, HWND hWnd, TimeValue t) = 0;
    // A control's command: its id and the notification code.
    virtual void Command(Trellon& /*obj*/, HWND /*hWnd*/, int /*id*/, int /*code*/,
                         TimeValue /*t*/) {}
    // The user selected row `row` of the list.
    virtual void Select(Trellon& /*obj*/, HWND /*hWnd*/, int /*row*/, TimeValue /*t*/) {}
    // Spinner id changed.
    virtual void Spinner(Trellon& /*obj*/, HWND /*hWnd*/, int /*id*/, TimeValue /*t*/) {}

private:
    int map_;
    bool list_;
    bool spinners_;
};

}  // namespace trellon::ui
