// A small host-side fake for the object-model tests: a node.
#pragma once

#include "inode.h"

namespace objmodel_fakes {

// A node with a fixed object TM and nothing else of a scene around it.
class FakeNode : public INode {
public:
    explicit FakeNode(const MCHAR* name = _M("node")) : name_(name) {}

    Matrix3 objectTM{1};
    ObjectState state;
    Object* object = nullptr;

    ULONG GetHandle() override { return 1; }
    const MCHAR* GetName() override { return name_.data(); }
    void SetName(const MCHAR* s) override { name_ = s; }
    Matrix3 GetNodeTM(TimeValue, Interval*) override { return objectTM; }
    void SetNodeTM(TimeValue, Matrix3& tm) override { objectTM = tm; }
    void CopyProperties(INode*) override {}
    Matrix3 GetObjectTM(TimeValue, Interval*) override { return objectTM; }
    Point3 GetObjOffsetPos() override { return Point3(0.0f, 0.0f, 0.0f); }
    void SetObjOffsetPos(Point3) override {}
    Quat GetObjOffsetRot() override { return Quat(); }
    void SetObjOffsetRot(Quat) override {}
    ScaleValue GetObjOffsetScale() override { return ScaleValue(); }
    void SetObjOffsetScale(ScaleValue) override {}
    const ObjectState& EvalWorldState(TimeValue t, BOOL) override {
        state = object ? object->Eval(t) : ObjectState();
        return state;
    }
    Object* GetObjectRef() override { return object; }
    void SetObjectRef(Object* o) override { object = o; }
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
};

}  // namespace objmodel_fakes
