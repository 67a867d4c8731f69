// The custom controls' interfaces over the window model, and the roll-up window (custcont.h).
#include "custcont.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cwchar>
#include <memory>
#include <vector>

#include "window_model.h"

namespace {

using winmodel::FromHandle;
using winmodel::ToHandle;
using winmodel::Window;
using WinStandIn::ControlKind;

// The part every custom control shares: its window, checked on every call.
template <class Base>
class ControlBase : public Base {
public:
    explicit ControlBase(HWND h) : h_(h) {}
    HWND GetHwnd() override { return h_; }
    void Enable(BOOL onOff = TRUE) override {
        if (Window* w = W()) w->enabled = onOff != 0;
    }
    void Disable() override { Enable(FALSE); }
    BOOL IsEnabled() override { return W() && W()->enabled ? TRUE : FALSE; }

protected:
    Window* W() const { return FromHandle(h_); }

private:
    HWND h_;
};

bool IsIntType(EditSpinnerType type) {
    return type == EDITTYPE_INT || type == EDITTYPE_POS_INT || type == EDITTYPE_TIME;
}

// Spinners and sliders share their state and messages; only the notification differs.
template <class Base>
class ValueControl : public ControlBase<Base> {
public:
    ValueControl(HWND h, UINT changeMsg) : ControlBase<Base>(h), changeMsg_(changeMsg) {}
    float GetFVal() override { return this->W() ? this->W()->value : 0.0f; }
    int GetIVal() override {
        return this->W() ? static_cast<int>(std::lround(this->W()->value)) : 0;
    }
    void SetValue(float v, int notify) override {
        Window* w = this->W();
        if (!w) return;
        winmodel::StoreSpinnerValue(w, v);
        if (notify) {
            winmodel::NotifyParent(w, changeMsg_, MAKEWPARAM(w->id, FALSE),
                                   reinterpret_cast<LPARAM>(static_cast<Base*>(this)));
        }
    }
    void SetValue(int v, int notify) override { SetValue(static_cast<float>(v), notify); }
    void SetLimits(int min, int max, int limitCurValue = TRUE) override {
        SetLimits(static_cast<float>(min), static_cast<float>(max), limitCurValue);
    }
    void SetLimits(float min, float max, int limitCurValue = TRUE) override {
        Window* w = this->W();
        if (!w) return;
        w->low = std::min(min, max);
        w->high = std::max(min, max);
        if (limitCurValue) winmodel::StoreSpinnerValue(w, w->value);
    }
    void LinkToEdit(HWND hEdit, EditSpinnerType type) override {
        Window* w = this->W();
        Window* e = FromHandle(hEdit);
        if (!w) return;
        w->integer = IsIntType(type);
        w->linkedEdit = e;
        if (e) {
            e->linkedSpinner = w;
            e->text = winmodel::SpinnerText(w);
        }
    }
    void SetResetValue(float /*v*/) override {}
    void SetResetValue(int /*v*/) override {}

private:
    UINT changeMsg_;
};

class Spinner : public ValueControl<ISpinnerControl> {
public:
    explicit Spinner(HWND h) : ValueControl<ISpinnerControl>(h, CC_SPINNER_CHANGE) {}
    void SetAutoScale(BOOL /*on*/) override {}
    void SetScale(float /*s*/) override {}
    void SetIndeterminate(BOOL i = TRUE) override { indeterminate_ = i != 0; }
    BOOL IsIndeterminate() override { return indeterminate_ ? TRUE : FALSE; }

private:
    bool indeterminate_ = false;
};

class Slider : public ValueControl<ISliderControl> {
public:
    explicit Slider(HWND h) : ValueControl<ISliderControl>(h, CC_SLIDER_CHANGE) {}
    void SetNumSegs(int /*num*/) override {}
};

class CustEdit : public ControlBase<ICustEdit> {
public:
    explicit CustEdit(HWND h) : ControlBase<ICustEdit>(h) {}
    void GetText(MCHAR* text, int ct) override { GetWindowTextW(GetHwnd(), text, ct); }
    void GetText(MSTR& text) const override { text = W() ? MSTR(W()->text.c_str()) : MSTR(); }
    int GetTextLength() const override { return W() ? static_cast<int>(W()->text.size()) : 0; }
    void SetText(const MCHAR* text) override { SetWindowTextW(GetHwnd(), text); }
    void SetText(int i) override { SetText(std::to_wstring(i).c_str()); }
    void SetText(float f, int precision = 3) override {
        wchar_t buffer[64];
        std::swprintf(buffer, 64, L"%.*f", precision, static_cast<double>(f));
        SetText(buffer);
    }
    int GetInt(BOOL* valid = nullptr) override {
        return static_cast<int>(std::lround(GetFloat(valid)));
    }
    float GetFloat(BOOL* valid = nullptr) override {
        const std::wstring text = W() ? W()->text : std::wstring();
        wchar_t* end = nullptr;
        const float v = std::wcstof(text.c_str(), &end);
        const bool ok = end != text.c_str() && *end == L'\0';
        if (valid) *valid = ok ? TRUE : FALSE;
        return ok ? v : 0.0f;
    }
    void WantReturn(BOOL yesNo) override {
        if (Window* w = W()) w->wantReturn = yesNo != 0;
    }
    BOOL GotReturn() override {
        Window* w = W();
        if (!w || !w->gotReturn) return FALSE;
        w->gotReturn = false;
        return TRUE;
    }
};

class CustButton : public ControlBase<ICustButton> {
public:
    explicit CustButton(HWND h) : ControlBase<ICustButton>(h) {
        if (Window* w = W()) w->customButton = true;
    }
    void GetText(MCHAR* text, int ct) override { GetWindowTextW(GetHwnd(), text, ct); }
    void SetText(const MCHAR* text) override { SetWindowTextW(GetHwnd(), text); }
    void SetType(CustButType type) override {
        if (Window* w = W()) w->checkButton = type == CBT_CHECK;
    }
    void SetCheck(BOOL checked) override {
        if (Window* w = W()) w->checked = checked != 0;
    }
    BOOL IsChecked() override { return W() && W()->checked ? TRUE : FALSE; }
    void SetHighlightColor(COLORREF clr) override {
        if (Window* w = W()) w->highlight = clr;
    }
    COLORREF GetHighlightColor() override { return W() ? W()->highlight : 0; }
    void SetTooltip(BOOL onOff, const MCHAR* text) override {
        if (Window* w = W()) w->tooltip = onOff && text ? text : L"";
    }
    void SetIcon(const MCHAR* iconName, int /*width*/, int /*height*/) override {
        if (Window* w = W()) w->icon = iconName ? iconName : L"";
    }
};

Window* ControlOf(HWND h, ControlKind kind) {
    Window* w = FromHandle(h);
    return w && w->kind == kind ? w : nullptr;
}

// The command panel's rollouts: dialogs with titles, open or rolled up, in category order.
class RollupWindow : public IRollupWindow {
public:
    ~RollupWindow() override { DeleteRollup(0, GetNumPanels()); }

    int AppendRollup(HINSTANCE hInst, const MCHAR* dlgTemplate, DLGPROC dlgProc, const MCHAR* title,
                     LPARAM param = 0, DWORD flags = 0,
                     int category = ROLLUP_CAT_STANDARD) override {
        // The panel is entered before the dialog is made, so a procedure that asks for its
        // index while it initialises finds it.
        std::size_t at = panels_.size();
        while (at > 0 && panels_[at - 1].category > category) --at;
        panels_.insert(
            panels_.begin() + static_cast<long>(at),
            Panel{nullptr, title ? title : L"", (flags & APPENDROLL_CLOSED) == 0, category});
        HWND h = CreateDialogParamW(hInst, dlgTemplate, nullptr, dlgProc, param);
        // The procedure may have added or removed panels meanwhile; find the entry again.
        for (std::size_t i = 0; i < panels_.size(); ++i) {
            if (panels_[i].dlg == nullptr) {
                if (!h) {
                    panels_.erase(panels_.begin() + static_cast<long>(i));
                    return -1;
                }
                panels_[i].dlg = h;
                return static_cast<int>(i);
            }
        }
        return -1;
    }
    void DeleteRollup(int index, int count) override {
        for (int k = 0; k < count; ++k) {
            if (index < 0 || index >= GetNumPanels()) return;
            HWND h = panels_[static_cast<std::size_t>(index)].dlg;
            panels_.erase(panels_.begin() + index);
            DestroyWindow(h);
        }
    }
    int GetNumPanels() override { return static_cast<int>(panels_.size()); }
    HWND GetPanelDlg(int index) override { return Valid(index) ? At(index).dlg : nullptr; }
    int GetPanelIndex(HWND hWnd) override {
        for (std::size_t i = 0; i < panels_.size(); ++i) {
            if (panels_[i].dlg == hWnd && hWnd) return static_cast<int>(i);
        }
        return -1;
    }
    MSTR GetPanelTitle(int index) override {
        return Valid(index) ? MSTR(At(index).title.c_str()) : MSTR();
    }
    BOOL IsPanelOpen(int index) override { return Valid(index) && At(index).open ? TRUE : FALSE; }
    void SetPanelOpen(int index, BOOL isOpen, BOOL /*ignoreFlags*/ = TRUE) override {
        if (Valid(index)) At(index).open = isOpen != 0;
    }
    int GetPanelCategory(int index) override { return Valid(index) ? At(index).category : 0; }

private:
    struct Panel {
        HWND dlg;
        std::wstring title;
        bool open;
        int category;
    };
    bool Valid(int index) const { return index >= 0 && index < static_cast<int>(panels_.size()); }
    Panel& At(int index) { return panels_[static_cast<std::size_t>(index)]; }

    std::vector<Panel> panels_;
};

}  // namespace

ISpinnerControl* GetISpinner(HWND hCtrl) {
    return ControlOf(hCtrl, ControlKind::Spinner) ? new Spinner(hCtrl) : nullptr;
}
void ReleaseISpinner(ISpinnerControl* isc) { delete isc; }
ISliderControl* GetISlider(HWND hCtrl) {
    return ControlOf(hCtrl, ControlKind::Slider) ? new Slider(hCtrl) : nullptr;
}
void ReleaseISlider(ISliderControl* isc) { delete isc; }
ICustEdit* GetICustEdit(HWND hCtrl) {
    return ControlOf(hCtrl, ControlKind::Edit) ? new CustEdit(hCtrl) : nullptr;
}
void ReleaseICustEdit(ICustEdit* ice) { delete ice; }
ICustButton* GetICustButton(HWND hCtrl) {
    return ControlOf(hCtrl, ControlKind::Button) ? new CustButton(hCtrl) : nullptr;
}
void ReleaseICustButton(ICustButton* icb) { delete icb; }

IRollupWindow* CreateRollupWindow() { return new RollupWindow(); }

// The core interface's command panel for a host without one: the dialog alone.
HWND Interface::AddRollupPage(HINSTANCE hInst, const MCHAR* dlgTemplate, DLGPROC dlgProc,
                              const MCHAR* title, LPARAM param, DWORD flags, int category) {
    if (IRollupWindow* panel = GetCommandPanelRollup()) {
        const int index =
            panel->AppendRollup(hInst, dlgTemplate, dlgProc, title, param, flags, category);
        return index < 0 ? nullptr : panel->GetPanelDlg(index);
    }
    return CreateDialogParamW(hInst, dlgTemplate, nullptr, dlgProc, param);
}

void Interface::DeleteRollupPage(HWND hRollup) {
    if (IRollupWindow* panel = GetCommandPanelRollup()) {
        const int index = panel->GetPanelIndex(hRollup);
        if (index >= 0) {
            panel->DeleteRollup(index, 1);
            return;
        }
    }
    DestroyWindow(hRollup);
}
