// The sweep rollout ("Distribute Sweeps"): the shape list and the selected row's settings. Row 0
// is "All Sweeps" (entry 0 of the shared sweep tables, whose values add to every shape's own);
// row r is shape r - 1, entry r of the shared tables and index r - 1 of the zero-based ones.
#include <cstdio>

#include "commctrl.h"
#include "hold.h"
#include "iparamm2.h"
#include "object/item_tables.h"
#include "object/param_ids.h"
#include "object/setup_ops.h"
#include "object/trellon.h"
#include "resource.h"
#include "ui/dlg_procs.h"
#include "ui/picker.h"
#include "ui/rollout_kit.h"

namespace trellon::ui {

namespace {

constexpr const MCHAR* kParamChange = _M("Parameter Change");
constexpr float kWide = 1.0e6f;

enum class Index { Entry, Shape, Global };

struct SweepSpinner {
    int spin;
    ParamID table;
    Index index;
    bool integer;
    float min;
    float max;
};

// Each spinner's edit is its ID + 1000.
constexpr SweepSpinner kSpinners[] = {
    {1024, Sweep_Side_Offset, Index::Entry, false, -kWide, kWide},
    {1048, Sweep_Height_Offset, Index::Entry, false, -kWide, kWide},
    {1056, Sweep_X_Rot, Index::Entry, false, -kWide, kWide},
    {1052, Sweep_Y_Rot, Index::Entry, false, -kWide, kWide},
    {1028, Sweep_Z_Rot, Index::Entry, false, -kWide, kWide},
    {1038, Sweep_X_Scale, Index::Entry, false, -kWide, kWide},
    {1080, Sweep_Y_Scale, Index::Entry, false, -kWide, kWide},
    {1085, Sweep_Z_Scale, Index::Entry, false, -kWide, kWide},
    {1499, Sweep_Start_Trim, Index::Entry, false, -kWide, kWide},
    {1497, Sweep_End_Trim, Index::Entry, false, -kWide, kWide},
    {1498, Shape_Steps, Index::Shape, true, 0.0f, 100.0f},
    {1500, Sweep_Smooth_Angle, Index::Shape, false, 0.0f, 180.0f},
    {1111, Sweep_Double_Offset, Index::Shape, false, -kWide, kWide},
    {1501, Shape_AngleUVW, Index::Global, true, 0.0f, 180.0f},
};
constexpr int kEditOffset = 1000;
constexpr int kScaleX = 1038;

constexpr struct {
    int id;
    ParamID table;
} kShapeChecks[] = {{1010, Shape_Flip_Normals}, {1011, Shape_Flip_Object}, {1013, Sweep_Double}};

int SweepCount(IParamBlock2* pb) { return pb->Count(Sweep_Nodes); }

// The index a spinner writes for the selected row, or -1 when it writes nothing there.
int IndexFor(Index index, int row, int shapes) {
    switch (index) {
        case Index::Entry:
            return row >= 0 && row <= shapes ? row : -1;
        case Index::Shape:
            return row >= 1 && row <= shapes ? row - 1 : -1;
        case Index::Global:
            return 0;
    }
    return -1;
}

float Read(IParamBlock2* pb, ParamID id, int i, bool integer, TimeValue t) {
    const bool table = id != Shape_AngleUVW;
    if (table && (i < 0 || i >= pb->Count(id))) return 0.0f;
    if (integer) return static_cast<float>(table ? pb->GetInt(id, t, i) : pb->GetInt(id, t));
    return pb->GetFloat(id, t, table ? i : 0);
}

class SweepProc final : public RolloutProc {
public:
    SweepProc() : RolloutProc(map_sweeps, true, true) {}

private:
    void SetUp(Trellon& /*obj*/, HWND hWnd, TimeValue /*t*/) override {
        SetUpList(hWnd);
        SetUpButton(hWnd, IDC_PICK_ITEMS, _M(":/add_spline"),
                    _M("Add single distribution shapes to spline."), true);
        SetUpButton(hWnd, IDC_ADD_FROM_LIST, _M(":/add_dialog"),
                    _M("Add multiple distribution shapes to spline from list."), false);
        SetUpButton(hWnd, IDC_DELETE_ROW, _M(":/remove_spline"),
                    _M("Delete distribution shapes from list."), false);
        for (const SweepSpinner& s : kSpinners) {
            SetUpSpinner(hWnd, s.spin, s.spin + kEditOffset, s.integer, s.min, s.max, 0.0f);
        }
    }

    void Fill(Trellon& obj, HWND hWnd, TimeValue t) override {
        IParamBlock2* pb = obj.pblock2;
        const int shapes = SweepCount(pb);
        if (obj.SelectedSweepRow > shapes) obj.SelectedSweepRow = -1;
        HWND list = GetDlgItem(hWnd, IDC_LIST);
        ListView_DeleteAllItems(list);
        for (int row = 0; row <= shapes; ++row) {
            wchar_t first[32] = L"";
            if (row > 0) std::swprintf(first, 32, L"%i", row);
            LVITEM item{};
            item.mask = LVIF_TEXT;
            item.iItem = row;
            item.pszText = first;
            const int at = ListView_InsertItem(list, &item);
            const MCHAR* name = row == 0 ? _M("All Sweeps")
                                : row - 1 < pb->Count(Sweep_Names)
                                    ? pb->GetStr(Sweep_Names, t, row - 1)
                                    : _M("");
            ListView_SetItemText(list, at, 1, name);
        }
        if (obj.SelectedSweepRow >= 0) {
            ListView_SetItemState(list, obj.SelectedSweepRow, LVIS_SELECTED, LVIS_SELECTED);
        }
        Show(obj, hWnd, t);
    }

    // Shows the row's values and enables what applies to it: the shared settings for every row,
    // the shape's own only for a shape row, the delete button for a shape row.
    void Show(Trellon& obj, HWND hWnd, TimeValue t) {
        IParamBlock2* pb = obj.pblock2;
        const int row = obj.SelectedSweepRow;
        const int shapes = SweepCount(pb);
        for (const SweepSpinner& s : kSpinners) {
            const int i = IndexFor(s.index, row, shapes);
            ShowSpinner(hWnd, s.spin, Read(pb, s.table, i, s.integer, t));
            EnableControl(hWnd, s.spin, i >= 0);
        }
        for (const auto& c : kShapeChecks) {
            const int i = IndexFor(Index::Shape, row, shapes);
            const bool on = i >= 0 && i < pb->Count(c.table) && pb->GetInt(c.table, t, i) != 0;
            CheckDlgButton(hWnd, c.id, on ? BST_CHECKED : BST_UNCHECKED);
            EnableControl(hWnd, c.id, i >= 0);
        }
        const int entry = IndexFor(Index::Entry, row, shapes);
        const bool unified = entry >= 0 && entry < pb->Count(Sweep_Unify_Scale) &&
                             pb->GetInt(Sweep_Unify_Scale, t, entry) != 0;
        CheckDlgButton(hWnd, IDC_CHECK_1079, unified ? BST_CHECKED : BST_UNCHECKED);
        EnableControl(hWnd, IDC_CHECK_1079, entry >= 0);
        EnableControl(hWnd, IDC_DELETE_ROW, row >= 1 && row <= shapes);
    }

    void Select(Trellon& obj, HWND hWnd, int row, TimeValue t) override {
        obj.SelectedSweepRow = row;
        IParamBlock2* pb = obj.pblock2;
        // The staging checkbox shows the row's unified-scale switch.
        if (row >= 0 && row < pb->Count(Sweep_Unify_Scale)) {
            HoldSuspend suspend;
            Trellon::ReadyHold ready(obj);
            pb->SetValue(Sweep_Unify_Scale_Staging, t, pb->GetInt(Sweep_Unify_Scale, t, row));
        }
        Show(obj, hWnd, t);
    }

    void Command(Trellon& obj, HWND hWnd, int id, int /*code*/, TimeValue t) override {
        IParamBlock2* pb = obj.pblock2;
        const int row = obj.SelectedSweepRow;
        const int shapes = SweepCount(pb);
        switch (id) {
            case IDC_PICK_ITEMS:
                ThePicker().Start(obj, kPickShapes);
                return;
            case IDC_ADD_FROM_LIST: {
                ListDialog dialog(obj, ListDialog::Adds::Shapes);
                if (obj.Interface) obj.Interface->DoHitByNameDialog(&dialog);
                return;
            }
            case IDC_DELETE_ROW:
                if (row >= 1 && row <= shapes) {
                    RunCommand(_M("Delete Shape"), [&] {
                        DeleteShape(obj, row);
                        obj.SelectedSweepRow = -1;
                    });
                }
                return;
            case IDC_CHECK_1079: {
                const int entry = IndexFor(Index::Entry, row, shapes);
                if (entry < 0 || entry >= pb->Count(Sweep_Unify_Scale)) return;
                const int v = pb->GetInt(Sweep_Unify_Scale_Staging, t);
                RunCommand(kParamChange, [&] { pb->SetValue(Sweep_Unify_Scale, t, v, entry); });
                return;
            }
            case IDC_HELP:
                OpenHelp(HelpPage::Sweeps);
                return;
            default:
                break;
        }
        for (const auto& c : kShapeChecks) {
            const int i = IndexFor(Index::Shape, row, shapes);
            if (c.id != id || i < 0 || i >= pb->Count(c.table)) continue;
            const int v = IsDlgButtonChecked(hWnd, id) == BST_CHECKED ? 1 : 0;
            RunCommand(kParamChange, [&] { pb->SetValue(c.table, t, v, i); });
        }
    }

    void Spinner(Trellon& obj, HWND hWnd, int id, TimeValue t) override {
        IParamBlock2* pb = obj.pblock2;
        const int row = obj.SelectedSweepRow;
        const int shapes = SweepCount(pb);
        for (const SweepSpinner& s : kSpinners) {
            if (s.spin != id) continue;
            const int i = IndexFor(s.index, row, shapes);
            if (i < 0) return;
            const float v = SpinnerValue(hWnd, id);
            bool refresh = false;
            RunCommand(kParamChange, [&] {
                Trellon::ReadyHold ready(obj);
                refresh = ready.WasReady();
                if (s.index == Index::Global) {
                    pb->SetValue(s.table, t, static_cast<int>(v + 0.5f));
                    return;
                }
                if (i >= pb->Count(s.table)) return;
                if (s.integer) {
                    pb->SetValue(s.table, t, static_cast<int>(v + 0.5f), i);
                } else {
                    pb->SetValue(s.table, t, v, i);
                }
                if (id == kScaleX && i < pb->Count(Sweep_Unify_Scale) &&
                    pb->GetInt(Sweep_Unify_Scale, t, i) == 1) {
                    pb->SetValue(Sweep_Y_Scale, t, v, i);
                    pb->SetValue(Sweep_Z_Scale, t, v, i);
                }
            });
            obj.InvalidateUI();
            if (refresh) obj.RefreshObject();
            return;
        }
    }
};

}  // namespace

ParamMap2UserDlgProc* SweepDlgProc() {
    static SweepProc proc;
    return &proc;
}

}  // namespace trellon::ui
