// TriObject: a plain triangle-mesh object.
#include "triobj.h"

#include "inode.h"

TriObject* CreateNewTriObject() { return new TriObject(); }

int TriObject::CanConvertToType(Class_ID obtype) {
    return obtype == triObjectClassID || obtype == defObjectClassID ? 1 : 0;
}

Object* TriObject::ConvertToType(TimeValue t, Class_ID obtype) {
    return GeomObject::ConvertToType(t, obtype);  // itself, for its own class and the generic
}

Mesh* TriObject::GetRenderMesh(TimeValue /*t*/, INode* /*inode*/, View& /*view*/,
                               BOOL& needDelete) {
    needDelete = FALSE;
    return &mesh;
}

void TriObject::GetLocalBoundBox(TimeValue /*t*/, INode* /*inode*/, ViewExp* /*vp*/, Box3& box) {
    box = mesh.getBoundingBox();
}

void TriObject::GetWorldBoundBox(TimeValue t, INode* inode, ViewExp* /*vp*/, Box3& box) {
    if (!inode) {
        box = mesh.getBoundingBox();
        return;
    }
    const Matrix3 tm = inode->GetObjectTM(t);
    box = mesh.getBoundingBox(&tm);
}

ReferenceTarget* TriObject::Clone(RemapDir& remap) {
    TriObject* copy = CreateNewTriObject();
    copy->mesh = mesh;
    BaseClone(this, copy, remap);
    return copy;
}
