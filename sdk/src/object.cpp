// Object base classes: evaluation state, conversion and the default render mesh.
#include "object.h"

#include "triobj.h"

void ObjectState::SetTM(const Matrix3* mat, Interval iv) {
    if (!mat) {
        hasTM_ = false;
        tmvi_ = FOREVER;
        return;
    }
    tm_ = *mat;
    hasTM_ = true;
    tmvi_ = iv;
}

int Object::CanConvertToType(Class_ID obtype) {
    return obtype == defObjectClassID || obtype == ClassID() ? 1 : 0;
}

Object* Object::ConvertToType(TimeValue /*t*/, Class_ID obtype) {
    return obtype == defObjectClassID || obtype == ClassID() ? this : nullptr;
}

void Object::GetCollapseTypes(Tab<Class_ID>& clist, Tab<MSTR*>& nlist) {
    if (!CanConvertToType(triObjectClassID)) return;
    Class_ID id = triObjectClassID;
    clist.Append(1, &id);
    MSTR* name = new MSTR(_M("Editable Mesh"));
    nlist.Append(1, &name);
}

Mesh* GeomObject::GetRenderMesh(TimeValue t, INode* /*inode*/, View& /*view*/, BOOL& needDelete) {
    needDelete = FALSE;
    if (!CanConvertToType(triObjectClassID)) return nullptr;
    Object* converted = ConvertToType(t, triObjectClassID);
    if (!converted) return nullptr;
    auto* tri = dynamic_cast<TriObject*>(converted);
    if (converted == this) return tri ? &tri->mesh : nullptr;
    Mesh* result = tri ? new Mesh(tri->mesh) : nullptr;
    converted->DeleteMe();
    needDelete = result ? TRUE : FALSE;
    return result;
}
