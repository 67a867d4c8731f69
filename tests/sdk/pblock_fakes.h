// Fakes for the parameter block tests: a scene node, a plain target, and an owner that records
// every message its block sends.
#pragma once

#include <vector>

#include "inode.h"
#include "iparamb2.h"

namespace pblock_fakes {

// A node with nothing of a scene around it. Nodes carry A_LOCK_TARGET (INode's constructor), so
// a block letting go of one never deletes it; tests delete them with DeleteMe, as the host does.
class Node : public INode {
public:
    explicit Node(const MCHAR* name = _M("node")) : name_(name) {}

    ULONG GetHandle() override { return 1; }
    const MCHAR* GetName() override { return name_.data(); }
    void SetName(const MCHAR* s) override { name_ = s; }
    Matrix3 GetNodeTM(TimeValue, Interval*) override { return Matrix3(); }
    void SetNodeTM(TimeValue, Matrix3&) override {}
    Matrix3 GetObjectTM(TimeValue, Interval*) override { return Matrix3(); }
    Point3 GetObjOffsetPos() override { return Point3(); }
    void SetObjOffsetPos(Point3) override {}
    Quat GetObjOffsetRot() override { return Quat(); }
    void SetObjOffsetRot(Quat) override {}
    ScaleValue GetObjOffsetScale() override { return ScaleValue(); }
    void SetObjOffsetScale(ScaleValue) override {}
    const ObjectState& EvalWorldState(TimeValue, BOOL) override { return state_; }
    Object* GetObjectRef() override { return nullptr; }
    void SetObjectRef(Object*) override {}
    Mtl* GetMtl() override { return nullptr; }
    void SetMtl(Mtl*) override {}
    DWORD GetWireColor() override { return 0; }
    void SetWireColor(DWORD) override {}
    int IsHidden(DWORD, BOOL) override { return 0; }
    void Hide(BOOL) override {}
    int Renderable() override { return 1; }
    void SetRenderable(BOOL) override {}
    int IsTarget() override { return 0; }
    int Selected() override { return 0; }
    int IsRootNode() override { return 0; }
    INode* GetParentNode() override { return nullptr; }
    int NumberOfChildren() override { return 0; }
    INode* GetChildNode(int) override { return nullptr; }
    void AttachChild(INode*, int) override {}
    void Detach(TimeValue, int) override {}
    RefResult NotifyRefChanged(const Interval&, RefTargetHandle, PartID&, RefMessage,
                               BOOL) override {
        return REF_SUCCEED;
    }

private:
    MSTR name_;
    ObjectState state_;
};

// A reference target that is not a node (a stand-in for a material or map), copyable.
class Target : public ReferenceTarget {
public:
    explicit Target(int v = 0) : value(v) { SetAFlag(A_LOCK_TARGET); }
    int value;
    ReferenceTarget* Clone(RemapDir& remap) override {
        auto* t = new Target(value + 1000);  // a copy is told apart by its value
        BaseClone(this, t, remap);
        return t;
    }
    RefResult NotifyRefChanged(const Interval&, RefTargetHandle, PartID&, RefMessage,
                               BOOL) override {
        return REF_SUCCEED;
    }
};

// One message as the owner saw it, with the block's LastNotifyParamID at that moment.
struct Message {
    RefMessage message;
    ParamID param;
    int tabIndex;
};

// An object holding one block in reference 0, recording the block's messages.
class Owner : public ReferenceTarget {
public:
    ~Owner() override { DeleteAllRefsFromMe(); }

    IParamBlock2* pblock = nullptr;
    std::vector<Message> messages;

    int NumRefs() override { return 1; }
    RefTargetHandle GetReference(int i) override { return i == 0 ? pblock : nullptr; }

    RefResult NotifyRefChanged(const Interval&, RefTargetHandle hTarget, PartID&,
                               RefMessage message, BOOL) override {
        if (hTarget == pblock && pblock != nullptr) {
            int tab = -2;
            const ParamID id = pblock->LastNotifyParamID(tab);
            messages.push_back({message, id, tab});
        }
        return REF_SUCCEED;
    }

private:
    void SetReference(int i, RefTargetHandle rtarg) override {
        if (i == 0) pblock = dynamic_cast<IParamBlock2*>(rtarg);
    }
};

}  // namespace pblock_fakes
