#include "ui/picker.h"

#include "inode.h"
#include "iparamm2.h"
#include "object/param_ids.h"
#include "object/setup_ops.h"
#include "object/trellon.h"
#include "plugin/plugin.h"
#include "resource.h"
#include "ui/rollout_kit.h"

namespace trellon::ui {

namespace {

constexpr int kObjectListTitle = 15;
constexpr int kSweepListTitle = 16;

}  // namespace

TrellonPicker& ThePicker() {
    static TrellonPicker picker;
    return picker;
}

void TrellonPicker::Start(Trellon& obj, int mode) {
    IObjParam* ip = obj.Interface;
    if (!ip) return;
    // Ends the mode in force (this one too: its button goes up before the new one goes down).
    ip->ClearPickMode();
    object_ = &obj;
    mode_ = mode;
    ip->SetPickMode(this);
}

void TrellonPicker::Forget(Trellon& obj) {
    if (object_ == &obj) object_ = nullptr;
}

BOOL TrellonPicker::Filter(INode* node) {
    if (!object_ || !node) return FALSE;
    switch (mode_) {
        case kPickPath:
            return CanBePath(*object_, node) ? TRUE : FALSE;
        case kPickItems:
            return CanBeItem(*object_, node) ? TRUE : FALSE;
        case kPickShapes:
            return CanBeShape(*object_, node) ? TRUE : FALSE;
        default:
            return FALSE;
    }
}

BOOL TrellonPicker::HitTest(IObjParam* ip, HWND hWnd, ViewExp* /*vpt*/, IPoint2 m, int /*flags*/) {
    return ip && ip->PickNode(hWnd, m, this) ? TRUE : FALSE;
}

BOOL TrellonPicker::Pick(IObjParam* /*ip*/, ViewExp* vpt) {
    INode* node = vpt ? vpt->GetClosestHit() : nullptr;
    if (!object_ || !node || !Filter(node)) return FALSE;
    Trellon& obj = *object_;
    switch (mode_) {
        case kPickPath:
            RunCommand(_M("Pick Path"), [&] { PickPath(obj, node); });
            // One path per pick: the mode ends.
            return TRUE;
        case kPickItems:
            RunCommand(_M("Add Object"), [&] { AddItem(obj, node); });
            return FALSE;
        case kPickShapes:
            RunCommand(_M("Add Shape"), [&] {
                obj.SelectedSweepRow = -1;
                AddShape(obj, node);
            });
            return FALSE;
        default:
            return TRUE;
    }
}

void TrellonPicker::ShowButton(bool checked) {
    if (!object_) return;
    const int map = mode_ == kPickPath    ? map_spline
                    : mode_ == kPickItems ? map_objects
                                          : map_sweeps;
    const int button = mode_ == kPickPath ? IDC_PICK_PATH : IDC_PICK_ITEMS;
    if (IParamMap2* m = object_->ParamMaps[static_cast<std::size_t>(map)]) {
        SetButtonChecked(m->GetHWnd(), button, checked);
    }
}

void TrellonPicker::EnterMode(IObjParam* /*ip*/) { ShowButton(true); }

void TrellonPicker::ExitMode(IObjParam* /*ip*/) { ShowButton(false); }

HCURSOR TrellonPicker::GetDefCursor(IObjParam* /*ip*/) {
    return LoadCursor(hInstance, MAKEINTRESOURCE(mode_ == kPickItems ? IDC_CURSOR_PICK_ITEM
                                                                     : IDC_CURSOR_PICK_SHAPE));
}

HCURSOR TrellonPicker::GetHitCursor(IObjParam* /*ip*/) {
    return LoadCursor(hInstance, MAKEINTRESOURCE(mode_ == kPickItems ? IDC_CURSOR_HIT_ITEM
                                                                     : IDC_CURSOR_HIT_SHAPE));
}

const MCHAR* ListDialog::dialogTitle() {
    return GetString(adds_ == Adds::Items ? kObjectListTitle : kSweepListTitle);
}
const MCHAR* ListDialog::buttonText() { return _M("Add"); }
int ListDialog::filter(INode* node) {
    const bool offered =
        adds_ == Adds::Items ? CanBeItem(object_, node) : CanBeShape(object_, node);
    return offered ? TRUE : FALSE;
}
void ListDialog::proc(INodeTab& nodeTab) {
    Trellon& obj = object_;
    if (adds_ == Adds::Items) {
        RunCommand(_M("Add Objects"), [&] { AddItems(obj, nodeTab); });
        return;
    }
    RunCommand(_M("Add Shapes"), [&] {
        obj.SelectedSweepRow = -1;
        AddShapes(obj, nodeTab);
    });
}

}  // namespace trellon::ui
