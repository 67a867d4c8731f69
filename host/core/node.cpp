#include "node.h"

#include <algorithm>
#include <utility>

#include "ilayer.h"
#include "imtl.h"
#include "scene.h"

namespace host {

Node::Node(Scene& scene, ULONG handle, const MSTR& name, bool isRoot)
    : scene_(scene), handle_(handle), name_(name), isRoot_(isRoot) {}

Node::~Node() = default;

void Node::SetName(const MCHAR* s) {
    MSTR next(s);
    if (!isRoot_) scene_.NodeRenamed(name_, next);
    name_ = std::move(next);
    NotifyDependents(FOREVER, PART_ALL, REFMSG_NODE_NAMECHANGE);
}

Matrix3 Node::GetNodeTM(TimeValue /*t*/, Interval* valid) {
    if (valid) *valid &= FOREVER;
    return nodeTM_;
}

void Node::SetNodeTM(TimeValue /*t*/, Matrix3& tm) {
    nodeTM_ = tm;
    nodeTM_.ValidateFlags();
    NotifyDependents(FOREVER, PART_TM, REFMSG_CHANGE);
}

// The object's offset from the pivot: scale first, then rotation, then position. The scale acts
// along the object's own axes (the scale value's own axis rotation is not used by this host).
void Node::CopyProperties(INode* from) {
    if (!from) return;
    renderable_ = from->Renderable() != 0;
    hidden_ = from->IsHidden() != 0;
    wireColor_ = from->GetWireColor();
}

Matrix3 Node::ObjectOffsetTM() const {
    Matrix3 tm = ScaleMatrix(offsetScale_.s);
    Matrix3 rot{1};
    offsetRot_.MakeMatrix(rot);
    tm = tm * rot;
    tm.SetTrans(tm.GetTrans() + offsetPos_);
    return tm;
}

Matrix3 Node::GetObjectTM(TimeValue t, Interval* valid) {
    // objectFromWorld is the pivot's frame: object space -> pivot -> world.
    return ObjectOffsetTM() * GetNodeTM(t, valid);
}

void Node::SetObjOffsetPos(Point3 p) {
    offsetPos_ = p;
    NotifyDependents(FOREVER, PART_TM, REFMSG_CHANGE);
}

void Node::SetObjOffsetRot(Quat q) {
    offsetRot_ = q;
    NotifyDependents(FOREVER, PART_TM, REFMSG_CHANGE);
}

void Node::SetObjOffsetScale(ScaleValue sv) {
    offsetScale_ = sv;
    NotifyDependents(FOREVER, PART_TM, REFMSG_CHANGE);
}

const ObjectState& Node::EvalWorldState(TimeValue t, BOOL /*evalHidden*/) {
    if (!object_) {
        worldState_ = ObjectState();
        return worldState_;
    }
    worldState_ = object_->Eval(t);
    const Matrix3 tm = GetObjectTM(t);
    worldState_.SetTM(&tm, FOREVER);
    return worldState_;
}

void Node::SetObjectRef(Object* o) {
    ReplaceReference(kObjectRef, o);
    NotifyDependents(FOREVER, PART_ALL, REFMSG_OBREF_CHANGE);
}

void Node::SetMtl(Mtl* matl) { ReplaceReference(kMtlRef, matl); }

int Node::IsHidden(DWORD hflags, BOOL /*forRenderer*/) {
    if (hidden_) return 1;
    if (hflags & HIDE_CHECK_LAYER) {
        if (ILayer* l = GetLayer(); l && l->IsHidden()) return 1;
    }
    return 0;
}

int Node::Selected() {
    for (int i = 0; i < scene_.GetSelNodeCount(); ++i) {
        if (scene_.GetSelNode(i) == this) return 1;
    }
    return 0;
}

INode* Node::GetChildNode(int i) {
    if (i < 0 || i >= NumberOfChildren()) return nullptr;
    return children_[static_cast<std::size_t>(i)];
}

void Node::AttachChild(INode* node, int /*keepTM*/) {
    auto* child = dynamic_cast<Node*>(node);
    if (!child || child == this || child->isRoot_) return;
    if (child->parent_) child->parent_->RemoveChild(child);
    child->parent_ = this;
    children_.push_back(child);
}

void Node::RemoveChild(Node* child) {
    children_.erase(std::remove(children_.begin(), children_.end(), child), children_.end());
    if (child->parent_ == this) child->parent_ = nullptr;
}

void Node::Detach(TimeValue /*t*/, int keepTM) {
    if (isRoot_) return;
    scene_.GetRootNode()->AttachChild(this, keepTM);
}

RefTargetHandle Node::GetReference(int i) {
    switch (i) {
        case kObjectRef:
            return object_;
        case kMtlRef:
            return mtl_;
        case NODE_LAYER_REF:
            return layer_;
        default:
            return nullptr;
    }
}

void Node::SetReference(int i, RefTargetHandle rtarg) {
    switch (i) {
        case kObjectRef:
            object_ = dynamic_cast<Object*>(rtarg);
            break;
        case kMtlRef:
            mtl_ = dynamic_cast<Mtl*>(rtarg);
            break;
        case NODE_LAYER_REF:
            layer_ = rtarg;
            break;
        default:
            break;
    }
}

RefResult Node::NotifyRefChanged(const Interval& /*changeInt*/, RefTargetHandle /*hTarget*/,
                                 PartID& /*partID*/, RefMessage /*message*/, BOOL /*propagate*/) {
    // Changes of the object travel on to the node's own dependents.
    return REF_SUCCEED;
}

ILayer* Node::GetLayer() { return dynamic_cast<ILayer*>(layer_); }

}  // namespace host
