// The spline rollout ("Distribute Spline"): the path pick button, the layout, the item and sweep
// filters, the path's interpolation steps, selecting and re-measuring the items.
#include <string>

#include "hold.h"
#include "inode.h"
#include "iparamm2.h"
#include "object/item_tables.h"
#include "object/param_ids.h"
#include "object/setup_ops.h"
#include "object/trellon.h"
#include "resource.h"
#include "splshape.h"
#include "ui/dlg_procs.h"
#include "ui/picker.h"
#include "ui/rollout_kit.h"

namespace trellon::ui {

namespace {

constexpr const MCHAR* kPickPathLabel = _M("< Pick Spline Path >");
// The range of the path's interpolation steps, as a spline's own steps allow.
constexpr float kMaxSplineSteps = 100.0f;

// Fills a filter drop-down: entry 0 `all`, then every name of the table; selection `solo`.
void FillFilter(HWND dlg, int id, const MCHAR* all, IParamBlock2* pb, ParamID names, int solo,
                TimeValue t) {
    HWND combo = GetDlgItem(dlg, id);
    SendMessage(combo, CB_RESETCONTENT, 0, 0);
    SendMessage(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(all));
    for (int i = 0; i < pb->Count(names); ++i) {
        const MCHAR* name = pb->GetStr(names, t, i);
        SendMessage(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name ? name : _M("")));
    }
    SendMessage(combo, CB_SETCURSEL, static_cast<WPARAM>(solo), 0);
}

// Gives the path's shape the steps of Spline Steps, so the path shows what the copies follow.
void ApplySplineSteps(IParamBlock2* pb, TimeValue t) {
    INode* path = pb->GetINode(Spline_Obj, t);
    Object* o = path ? path->GetObjectRef() : nullptr;
    if (o && o->ClassID() == splineShapeClassID) {
        static_cast<SplineShape*>(o)->SetSteps(pb->GetInt(Spline_Steps, t));
    }
}

void SelectEveryNode(IParamBlock2* pb, TimeValue t) {
    Interface* ip = GetCOREInterface();
    if (!ip) return;
    for (ParamID list : {Object_Nodes, Post_Nodes, End_Nodes, Sweep_Nodes, Picked_Nodes_50}) {
        for (int i = 0; i < pb->Count(list); ++i) {
            if (INode* n = pb->GetINode(list, t, i)) ip->SelectNode(n, 0);
        }
    }
    if (INode* path = pb->GetINode(Spline_Obj, t)) ip->SelectNode(path, 0);
}

class SplineProc final : public RolloutProc {
public:
    SplineProc() : RolloutProc(map_spline, false, true) {}

private:
    void SetUp(Trellon& obj, HWND hWnd, TimeValue t) override {
        IParamBlock2* pb = obj.pblock2;
        SetUpButton(hWnd, IDC_PICK_PATH, nullptr,
                    _M("Add Spline path to distribute objects along."), true);
        SetUpSpinner(hWnd, IDC_SPLINE_STEPS_SPIN, IDC_SPLINE_STEPS_EDIT, true, 0.0f,
                     kMaxSplineSteps, static_cast<float>(pb->GetInt(Spline_Steps, t)));
        ApplySplineSteps(pb, t);
    }

    void Spinner(Trellon& obj, HWND hWnd, int id, TimeValue t) override {
        if (id != IDC_SPLINE_STEPS_SPIN) return;
        const int steps = static_cast<int>(SpinnerValue(hWnd, IDC_SPLINE_STEPS_SPIN) + 0.5f);
        RunCommand(_M("Parameter Change"), [&] { obj.pblock2->SetValue(Spline_Steps, t, steps); });
    }

    void Fill(Trellon& obj, HWND hWnd, TimeValue t) override {
        IParamBlock2* pb = obj.pblock2;
        INode* path = pb->GetINode(Spline_Obj, t);
        SetButtonText(hWnd, IDC_PICK_PATH, path ? path->GetName() : kPickPathLabel);
        FillFilter(hWnd, IDC_ITEM_FILTER, _M("All Objects"), pb, Item_Names,
                   pb->GetInt(Object_Solo, t), t);
        FillFilter(hWnd, IDC_SWEEP_FILTER, _M("All Sweeps"), pb, Sweep_Names,
                   pb->GetInt(Sweep_Solo, t), t);
        ShowSpinner(hWnd, IDC_SPLINE_STEPS_SPIN, static_cast<float>(pb->GetInt(Spline_Steps, t)));
    }

    void Command(Trellon& obj, HWND hWnd, int id, int code, TimeValue t) override {
        IParamBlock2* pb = obj.pblock2;
        switch (id) {
            case IDC_PICK_PATH:
                ThePicker().Start(obj, kPickPath);
                break;
            case IDC_ITEM_FILTER:
            case IDC_SWEEP_FILTER: {
                if (code != CBN_SELCHANGE) break;
                const int entry =
                    static_cast<int>(SendDlgItemMessage(hWnd, id, CB_GETCURSEL, 0, 0));
                if (entry < 0) break;
                const bool items = id == IDC_ITEM_FILTER;
                RunCommand(items ? _M("Object Display Change") : _M("Sweep Display Change"), [&] {
                    pb->SetValue(items ? Object_Solo : Sweep_Solo, t, entry);
                    obj.RefreshObject();
                });
                break;
            }
            case IDC_RADIO_1008:
            case IDC_RADIO_1009:
            case IDC_RADIO_1013:
                // The pattern decides the object list's rows; the selection no longer means the
                // same row.
                obj.SelectedRow = -1;
                obj.InvalidateUI();
                break;
            case IDC_CHECK_1012:
                if (pb->GetInt(DetachPath, t) != 0) {
                    INode* path = pb->GetINode(Spline_Obj, t);
                    INode* own = obj.FindNode();
                    if (path && own) {
                        Matrix3 tm = path->GetNodeTM(t);
                        own->SetNodeTM(t, tm);
                    }
                }
                obj.RefreshObject();
                break;
            case IDC_SELECT_ITEMS:
                SelectEveryNode(pb, t);
                break;
            case IDC_UPDATE_ITEMS:
                RunCommand(_M("Update Items"), [&] { UpdateItems(obj); });
                break;
            case IDC_HELP:
                OpenHelp(HelpPage::Spline);
                break;
            default:
                break;
        }
    }
};

}  // namespace

ParamMap2UserDlgProc* SplineDlgProc() {
    static SplineProc proc;
    return &proc;
}

}  // namespace trellon::ui
