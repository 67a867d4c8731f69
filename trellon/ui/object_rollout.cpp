// The object rollout ("Distribute Objects"): the item list and the selected row's ranges.
//
// The row a control edits: row 0 is "All Objects" (entry 0 of the shared tables); an item's row
// (a sequence row naming an item, an object, post or end row) edits the item's entry, item + 1,
// and its zero-based entries at the item's own index. Rows after the sequence are read through
// the item they show rather than by their position, so a sequence with null rows or repeated
// items still edits the right post or end object. A null row edits nothing.
#include <cstdio>
#include <optional>

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

// A spinner of a low end (with its high end written too while the entry is not random) or of a
// high end alone. With unified scale the X spinners also write the Y and Z tables.
struct RangeSpinner {
    int spin;
    int edit;
    ParamID low;
    ParamID high;    // -1: a spinner without a pair partner
    ParamID unifyY;  // -1: not a scale spinner
    ParamID unifyZ;
    ParamID unifyYHigh;
    ParamID unifyZHigh;
    float min;
    float max;
};

constexpr ParamID kNone = -1;

constexpr RangeSpinner kRangeSpinners[] = {
    {1024, 1023, Item_Pos_InOut, Item_Pos_InOut_Random, kNone, kNone, kNone, kNone, -kWide, kWide},
    {1026, 1025, Item_Pos_InOut_Random, kNone, kNone, kNone, kNone, kNone, -kWide, kWide},
    {1028, 1027, Item_Extra_Rot, Item_Extra_Rot_Random, kNone, kNone, kNone, kNone, -kWide, kWide},
    {1030, 1029, Item_Extra_Rot_Random, kNone, kNone, kNone, kNone, kNone, -kWide, kWide},
    {1048, 1047, Item_Z_Pos, Item_Z_Pos_Random, kNone, kNone, kNone, kNone, -kWide, kWide},
    {1050, 1049, Item_Z_Pos_Random, kNone, kNone, kNone, kNone, kNone, -kWide, kWide},
    {1060, 1059, Item_X_Rot, Item_X_Rot_Random, kNone, kNone, kNone, kNone, -kWide, kWide},
    {1075, 1074, Item_X_Rot_Random, kNone, kNone, kNone, kNone, kNone, -kWide, kWide},
    {1056, 1055, Item_Y_Rot, Item_Y_Rot_Random, kNone, kNone, kNone, kNone, -kWide, kWide},
    {1058, 1057, Item_Y_Rot_Random, kNone, kNone, kNone, kNone, kNone, -kWide, kWide},
    {1052, 1051, Item_Z_Rot, Item_Z_Rot_Random, kNone, kNone, kNone, kNone, -kWide, kWide},
    {1054, 1053, Item_Z_Rot_Random, kNone, kNone, kNone, kNone, kNone, -kWide, kWide},
    {1038, 1037, Item_X_Scale, Item_X_Scale_Random, Item_Y_Scale, Item_Z_Scale, Item_Y_Scale_Random,
     Item_Z_Scale_Random, -kWide, kWide},
    {1040, 1039, Item_X_Scale_Random, kNone, Item_Y_Scale_Random, Item_Z_Scale_Random, kNone, kNone,
     -kWide, kWide},
    {1080, 1078, Item_Y_Scale, Item_Y_Scale_Random, kNone, kNone, kNone, kNone, -kWide, kWide},
    {1082, 1081, Item_Y_Scale_Random, kNone, kNone, kNone, kNone, kNone, -kWide, kWide},
    {1085, 1084, Item_Z_Scale, Item_Z_Scale_Random, kNone, kNone, kNone, kNone, -kWide, kWide},
    {1087, 1086, Item_Z_Scale_Random, kNone, kNone, kNone, kNone, kNone, -kWide, kWide},
    {1042, 1041, Item_Mirror, kNone, kNone, kNone, kNone, kNone, -kWide, kWide},
    {1044, 1043, Item_Mirror2, kNone, kNone, kNone, kNone, kNone, -kWide, kWide},
};

// Spinners of the zero-based tables, written at the item's own index.
struct ItemSpinner {
    int spin;
    int edit;
    ParamID table;
    bool integer;
    float min;
    float max;
};

constexpr ItemSpinner kItemSpinners[] = {
    {1032, 1031, Item_Spin_1032, false, -kWide, kWide},
    {1093, 1092, Item_Repeat_Count, true, 0.0f, 10.0f},
    {1108, 1107, Item_Repeat_Gap, false, -kWide, kWide},
    {1111, 1110, Item_Spin_1111, false, -kWide, kWide},
};

constexpr int kSpacingSpin = 1095;
constexpr int kSpacingRandomSpin = 1097;
constexpr int kStartOffsetSpin = 1116;
constexpr int kEndOffsetSpin = 1099;
constexpr int kKnotThreshSpin = 1090;

// Checkboxes of the zero-based tables.
constexpr struct {
    int id;
    ParamID table;
} kItemChecks[] = {{1013, Item_Check_1013}, {1014, Item_Check_1014}, {1121, Item_Check_1121}};

// The staged checkboxes: the parameter map writes the staging parameter; the value goes on to
// the table entry of the selection.
constexpr struct {
    int id;
    ParamID staging;
    ParamID table;
} kStagedChecks[] = {{IDC_CHECK_1010, Random_Trans, Item_Random_Trans},
                     {IDC_CHECK_1079, Unify_Scale, Item_Unify_Scale},
                     {IDC_CHECK_1011, Mirror_Box, Item_Mirror_Box}};

constexpr int kEntryCheck = 1118;
constexpr int kEndCheck = 1119;

// What the selected row edits.
struct Selection {
    ListRow row;
    int entry = -1;  // shared-table entry; -1 for none (no row, a null row)
    int item = -1;   // zero-based index; -1 for row 0 and none
    int end = -1;    // index within End_Nodes for an end row
};

Selection Selected(Trellon& obj, TimeValue t) {
    IParamBlock2* pb = obj.pblock2;
    Selection s;
    s.row = ObjectListRow(pb, t, obj.SelectedRow);
    if (s.row.kind == RowKind::AllObjects) {
        s.entry = 0;
    } else if (s.row.item >= 0) {
        s.entry = s.row.item + 1;
        s.item = s.row.item;
        if (s.row.kind == RowKind::End) {
            ItemTables tables(pb, t);
            s.end = s.item - tables.ObjectCount() - tables.PostCount();
        }
    }
    return s;
}

bool IsPostOrEnd(const Selection& s) {
    return s.row.kind == RowKind::Post || s.row.kind == RowKind::End;
}

float GetEntry(IParamBlock2* pb, ParamID id, int entry, TimeValue t) {
    return entry >= 0 && entry < pb->Count(id) ? pb->GetFloat(id, t, entry) : 0.0f;
}

int GetIntEntry(IParamBlock2* pb, ParamID id, int entry, TimeValue t) {
    return entry >= 0 && entry < pb->Count(id) ? pb->GetInt(id, t, entry) : 0;
}

void SetEntry(IParamBlock2* pb, ParamID id, int entry, float v, TimeValue t) {
    if (id >= 0 && entry >= 0 && entry < pb->Count(id)) pb->SetValue(id, t, v, entry);
}

void SetIntEntry(IParamBlock2* pb, ParamID id, int entry, int v, TimeValue t) {
    if (id >= 0 && entry >= 0 && entry < pb->Count(id)) pb->SetValue(id, t, v, entry);
}

void FillList(HWND list, IParamBlock2* pb, TimeValue t, int selected) {
    ListView_DeleteAllItems(list);
    ItemTables tables(pb, t);
    const int rows = ObjectListRowCount(pb, t);
    for (int row = 0; row < rows; ++row) {
        const ListRow r = ObjectListRow(pb, t, row);
        wchar_t first[32] = L"";
        const MCHAR* name = _M("All Objects");
        switch (r.kind) {
            case RowKind::Sequence:
                std::swprintf(first, 32, L"%i", pb->GetInt(Sequence_Groups, t, r.sequenceRow) + 1);
                name = r.item >= 0 ? pb->GetStr(Item_Names, t, r.item) : _M("Null Item");
                break;
            case RowKind::Object:
                std::swprintf(first, 32, L"%i", r.item + 1);
                name = pb->GetStr(Item_Names, t, r.item);
                break;
            case RowKind::Post:
                std::swprintf(first, 32, L"P");
                name = pb->GetStr(Item_Names, t, r.item);
                break;
            case RowKind::End:
                std::swprintf(first, 32, L"E");
                name = pb->GetStr(Item_Names, t, r.item);
                break;
            default:
                break;
        }
        LVITEM item{};
        item.mask = LVIF_TEXT;
        item.iItem = row;
        item.pszText = first;
        const int at = ListView_InsertItem(list, &item);
        ListView_SetItemText(list, at, 1, name ? name : _M(""));
    }
    if (selected >= 0 && selected < rows) {
        ListView_SetItemState(list, selected, LVIS_SELECTED, LVIS_SELECTED);
    }
}

void ShowBoxSize(HWND hWnd, IParamBlock2* pb, const Selection& s, TimeValue t) {
    wchar_t text[96] = L"";
    if (s.item >= 0 && s.item < pb->Count(Item_Box_Max) && s.item < pb->Count(Item_Box_Min)) {
        const Point3 size =
            pb->GetPoint3(Item_Box_Max, t, s.item) - pb->GetPoint3(Item_Box_Min, t, s.item);
        std::swprintf(text, 96, L"%.2f  x  %.2f  x  %.2f", static_cast<double>(size.x),
                      static_cast<double>(size.y), static_cast<double>(size.z));
    }
    SetDlgItemText(hWnd, IDC_BOX_SIZE, text);
}

// Shows the selection's values in the controls (the staged checkboxes' boxes included; their
// staging parameters are written by the selection itself, see Select).
void ShowValues(HWND hWnd, IParamBlock2* pb, const Selection& s, TimeValue t) {
    const int entry = s.entry >= 0 ? s.entry : 0;
    for (const RangeSpinner& r : kRangeSpinners) {
        ShowSpinner(hWnd, r.spin, GetEntry(pb, r.low, entry, t));
    }
    for (const ItemSpinner& r : kItemSpinners) {
        const float v = r.integer ? static_cast<float>(GetIntEntry(pb, r.table, s.item, t))
                                  : GetEntry(pb, r.table, s.item, t);
        ShowSpinner(hWnd, r.spin, v);
    }
    const bool knots = IsPostOrEnd(s);
    ShowSpinner(hWnd, kSpacingSpin,
                knots ? pb->GetFloat(KnotSpacing, t) : GetEntry(pb, Item_Spacing, entry, t));
    ShowSpinner(hWnd, kSpacingRandomSpin, GetEntry(pb, Item_Spacing_Random, entry, t));
    ShowSpinner(
        hWnd, kStartOffsetSpin,
        knots ? pb->GetFloat(Knot_Start_Offset, t) : GetEntry(pb, Item_Start_Offset, entry, t));
    ShowSpinner(hWnd, kEndOffsetSpin,
                knots ? pb->GetFloat(Knot_End_Offset, t) : GetEntry(pb, Item_End_Offset, entry, t));
    ShowSpinner(hWnd, kKnotThreshSpin, pb->GetFloat(KnotThresh, t));
    for (const auto& c : kStagedChecks) {
        CheckDlgButton(hWnd, c.id,
                       GetIntEntry(pb, c.table, entry, t) ? BST_CHECKED : BST_UNCHECKED);
    }
    for (const auto& c : kItemChecks) {
        CheckDlgButton(hWnd, c.id,
                       GetIntEntry(pb, c.table, s.item, t) ? BST_CHECKED : BST_UNCHECKED);
    }
    CheckDlgButton(hWnd, kEntryCheck,
                   GetIntEntry(pb, Item_Check_1118, entry, t) ? BST_CHECKED : BST_UNCHECKED);
    CheckDlgButton(hWnd, kEndCheck,
                   GetIntEntry(pb, End_Check_1119, s.end, t) ? BST_CHECKED : BST_UNCHECKED);
    ShowBoxSize(hWnd, pb, s, t);
}

// Which controls apply to the row's kind: the ranges to "All Objects" and to items, the
// zero-based controls to items only, the end option to end objects, the list commands to the
// rows they move. Nothing but the adding buttons while no row is selected.
void EnableForRow(HWND hWnd, const Selection& s) {
    const bool ranges = s.entry >= 0;
    const bool item = s.item >= 0;
    const bool sequence = s.row.kind == RowKind::Sequence;
    for (const RangeSpinner& r : kRangeSpinners) EnableControl(hWnd, r.spin, ranges);
    for (const ItemSpinner& r : kItemSpinners) EnableControl(hWnd, r.spin, item);
    for (int id :
         {kSpacingSpin, kSpacingRandomSpin, kStartOffsetSpin, kEndOffsetSpin, kKnotThreshSpin}) {
        EnableControl(hWnd, id, ranges);
    }
    for (const auto& c : kStagedChecks) EnableControl(hWnd, c.id, ranges);
    for (const auto& c : kItemChecks) EnableControl(hWnd, c.id, item);
    EnableControl(hWnd, kEntryCheck, ranges);
    EnableControl(hWnd, kEndCheck, s.row.kind == RowKind::End);
    EnableControl(hWnd, IDC_DELETE_ROW, item);
    EnableControl(hWnd, IDC_SHIFT_UP, sequence);
    EnableControl(hWnd, IDC_SHIFT_DOWN, sequence);
    EnableControl(hWnd, IDC_MAKE_POST, item && s.row.kind != RowKind::End);
    EnableControl(hWnd, IDC_MAKE_END, item && s.row.kind != RowKind::Post);
    SetButtonText(hWnd, IDC_MAKE_POST,
                  s.row.kind == RowKind::Post ? _M("Delete Post") : _M("Make Post"));
    SetButtonText(hWnd, IDC_MAKE_END,
                  s.row.kind == RowKind::End ? _M("Delete End") : _M("Make End"));
}

class ObjectProc final : public RolloutProc {
public:
    ObjectProc() : RolloutProc(map_objects, true, true) {}

private:
    void SetUp(Trellon& /*obj*/, HWND hWnd, TimeValue /*t*/) override {
        SetUpList(hWnd);
        SetUpButton(hWnd, IDC_PICK_ITEMS, _M(":/add"),
                    _M("Add single distribution objects to spline."), true);
        SetUpButton(hWnd, IDC_ADD_FROM_LIST, _M(":/add_dialog"),
                    _M("Add multiple distribution objects to spline from list."), false);
        SetUpButton(hWnd, IDC_DELETE_ROW, _M(":/remove"),
                    _M("Delete distribution object from list."), false);
        SetUpButton(hWnd, IDC_ADD_NULL, _M(":/add_null"),
                    _M("Add null/blank distribution object to list."), false);
        SetUpButton(hWnd, IDC_SHIFT_UP, _M(":/up"), _M("Shift distribution object up list order."),
                    false);
        SetUpButton(hWnd, IDC_SHIFT_DOWN, _M(":/down"),
                    _M("Shift distribution object down list order."), false);
        SetUpButton(hWnd, IDC_MAKE_POST, nullptr, _M("Add/Remove posts to distributed spline."),
                    false);
        SetUpButton(hWnd, IDC_MAKE_END, nullptr,
                    _M("Add/Remove end objects to distributed spline."), false);
        SetUpButton(hWnd, IDC_SEED_TRANSFORMS, nullptr, _M("Random seed transformations"), false);
        SetUpButton(hWnd, IDC_SEED_MIRROR, nullptr, _M("Random seed mirror"), false);
        for (const RangeSpinner& r : kRangeSpinners) {
            SetUpSpinner(hWnd, r.spin, r.edit, false, r.min, r.max, 0.0f);
        }
        for (const ItemSpinner& r : kItemSpinners) {
            SetUpSpinner(hWnd, r.spin, r.edit, r.integer, r.min, r.max, 0.0f);
        }
        SetUpSpinner(hWnd, kSpacingSpin, 1094, false, 0.0f, kWide, 0.0f);
        SetUpSpinner(hWnd, kSpacingRandomSpin, 1096, false, 0.0f, kWide, 0.0f);
        SetUpSpinner(hWnd, kStartOffsetSpin, 1115, false, -kWide, kWide, 0.0f);
        SetUpSpinner(hWnd, kEndOffsetSpin, 1098, false, -kWide, kWide, 0.0f);
        SetUpSpinner(hWnd, kKnotThreshSpin, 1091, false, 0.0f, kWide, 0.0f);
    }

    void Fill(Trellon& obj, HWND hWnd, TimeValue t) override {
        IParamBlock2* pb = obj.pblock2;
        if (obj.SelectedRow >= ObjectListRowCount(pb, t)) obj.SelectedRow = -1;
        FillList(GetDlgItem(hWnd, IDC_LIST), pb, t, obj.SelectedRow);
        const Selection s = Selected(obj, t);
        ShowValues(hWnd, pb, s, t);
        EnableForRow(hWnd, s);
    }

    // The user selected a row: the staged checkboxes' parameters take the entry's values, so
    // what the map shows and what a click writes agree. A selection is no edit of the scene: it
    // stays out of the undo record.
    void Select(Trellon& obj, HWND hWnd, int row, TimeValue t) override {
        obj.SelectedRow = row;
        const Selection s = Selected(obj, t);
        if (s.entry >= 0) {
            HoldSuspend suspend;
            Trellon::ReadyHold ready(obj);
            for (const auto& c : kStagedChecks) {
                obj.pblock2->SetValue(c.staging, t, GetIntEntry(obj.pblock2, c.table, s.entry, t));
            }
        }
        ShowValues(hWnd, obj.pblock2, s, t);
        EnableForRow(hWnd, s);
    }

    void Command(Trellon& obj, HWND hWnd, int id, int /*code*/, TimeValue t) override {
        IParamBlock2* pb = obj.pblock2;
        const Selection s = Selected(obj, t);
        const int row = obj.SelectedRow;
        switch (id) {
            case IDC_PICK_ITEMS:
                ThePicker().Start(obj, kPickItems);
                return;
            case IDC_ADD_FROM_LIST: {
                ListDialog dialog(obj, ListDialog::Adds::Items);
                if (obj.Interface) obj.Interface->DoHitByNameDialog(&dialog);
                return;
            }
            case IDC_DELETE_ROW:
                if (s.item >= 0) RunCommand(_M("Delete Object"), [&] { DeleteRow(obj, row); });
                return;
            case IDC_ADD_NULL:
                RunCommand(_M("Add Null Object"), [&] { AddNullRow(obj, row); });
                return;
            case IDC_SHIFT_UP:
            case IDC_SHIFT_DOWN:
                if (s.row.kind != RowKind::Sequence) return;
                RunCommand(id == IDC_SHIFT_UP ? _M("Shift Up") : _M("Shift Down"), [&] {
                    if (id == IDC_SHIFT_UP) {
                        ShiftUp(obj, row);
                    } else {
                        ShiftDown(obj, row);
                    }
                });
                return;
            case IDC_MAKE_POST:
                if (s.item >= 0 && s.row.kind != RowKind::End) {
                    RunCommand(s.row.kind == RowKind::Post ? _M("Delete Post") : _M("Make Post"),
                               [&] { MakePost(obj, row); });
                }
                return;
            case IDC_MAKE_END:
                if (s.item >= 0 && s.row.kind != RowKind::Post) {
                    RunCommand(s.row.kind == RowKind::End ? _M("Delete End") : _M("Make End"),
                               [&] { MakeEnd(obj, row); });
                }
                return;
            case IDC_SEED_TRANSFORMS:
                RunCommand(_M("Seed Transforms"), [&] { SeedTransforms(obj, row < 0 ? 0 : row); });
                return;
            case IDC_SEED_MIRROR:
                RunCommand(_M("Seed Mirror"), [&] { SeedMirror(obj, row < 0 ? 0 : row); });
                return;
            case IDC_CHECK_1104:
                obj.RefreshObject();
                return;
            case IDC_HELP:
                OpenHelp(HelpPage::Objects);
                return;
            default:
                break;
        }
        const bool checked = IsDlgButtonChecked(hWnd, id) == BST_CHECKED;
        for (const auto& c : kStagedChecks) {
            if (c.id == id && s.entry >= 0) {
                const int v = pb->GetInt(c.staging, t);
                RunCommand(kParamChange, [&] { SetIntEntry(pb, c.table, s.entry, v, t); });
                return;
            }
        }
        for (const auto& c : kItemChecks) {
            if (c.id == id && s.item >= 0) {
                RunCommand(kParamChange, [&] { SetIntEntry(pb, c.table, s.item, checked, t); });
                return;
            }
        }
        if (id == kEntryCheck && s.entry >= 0) {
            RunCommand(kParamChange,
                       [&] { SetIntEntry(pb, Item_Check_1118, s.entry, checked, t); });
        } else if (id == kEndCheck && s.end >= 0) {
            RunCommand(kParamChange, [&] { SetIntEntry(pb, End_Check_1119, s.end, checked, t); });
        }
    }

    // Writes a spinner's value into its tables as one undo step and one rebuild.
    void Spinner(Trellon& obj, HWND hWnd, int id, TimeValue t) override {
        IParamBlock2* pb = obj.pblock2;
        const Selection s = Selected(obj, t);
        const float v = SpinnerValue(hWnd, id);
        bool refresh = false;
        RunCommand(kParamChange, [&] {
            Trellon::ReadyHold ready(obj);
            refresh = ready.WasReady();
            WriteSpinner(obj, pb, s, id, v, t);
        });
        obj.InvalidateUI();
        if (refresh) obj.RefreshObject();
    }

    static void WriteSpinner(Trellon& obj, IParamBlock2* pb, const Selection& s, int id, float v,
                             TimeValue t) {
        const bool fixed = s.entry >= 0 && GetIntEntry(pb, Item_Random_Trans, s.entry, t) == 0;
        for (const RangeSpinner& r : kRangeSpinners) {
            if (r.spin != id) continue;
            if (s.entry < 0) return;
            SetEntry(pb, r.low, s.entry, v, t);
            if (fixed) SetEntry(pb, r.high, s.entry, v, t);
            if (r.unifyY >= 0 && GetIntEntry(pb, Item_Unify_Scale, s.entry, t) == 1) {
                SetEntry(pb, r.unifyY, s.entry, v, t);
                SetEntry(pb, r.unifyZ, s.entry, v, t);
                if (fixed) {
                    SetEntry(pb, r.unifyYHigh, s.entry, v, t);
                    SetEntry(pb, r.unifyZHigh, s.entry, v, t);
                }
            }
            return;
        }
        for (const ItemSpinner& r : kItemSpinners) {
            if (r.spin != id) continue;
            if (r.integer) {
                SetIntEntry(pb, r.table, s.item, static_cast<int>(v + (v < 0 ? -0.5f : 0.5f)), t);
            } else {
                SetEntry(pb, r.table, s.item, v, t);
            }
            return;
        }
        const bool knots = IsPostOrEnd(s);
        const bool each = pb->GetInt(Geo_Pattern, t) == 2;
        switch (id) {
            case kSpacingSpin:
                if (s.entry < 0) return;
                pb->SetValue(Geo_UserSpacing, t, 1);
                if (knots) {
                    pb->SetValue(KnotSpacing, t, v);
                } else if (each) {
                    SetEntry(pb, Item_Spacing, s.entry, v, t);
                    if (fixed) SetEntry(pb, Item_Spacing_Random, s.entry, v, t);
                } else {
                    // The sequences step by one spacing for every object: all entries follow.
                    ItemTables tables(pb, t);
                    for (int entry = 0; entry <= tables.ObjectCount(); ++entry) {
                        SetEntry(pb, Item_Spacing, entry, v, t);
                        SetEntry(pb, Item_Spacing_Random, entry, v, t);
                    }
                    if (tables.PostCount() == 0) pb->SetValue(KnotSpacing, t, v);
                }
                return;
            case kSpacingRandomSpin:
                if (s.entry < 0) return;
                pb->SetValue(Geo_UserSpacing, t, 1);
                if (each) SetEntry(pb, Item_Spacing_Random, s.entry, v, t);
                return;
            case kStartOffsetSpin:
            case kEndOffsetSpin: {
                if (s.entry < 0) return;
                const bool start = id == kStartOffsetSpin;
                if (knots) {
                    pb->SetValue(start ? Knot_Start_Offset : Knot_End_Offset, t, v);
                } else {
                    SetEntry(pb, start ? Item_Start_Offset : Item_End_Offset, s.entry, v, t);
                }
                return;
            }
            case kKnotThreshSpin:
                pb->SetValue(KnotThresh, t, v);
                return;
            default:
                (void)obj;
                return;
        }
    }
};

}  // namespace

ParamMap2UserDlgProc* ObjectDlgProc() {
    static ObjectProc proc;
    return &proc;
}

}  // namespace trellon::ui
