#include "render/light_nodes.h"

#include "control.h"
#include "inode.h"
#include "maxapi.h"

namespace trellon {

INode* MakeLightNode(INode* source, const Matrix3& copyTM, TimeValue t) {
    Interface* ip = GetCOREInterface();
    Object* light = source ? source->GetObjectRef() : nullptr;
    if (!ip || !light) return nullptr;
    INode* node = ip->CreateObjectNode(light);
    if (!node) return nullptr;
    MSTR name(_M("TL_"));
    name += MSTR(source->GetName());
    ip->MakeNameUnique(name);
    node->SetName(name.data());

    // The source's motion, when a controller drives it.
    if (Control* motion = source->GetTMController()) {
        auto* copy =
            static_cast<Control*>(CreateInstance(motion->SuperClassID(), motion->ClassID()));
        if (copy) {
            copy->Copy(motion);
            node->SetTMController(copy);
        }
    }
    // A hidden source still gives visible render lights.
    node->CopyProperties(source);
    node->Hide(FALSE);

    // The source's orientation and its object's offset from the pivot (the pivot moves, the
    // object stays), then the copy's place.
    Matrix3 oriented = source->GetNodeTM(t);
    oriented.NoTrans();
    node->SetNodeTM(t, oriented);
    node->SetObjOffsetPos(source->GetObjOffsetPos());
    node->SetObjOffsetRot(source->GetObjOffsetRot());
    node->SetObjOffsetScale(source->GetObjOffsetScale());
    Matrix3 placed = copyTM;
    node->SetNodeTM(t, placed);
    return node;
}

}  // namespace trellon
