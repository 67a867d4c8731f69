// Creating a Trellon object with the mouse: one click places it, one drag sizes its placeholder
// mesh (the logo shown until a path and items are set).
//
// The host sends the mouse events of a creation to the callback that the object's
// GetCreateMouseCallBack returns: one static instance, bound to the object being created.
//
//   point 0 (button pressed): the object is placed at the snapped point under the mouse and
//       Logo_size becomes 0; the new node and the object's tables are set up (below).
//   point 1 (moves while the button is held, and the release): Logo_size is the drag distance
//       in the construction plane, measured along the plane's Y axis; the release ends the
//       creation.
//   point 2 and later: the creation has ended.
// While the object is being placed its snapping is suspended (suspendSnap), so the mouse does
// not snap to the object itself; the release lifts it.
//
// Set-up at the first click: the node is aligned with the world axes (its position kept), gets
// the wire colour of palette entry 0 (RGB 186, 214, 54) and a multi/sub-object material whose 27
// standard sub-materials carry the palette's colours, and goes on the layer
// "Kavo_Trellon_Objects"; every shared-entry table receives its entry 0.
#pragma once

#include "object.h"

class INode;

namespace trellon {

class Trellon;
class TrellonCreateCallBack : public CreateMouseCallBack {
public:
    // Binds the callback to the object the following events create.
    void SetObj(Trellon* obj) { ob_ = obj; }
    Trellon* GetObj() const { return ob_; }

    // CREATE_STOP when the viewport is missing or closed (and for points after the release);
    // CREATE_ABORT for MOUSE_ABORT, and for a point message while no object is bound;
    // CREATE_CONTINUE otherwise.
    int proc(ViewExp* vpt, int msg, int point, int flags, IPoint2 m, Matrix3& mat) override;
    int override(int mode) override { return mode; }

private:
    int OnPoint(ViewExp& vpt, int msg, int point, IPoint2 m, Matrix3& mat);
    void SetUpNewObject(TimeValue t);

    Trellon* ob_ = nullptr;
    IPoint2 sp0_;  // screen point of the first click
    Point3 p0_;    // construction-plane point of the first click
};

// The one callback instance, alive for the module's lifetime.
TrellonCreateCallBack& GetTrellonCreateCallBack();

// The set-up steps of the first click, each usable on its own.
// Sets the node transform at t to the identity rotation and scale, keeping the position.
void AlignNodeToWorld(INode* node, TimeValue t);
// Gives the node a new multi/sub-object material with 27 standard sub-materials, sub-material i
// coloured with palette entry i. Leaves the node's material as it was when the host cannot make
// the multi-material; a sub-material the host cannot make stays empty.
void AssignPaletteMaterial(INode* node, TimeValue t);

}  // namespace trellon
