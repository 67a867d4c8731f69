// SimpleObjectBase: mesh caching by validity interval, and conversion to a TriObject.
#include "simpobj.h"

#include "inode.h"
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
