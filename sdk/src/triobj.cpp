// TriObject: a plain triangle-mesh object.
#include "triobj.h"

#include "inode.h"

TriObject* CreateNewTriObject() { return new TriObject(); }

int TriObject::CanConvertToType(Class_ID obtype) {
    return obtype == triObjectClassID || obtype == defObjectClassID ? 1 : 0;
}

// A TriObject is its own triangle mesh whatever class it reports: the editable mesh, a subclass
// with its own class ID, converts to a TriObject by handing out itself.
Object* TriObject::ConvertToType(TimeValue t, Class_ID obtype) {
    if (obtype == triObjectClassID) return this;
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
