// SimpleObjectBase: the base of procedural objects that build one mesh from their parameters.
//
// The object owns `mesh` and `ivalid`, the interval over which the mesh is right. UpdateMesh(t)
// calls BuildMesh(t) only when ivalid does not hold t; BuildMesh rebuilds the mesh and sets
// ivalid (left empty, every UpdateMesh rebuilds). To force a rebuild, empty ivalid first
// (ivalid.SetEmpty()).
//
// The object converts to a TriObject (a copy of the mesh at t) besides the generic object and
// itself, and so offers an editable mesh as collapse type (Object::GetCollapseTypes).
#pragma once

#include "interval.h"
#include "mesh.h"
#include "object.h"

class IParamBlock2;

class SimpleObjectBase : public GeomObject {
public:
    Mesh mesh;
    Interval ivalid;  // starts empty: the first UpdateMesh builds
    // Set by a creation callback while the object is being placed, so that snapping does not
    // land on the object itself; the object's Snap looks at it.
    BOOL suspendSnap = FALSE;

    virtual void BuildMesh(TimeValue t) = 0;
    void UpdateMesh(TimeValue t);
    // Empties ivalid so the next UpdateMesh rebuilds.
    void InvalidateMesh() { ivalid.SetEmpty(); }

    ObjectState Eval(TimeValue /*t*/) override { return ObjectState(this); }
    // The mesh's validity at t (the mesh is brought up to date first).
    Interval ObjectValidity(TimeValue t) override;
    int CanConvertToType(Class_ID obtype) override;
    Object* ConvertToType(TimeValue t, Class_ID obtype) override;
    // The object's own mesh, brought up to date (needDelete FALSE).
    Mesh* GetRenderMesh(TimeValue t, INode* inode, View& view, BOOL& needDelete) override;

    void GetLocalBoundBox(TimeValue t, INode* inode, ViewExp* vp, Box3& box) override;
    void GetWorldBoundBox(TimeValue t, INode* inode, ViewExp* vp, Box3& box) override;

    using GeomObject::GetInterface;
    void* GetInterface(ULONG id) override { return GeomObject::GetInterface(id); }
};

// A simple object whose parameters live in one parameter block: reference 0, sub-anim 0 and
// parameter block 0. Other indices answer null.
class SimpleObject2 : public SimpleObjectBase {
public:
    IParamBlock2* pblock2 = nullptr;

    int NumRefs() override { return 1; }
    RefTargetHandle GetReference(int i) override;
    int NumSubs() override { return 1; }
    Animatable* SubAnim(int i) override;
    MSTR SubAnimName(int i) override;
    int NumParamBlocks() override { return 1; }
    IParamBlock2* GetParamBlock(int i) override { return i == 0 ? pblock2 : nullptr; }
    // The block when id is its block ID.
    IParamBlock2* GetParamBlockByID(short id) override;

private:
    // Slot 0 takes a parameter block (anything else empties it); other slots are ignored.
    void SetReference(int i, RefTargetHandle rtarg) override;
};
