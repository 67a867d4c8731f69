// What every rollout of the object shares: the object a parameter map edits, the custom buttons'
// look, the help links, and running a command as one undoable step.
#pragma once

#include <functional>

#include "iparamm2.h"
#include "strclass.h"
#include "windows.h"

class Trellon;

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

}  // namespace trellon::ui
