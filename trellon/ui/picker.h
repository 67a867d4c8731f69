// How scene nodes enter the object from the panel: picked one at a time in a viewport
// (TrellonPicker, a pick mode), or chosen several at a time in the host's select-by-name dialog
// (ObjectListDialog, SweepListDialog). Each offers only the nodes the matching set-up operation
// takes (setup_ops.h: CanBePath, CanBeItem, CanBeShape) and hands the choice to that operation, as
// one undo step.
//
// Pick modes: 0 the path (ends after one pick), 1 distribution objects, 4 swept shapes (both go
// on until the user ends them, another pick mode starts, or the rollouts close).
#pragma once

#include "maxapi.h"

namespace trellon {
class Trellon;
}

namespace trellon::ui {

enum PickMode { kPickPath = 0, kPickItems = 1, kPickShapes = 4 };

class TrellonPicker : public PickModeCallback, public PickNodeCallback {
public:
    // Starts pick mode `mode` for obj: the host ends the mode in force first.
    void Start(Trellon& obj, int mode);

    BOOL HitTest(IObjParam* ip, HWND hWnd, ViewExp* vpt, IPoint2 m, int flags) override;
    BOOL Pick(IObjParam* ip, ViewExp* vpt) override;
    void EnterMode(IObjParam* ip) override;
    void ExitMode(IObjParam* ip) override;
    HCURSOR GetDefCursor(IObjParam* ip) override;
    HCURSOR GetHitCursor(IObjParam* ip) override;
    PickNodeCallback* GetFilter() override { return this; }
    BOOL Filter(INode* node) override;

    Trellon* Object() const { return object_; }
    int Mode() const { return mode_; }
    // Forgets obj when it is the object served (its rollouts close).
    void Forget(Trellon& obj);

private:
    // The rollout and button that started the mode.
    void ShowButton(bool checked);

    Trellon* object_ = nullptr;
    int mode_ = kPickPath;
};

// The one picker of the module.
TrellonPicker& ThePicker();

// The select-by-name list of the objects rollout (the nodes that can be items) or of the sweeps
// rollout (the shapes): the nodes it offers, and adding the chosen ones as one undo step.
class ListDialog : public HitByNameDlgCallback {
public:
    enum class Adds { Items, Shapes };
    ListDialog(Trellon& obj, Adds adds) : object_(obj), adds_(adds) {}
    const MCHAR* dialogTitle() override;
    const MCHAR* buttonText() override;
    int filter(INode* node) override;
    void proc(INodeTab& nodeTab) override;

private:
    Trellon& object_;
    Adds adds_;
};

}  // namespace trellon::ui
