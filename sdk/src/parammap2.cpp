// Parameter maps: rollouts whose automatic controls are bound to a parameter block (iparamm2.h).
#include "iparamm2.h"

#include <algorithm>
#include <vector>

#include "deferred_ui.h"
#include "hold.h"
#include "resourcemodule.h"

namespace {

constexpr const MCHAR* kParamChange = _M("Parameter Change");

class ParamMap2;

// The open maps, so a descriptor can invalidate the ones built on it.
std::vector<ParamMap2*>& OpenMaps() {
    static std::vector<ParamMap2*> maps;
    return maps;
}

TimeValue Now() {
    Interface* ip = GetCOREInterface();
    return ip ? ip->GetTime() : 0;
}

class ParamMap2 : public IParamMap2, public ReferenceMaker {
public:
    ParamMap2(MapID id, IParamBlock2* pb, HINSTANCE hInst, ParamMap2UserDlgProc* proc)
        : id_(id), hInst_(hInst), proc_(proc) {
        ReplaceReference(0, pb, FALSE);
        OpenMaps().push_back(this);
    }
    ~ParamMap2() override {
        OpenMaps().erase(std::find(OpenMaps().begin(), OpenMaps().end(), this));
        DeleteAllRefsFromMe();
    }

    // --- IParamMap2 ---
    using ReferenceMaker::GetParamBlock;
    HWND GetHWnd() override { return hWnd_; }
    MapID GetMapID() override { return id_; }
    IParamBlock2* GetParamBlock() override { return pb_; }
    ParamBlockDesc2* GetDesc() override { return pb_ ? pb_->GetDesc() : nullptr; }
    ParamMap2UserDlgProc* GetUserDlgProc() override { return proc_; }
    void SetUserDlgProc(ParamMap2UserDlgProc* proc = nullptr) override { proc_ = proc; }
    void Invalidate(ParamID id = -1, int /*tabIndex*/ = -1) override {
        if (!hWnd_ || !pb_) return;
        if (theHold.RestoreOrRedoing()) {
            deferred_ = true;  // the whole map, once the step is back
            return;
        }
        const TimeValue t = Now();
        for (ParamDef* def : Bound()) {
            if (id == -1 || def->ID == id) Show(*def, t);
        }
        if (id == -1 && proc_) proc_->Update(t);
    }
    void Enable(ParamID id, BOOL onOff, int /*tabIndex*/ = -1) override {
        for (ParamDef* def : Bound()) {
            if (def->ID != id) continue;
            for (int i = 0; i < def->ctrl_IDs.Count(); ++i) {
                EnableWindow(GetDlgItem(hWnd_, def->ctrl_IDs[i]), onOff);
            }
        }
    }
    void SetText(ParamID id, const MCHAR* txt, int /*tabIndex*/ = -1) override {
        for (ParamDef* def : Bound()) {
            if (def->ID == id && def->ctrl_IDs.Count() > 0) {
                SetWindowTextW(GetDlgItem(hWnd_, def->ctrl_IDs[0]), txt);
            }
        }
    }
    void SetTooltip(ParamID /*id*/, BOOL /*onOff*/, const MCHAR* /*txt*/,
                    int /*tabIndex*/ = -1) override {}

    // --- ReferenceMaker: the block ---
    int NumRefs() override { return 1; }
    RefTargetHandle GetReference(int i) override { return i == 0 ? pb_ : nullptr; }
    RefResult NotifyRefChanged(const Interval& /*changeInt*/, RefTargetHandle hTarget,
                               PartID& /*partID*/, RefMessage message,
                               BOOL /*propagate*/) override {
        if (hTarget == pb_ && message == REFMSG_CHANGE && pb_ && hWnd_) {
            const ParamID id = pb_->LastNotifyParamID();
            if (id >= 0) {
                for (ParamDef* def : Bound()) {
                    if (def->ID == id) Show(*def, Now());
                }
            }
        }
        return REF_SUCCEED;
    }

    // The dialog procedure of every map's rollout.
    static INT_PTR CALLBACK DlgProc(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam) {
        auto* map = msg == WM_INITDIALOG
                        ? reinterpret_cast<ParamMap2*>(lParam)
                        : reinterpret_cast<ParamMap2*>(GetWindowLongPtrW(hWnd, GWLP_USERDATA));
        if (!map) return FALSE;
        if (msg == WM_INITDIALOG) {
            SetWindowLongPtrW(hWnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(map));
            map->hWnd_ = hWnd;
            map->SetUpControls();
        } else {
            map->Automatic(msg, wParam);
        }
        const INT_PTR handled =
            map->proc_ ? map->proc_->DlgProc(Now(), map, hWnd, msg, wParam, lParam) : FALSE;
        if (msg == WM_DESTROY) map->hWnd_ = nullptr;
        return handled;
    }

    void SetHWnd(HWND h) { hWnd_ = h; }

    // Updates the map when a restore invalidated it.
    void UpdateIfDeferred() {
        if (!deferred_) return;
        deferred_ = false;
        Invalidate();
    }

private:
    void SetReference(int i, RefTargetHandle rtarg) override {
        if (i == 0) pb_ = static_cast<IParamBlock2*>(rtarg);
    }

    // The parameters whose automatic controls are on this map.
    std::vector<ParamDef*> Bound() {
        std::vector<ParamDef*> defs;
        ParamBlockDesc2* desc = GetDesc();
        if (!desc) return defs;
        for (int i = 0; i < desc->Count(); ++i) {
            ParamDef& def = desc->GetParamDefByIndex(i);
            if (def.has_ui && def.mapID == id_) defs.push_back(&def);
        }
        return defs;
    }

    static bool IsFloat(const ParamDef& def) { return base_type(def.type) == TYPE_FLOAT; }

    // The value a radio button or drop-down entry stands for (p_vals, or its position).
    static int ValueAt(const ParamDef& def, int index) {
        return index < def.vals.Count() ? def.vals[index] : index;
    }
    static int IndexOf(const ParamDef& def, int value) {
        for (int i = 0; i < def.vals.Count(); ++i) {
            if (def.vals[i] == value) return i;
        }
        return def.vals.Count() > 0 ? -1 : value;
    }

    void SetUpControls() {
        const TimeValue t = Now();
        for (ParamDef* def : Bound()) {
            if ((def->ctrl_type == TYPE_SPINNER || def->ctrl_type == TYPE_SLIDER) &&
                def->ctrl_IDs.Count() >= 2) {
                HWND edit = GetDlgItem(hWnd_, def->ctrl_IDs[0]);
                HWND ctrl = GetDlgItem(hWnd_, def->ctrl_IDs[1]);
                const auto type = static_cast<EditSpinnerType>(def->spin_type);
                const float low = !def->has_range ? -1e30f
                                  : IsFloat(*def) ? def->range_low.f
                                                  : static_cast<float>(def->range_low.i);
                const float high = !def->has_range ? 1e30f
                                   : IsFloat(*def) ? def->range_high.f
                                                   : static_cast<float>(def->range_high.i);
                if (ISpinnerControl* s = GetISpinner(ctrl)) {
                    s->LinkToEdit(edit, type);
                    s->SetLimits(low, high, FALSE);
                    ReleaseISpinner(s);
                } else if (ISliderControl* sl = GetISlider(ctrl)) {
                    sl->LinkToEdit(edit, type);
                    sl->SetLimits(low, high, FALSE);
                    ReleaseISlider(sl);
                }
            } else if (def->ctrl_type == TYPE_INT_COMBOBOX && def->ctrl_IDs.Count() >= 1) {
                HWND combo = GetDlgItem(hWnd_, def->ctrl_IDs[0]);
                SendMessageW(combo, CB_RESETCONTENT, 0, 0);
                for (int i = 0; i < def->items.Count(); ++i) {
                    const wchar_t* s = MaxSDK::Util::FindResourceString(hInst_, def->items[i]);
                    SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(s ? s : L""));
                }
            }
            Show(*def, t);
        }
    }

    // Shows the parameter's value in its controls, notifying nobody.
    void Show(const ParamDef& def, TimeValue t) {
        if (!hWnd_ || !pb_ || def.ctrl_IDs.Count() == 0) return;
        const bool tab = is_tab(def.type);
        if (tab && pb_->Count(def.ID) < 1) return;
        switch (def.ctrl_type) {
            case TYPE_SPINNER:
            case TYPE_SLIDER: {
                if (def.ctrl_IDs.Count() < 2) return;
                HWND ctrl = GetDlgItem(hWnd_, def.ctrl_IDs[1]);
                const float v = IsFloat(def) ? pb_->GetFloat(def.ID, t)
                                             : static_cast<float>(pb_->GetInt(def.ID, t));
                if (ISpinnerControl* s = GetISpinner(ctrl)) {
                    s->SetValue(v, FALSE);
                    ReleaseISpinner(s);
                } else if (ISliderControl* sl = GetISlider(ctrl)) {
                    sl->SetValue(v, FALSE);
                    ReleaseISlider(sl);
                }
                break;
            }
            case TYPE_RADIO: {
                const int index = IndexOf(def, pb_->GetInt(def.ID, t));
                for (int i = 0; i < def.ctrl_IDs.Count(); ++i) {
                    CheckDlgButton(hWnd_, def.ctrl_IDs[i],
                                   i == index ? BST_CHECKED : BST_UNCHECKED);
                }
                break;
            }
            case TYPE_SINGLECHECKBOX:
            case TYPE_CHECKBUTTON:
                CheckDlgButton(hWnd_, def.ctrl_IDs[0],
                               pb_->GetInt(def.ID, t) != 0 ? BST_CHECKED : BST_UNCHECKED);
                break;
            case TYPE_INT_COMBOBOX:
                SendDlgItemMessageW(hWnd_, def.ctrl_IDs[0], CB_SETCURSEL,
                                    static_cast<WPARAM>(IndexOf(def, pb_->GetInt(def.ID, t))), 0);
                break;
            default:
                break;
        }
    }

    // Sets a parameter from its control, as one undo step.
    template <class Value>
    void Write(const ParamDef& def, Value v) {
        theHold.Begin();
        pb_->SetValue(def.ID, Now(), v);
        theHold.Accept(kParamChange);
    }

    // The user changed a control: the parameter bound to it follows.
    void Automatic(UINT msg, WPARAM wParam) {
        if (!pb_ || !hWnd_) return;
        const int id = LOWORD(wParam);
        for (ParamDef* def : Bound()) {
            const ParamDef& d = *def;
            if (d.ctrl_IDs.Count() == 0) continue;
            if ((msg == CC_SPINNER_CHANGE || msg == CC_SLIDER_CHANGE) &&
                (d.ctrl_type == TYPE_SPINNER || d.ctrl_type == TYPE_SLIDER) &&
                d.ctrl_IDs.Count() >= 2 && d.ctrl_IDs[1] == id) {
                HWND ctrl = GetDlgItem(hWnd_, id);
                float v = 0.0f;
                if (ISpinnerControl* s = GetISpinner(ctrl)) {
                    v = s->GetFVal();
                    ReleaseISpinner(s);
                } else if (ISliderControl* sl = GetISlider(ctrl)) {
                    v = sl->GetFVal();
                    ReleaseISlider(sl);
                }
                if (IsFloat(d)) {
                    Write(d, v);
                } else {
                    Write(d, static_cast<int>(std::lround(v)));
                }
                return;
            }
            if (msg != WM_COMMAND) continue;
            const WORD code = HIWORD(wParam);
            if ((d.ctrl_type == TYPE_SINGLECHECKBOX || d.ctrl_type == TYPE_CHECKBUTTON) &&
                d.ctrl_IDs[0] == id && code == BN_CLICKED) {
                Write(d, IsDlgButtonChecked(hWnd_, id) == BST_CHECKED ? 1 : 0);
                return;
            }
            if (d.ctrl_type == TYPE_RADIO && code == BN_CLICKED) {
                for (int i = 0; i < d.ctrl_IDs.Count(); ++i) {
                    if (d.ctrl_IDs[i] == id) {
                        Write(d, ValueAt(d, i));
                        return;
                    }
                }
            }
            if (d.ctrl_type == TYPE_INT_COMBOBOX && d.ctrl_IDs[0] == id && code == CBN_SELCHANGE) {
                const auto sel =
                    static_cast<int>(SendDlgItemMessageW(hWnd_, id, CB_GETCURSEL, 0, 0));
                if (sel >= 0) Write(d, ValueAt(d, sel));
                return;
            }
        }
    }

    MapID id_;
    HINSTANCE hInst_;
    ParamMap2UserDlgProc* proc_;
    IParamBlock2* pb_ = nullptr;
    HWND hWnd_ = nullptr;
    bool deferred_ = false;  // invalidated while theHold was restoring
};

}  // namespace

void UpdateDeferredParamMaps() {
    // A copy: a map's update may open or close maps.
    const std::vector<ParamMap2*> maps = OpenMaps();
    for (ParamMap2* map : maps) {
        if (std::find(OpenMaps().begin(), OpenMaps().end(), map) != OpenMaps().end())
            map->UpdateIfDeferred();
    }
}

IParamMap2* CreateCPParamMap2(MapID map_id, IParamBlock2* pb, Interface* ip, HINSTANCE hInst,
                              const MCHAR* dlgTemplate, const MCHAR* title, DWORD flags,
                              ParamMap2UserDlgProc* dlgProc, HWND /*hOldRollup*/, int category) {
    if (!pb || !ip) return nullptr;
    auto* map = new ParamMap2(map_id, pb, hInst, dlgProc);
    HWND h = ip->AddRollupPage(hInst, dlgTemplate, &ParamMap2::DlgProc, title,
                               reinterpret_cast<LPARAM>(map), flags, category);
    if (!h) {
        delete map;
        return nullptr;
    }
    map->SetHWnd(h);
    return map;
}

void DestroyCPParamMap2(IParamMap2* m) {
    auto* map = dynamic_cast<ParamMap2*>(m);
    if (!map) return;
    HWND h = map->GetHWnd();
    if (h) {
        if (Interface* ip = GetCOREInterface()) {
            ip->DeleteRollupPage(h);
        } else {
            DestroyWindow(h);
        }
    }
    if (ParamMap2UserDlgProc* proc = map->GetUserDlgProc()) proc->DeleteThis();
    delete map;
}

void ParamBlockDesc2::InvalidateUI() {
    ++invalidateUICount_;
    // A copy: a map's Update may open or close maps.
    const std::vector<ParamMap2*> maps = OpenMaps();
    for (ParamMap2* map : maps) {
        if (std::find(OpenMaps().begin(), OpenMaps().end(), map) == OpenMaps().end()) continue;
        if (map->GetDesc() == this) map->Invalidate();
    }
}

void ParamBlockDesc2::InvalidateUI(ParamID id, int tabIndex) {
    ++invalidateUICount_;
    const std::vector<ParamMap2*> maps = OpenMaps();
    for (ParamMap2* map : maps) {
        if (std::find(OpenMaps().begin(), OpenMaps().end(), map) == OpenMaps().end()) continue;
        if (map->GetDesc() == this) map->Invalidate(id, tabIndex);
    }
}
