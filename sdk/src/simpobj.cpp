// SimpleObjectBase: mesh caching by validity interval, and conversion to a TriObject.
#include "simpobj.h"

#include "inode.h"
#include "iparamb2.h"
#include "triobj.h"

void SimpleObjectBase::UpdateMesh(TimeValue t) {
    if (!ivalid.InInterval(t)) BuildMesh(t);
}

Interval SimpleObjectBase::ObjectValidity(TimeValue t) {
    UpdateMesh(t);
    return ivalid;
}

int SimpleObjectBase::CanConvertToType(Class_ID obtype) {
    return obtype == triObjectClassID || GeomObject::CanConvertToType(obtype) ? 1 : 0;
}

Object* SimpleObjectBase::ConvertToType(TimeValue t, Class_ID obtype) {
    if (obtype == triObjectClassID && obtype != ClassID()) {
        UpdateMesh(t);
        TriObject* tri = CreateNewTriObject();
        tri->mesh = mesh;
        return tri;
    }
    return GeomObject::ConvertToType(t, obtype);
}

Mesh* SimpleObjectBase::GetRenderMesh(TimeValue t, INode* /*inode*/, View& /*view*/,
                                      BOOL& needDelete) {
    UpdateMesh(t);
    needDelete = FALSE;
    return &mesh;
}

void SimpleObjectBase::GetLocalBoundBox(TimeValue t, INode* /*inode*/, ViewExp* /*vp*/, Box3& box) {
    UpdateMesh(t);
    box = mesh.getBoundingBox();
}

void SimpleObjectBase::GetWorldBoundBox(TimeValue t, INode* inode, ViewExp* /*vp*/, Box3& box) {
    UpdateMesh(t);
    if (!inode) {
        box = mesh.getBoundingBox();
        return;
    }
    const Matrix3 tm = inode->GetObjectTM(t);
    box = mesh.getBoundingBox(&tm);
}

RefTargetHandle SimpleObject2::GetReference(int i) { return i == 0 ? pblock2 : nullptr; }

void SimpleObject2::SetReference(int i, RefTargetHandle rtarg) {
    if (i == 0) pblock2 = dynamic_cast<IParamBlock2*>(rtarg);
}

Animatable* SimpleObject2::SubAnim(int i) { return i == 0 ? pblock2 : nullptr; }

MSTR SimpleObject2::SubAnimName(int i) {
    return i == 0 && pblock2 ? pblock2->GetLocalName() : MSTR();
}

IParamBlock2* SimpleObject2::GetParamBlockByID(short id) {
    return pblock2 && pblock2->ID() == id ? pblock2 : nullptr;
}
