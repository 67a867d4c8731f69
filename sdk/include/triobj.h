// TriObject: a scene object that is just a triangle mesh (the editable mesh).
#pragma once

#include "mesh.h"
#include "object.h"

class TriObject : public GeomObject {
public:
    Mesh mesh;

    TriObject() = default;

    Class_ID ClassID() override { return triObjectClassID; }
    void GetClassName(MSTR& s) override { s = MSTR(_M("Editable Mesh")); }
    const MCHAR* GetObjectName() override { return _M("Mesh"); }
    void InitNodeName(MSTR& s) override { s = MSTR(_M("Mesh")); }
    CreateMouseCallBack* GetCreateMouseCallBack() override { return nullptr; }

    Mesh& GetMesh() { return mesh; }

    ObjectState Eval(TimeValue /*t*/) override { return ObjectState(this); }
    int CanConvertToType(Class_ID obtype) override;
    Object* ConvertToType(TimeValue t, Class_ID obtype) override;
    // A TriObject is already a mesh: nothing to collapse to.
    void GetCollapseTypes(Tab<Class_ID>& /*clist*/, Tab<MSTR*>& /*nlist*/) override {}
    Mesh* GetRenderMesh(TimeValue t, INode* inode, View& view, BOOL& needDelete) override;

    void GetLocalBoundBox(TimeValue t, INode* inode, ViewExp* vp, Box3& box) override;
    void GetWorldBoundBox(TimeValue t, INode* inode, ViewExp* vp, Box3& box) override;

    // A new TriObject with a copy of the mesh.
    ReferenceTarget* Clone(RemapDir& remap) override;

    RefResult NotifyRefChanged(const Interval& /*changeInt*/, RefTargetHandle /*hTarget*/,
                               PartID& /*partID*/, RefMessage /*message*/,
                               BOOL /*propagate*/) override {
        return REF_SUCCEED;
    }
};

// A new, empty TriObject (the caller owns it).
TriObject* CreateNewTriObject();
