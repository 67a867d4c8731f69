// Fakes for the parameter block and function publishing tests: a scene node, a class, and an
// owner that records every message its block sends.
#pragma once

#include <vector>

#include "inode.h"
#include "iparamb2.h"

namespace pblock_fakes {

// A node with nothing of a scene around it: no object, the identity for its transforms. Nodes carry
// A_LOCK_TARGET (INode's constructor), so a block letting go of one never deletes it; tests delete
// them with DeleteMe, as the host does.
class Node : public INode {
public:
    explicit Node(const MCHAR* name = _M("node")) : name_(name) {}

    ULONG GetHandle() override { return 1; }
    const MCHAR* GetName() override { return name_.data(); }
    void SetName(const MCHAR* s) override { name_ = s; }
    Matrix3 GetNodeTM(TimeValue, Interval*) override { return Matrix3(1); }
    void SetNodeTM(TimeValue, Matrix3&) override {}
    void CopyProperties(INode*) override {}
    Matrix3 GetObjectTM(TimeValue, Interval*) override { return Matrix3(1); }
    Point3 GetObjOffsetPos() override { return Point3(0.0f, 0.0f, 0.0f); }
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

// A class of the tests' own, known by its name and ID.
class TestClassDesc : public ClassDesc2 {
public:
    TestClassDesc(const MCHAR* name, Class_ID id) : name_(name), id_(id) {}
    int IsPublic() override { return 1; }
    void* Create(BOOL) override { return nullptr; }
    const MCHAR* ClassName() override { return name_; }
    SClass_ID SuperClassID() override { return GEOMOBJECT_CLASS_ID; }
    Class_ID ClassID() override { return id_; }
    const MCHAR* Category() override { return _M("Tests"); }

private:
    const MCHAR* name_;
    Class_ID id_;
};

// One message as the owner saw it, with the block's LastNotifyParamID at that moment.
struct Message {
    RefMessage message;
    ParamID param;
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
        if (hTarget == pblock && pblock != nullptr)
            messages.push_back({message, pblock->LastNotifyParamID()});
        return REF_SUCCEED;
    }

private:
    void SetReference(int i, RefTargetHandle rtarg) override {
        if (i == 0) pblock = dynamic_cast<IParamBlock2*>(rtarg);
    }
};

}  // namespace pblock_fakes
