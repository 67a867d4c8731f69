// The windows behind HWND handles: a dialog and its controls, with every control's state. Shared
// by the dialog calls (dialogs.cpp), the custom controls (custcont.cpp) and the parameter maps.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "windows.h"

namespace winmodel {

struct Window {
    int id = -1;
    WinStandIn::ControlKind kind = WinStandIn::ControlKind::Static;
    std::wstring text;
    bool enabled = true;
    bool checked = false;
    Window* parent = nullptr;
    std::vector<std::unique_ptr<Window>> children;  // a dialog's controls, in template order
    int templateId = 0;                             // dialogs
    DLGPROC proc = nullptr;                         // dialogs
    LONG_PTR userData = 0;

    // Drop-down lists, list boxes and list views.
    std::vector<std::wstring> items;
    std::vector<std::wstring> columns;
    std::vector<std::vector<std::wstring>> rows;
    int selected = -1;

    // Custom buttons.
    bool customButton = false;
    bool checkButton = false;
    std::wstring icon;
    std::wstring tooltip;
    COLORREF highlight = 0;

    // Spinners and sliders; custom edits.
    bool integer = false;
    float value = 0.0f;
    float low = -1e30f;
    float high = 1e30f;
    Window* linkedEdit = nullptr;
    Window* linkedSpinner = nullptr;  // on an edit: the spinner showing its value here
    bool wantReturn = false;
    bool gotReturn = false;
};

// The window of a handle, or null when the handle is not a live window.
Window* FromHandle(HWND h);
inline HWND ToHandle(Window* w) { return reinterpret_cast<HWND>(w); }

// Sends msg to the dialog that holds control c (its parent); 0 without one.
LRESULT NotifyParent(Window* c, UINT msg, WPARAM wParam, LPARAM lParam);

// A spinner's or slider's value clamped to its limits (rounded for an integer one), and shown in
// its linked edit.
void StoreSpinnerValue(Window* s, float v);
// The text a spinner shows for its value.
std::wstring SpinnerText(const Window* s);

}  // namespace winmodel
