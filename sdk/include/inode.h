// INode: a node of the scene, holding an object, a transform, a material, a layer and display
// flags. The host implements it; plug-ins see only this interface.
//
// Transforms (row vectors, a point times a matrix): the node TM places the node's pivot in the
// world; the object-offset position, rotation and scale place the object relative to the pivot;
// the object TM is offset * node TM and maps the object's points to world space.
//
// References: a node refers to its object (the object's dependents therefore include its
// nodes), its material and its layer, which is reference NODE_LAYER_REF. Nodes belong to the
// scene and carry A_LOCK_TARGET, so letting go of a node never deletes it.
#pragma once

#include "control.h"
#include "interval.h"
#include "matrix3.h"
#include "maxtypes.h"
#include "object.h"
#include "point3.h"
#include "quat.h"
#include "ref.h"
#include "strclass.h"

class Mtl;

constexpr int NODE_LAYER_REF = 6;

// Flags of IsHidden.
constexpr DWORD HIDE_CHECK_LAYER = 1u << 0;  // a node on a hidden layer counts as hidden

class INode : public ReferenceTarget {
public:
    INode() { SetAFlag(A_LOCK_TARGET); }

    SClass_ID SuperClassID() override { return BASENODE_CLASS_ID; }

    virtual ULONG GetHandle() = 0;
    virtual const MCHAR* GetName() = 0;
    virtual void SetName(const MCHAR* s) = 0;

    virtual Matrix3 GetNodeTM(TimeValue t, Interval* valid = nullptr) = 0;
    virtual void SetNodeTM(TimeValue t, Matrix3& tm) = 0;
    // The controller that drives the node's transform; the host's nodes keep a static transform
    // and have none (null), and setting one keeps nothing.
    virtual Control* GetTMController() { return nullptr; }
    virtual BOOL SetTMController(Control* /*c*/) { return FALSE; }
    // Takes over another node's properties: its render flags, display flags and wire colour (not
    // its name, transform, object, material or layer).
    virtual void CopyProperties(INode* from) = 0;
    virtual Matrix3 GetObjectTM(TimeValue t, Interval* valid = nullptr) = 0;
    // Object TM before and after world-space modifiers; without them both are the object TM.
    virtual Matrix3 GetObjTMBeforeWSM(TimeValue t, Interval* valid = nullptr) {
        return GetObjectTM(t, valid);
    }
    virtual Matrix3 GetObjTMAfterWSM(TimeValue t, Interval* valid = nullptr) {
        return GetObjectTM(t, valid);
    }
    virtual Point3 GetObjOffsetPos() = 0;
    virtual void SetObjOffsetPos(Point3 p) = 0;
    virtual Quat GetObjOffsetRot() = 0;
    virtual void SetObjOffsetRot(Quat q) = 0;
    virtual ScaleValue GetObjOffsetScale() = 0;
    virtual void SetObjOffsetScale(ScaleValue sv) = 0;

    // The object evaluated at t (with its world-space transform when one applies).
    virtual const ObjectState& EvalWorldState(TimeValue t, BOOL evalHidden = TRUE) = 0;
    virtual Object* GetObjectRef() = 0;
    virtual void SetObjectRef(Object* o) = 0;
    // The object at the top of the node's pipeline; without world-space modifiers, the object.
    virtual Object* GetObjOrWSMRef() { return GetObjectRef(); }

    virtual Mtl* GetMtl() = 0;
    virtual void SetMtl(Mtl* matl) = 0;
    // Wire colour as 0x00BBGGRR (RGB(r,g,b)).
    virtual DWORD GetWireColor() = 0;
    virtual void SetWireColor(DWORD newcol) = 0;

    // Hidden by its own flag; with HIDE_CHECK_LAYER in hflags also by its layer.
    virtual int IsHidden(DWORD hflags = 0, BOOL forRenderer = FALSE) = 0;
    virtual void Hide(BOOL onOff) = 0;
    virtual int IsNodeHidden(BOOL checkLayer = FALSE) {
        return IsHidden(checkLayer ? HIDE_CHECK_LAYER : 0);
    }
    virtual int Renderable() = 0;
    virtual void SetRenderable(BOOL onOff) = 0;
    // A camera's or light's target node.
    virtual int IsTarget() = 0;
    virtual int Selected() = 0;

    virtual int IsRootNode() = 0;
    virtual INode* GetParentNode() = 0;
    virtual int NumberOfChildren() = 0;
    virtual INode* GetChildNode(int i) = 0;
    // Makes node a child of this one; keepTM keeps its world transform.
    virtual void AttachChild(INode* node, int keepTM = 1) = 0;
    // Moves this node back under the root.
    virtual void Detach(TimeValue t, int keepTM = 1) = 0;
};
