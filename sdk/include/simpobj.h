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

// A simple object whose parameters live in one parameter block, its reference 0.
class SimpleObject2 : public SimpleObjectBase {
public:
    IParamBlock2* pblock2 = nullptr;
};
