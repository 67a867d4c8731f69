// Small host-side fakes for the object-model tests: a node, a core interface, materials.
#pragma once

#include <functional>
#include <memory>
#include <vector>

#include "imtl.h"
#include "inode.h"
#include "maxapi.h"

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

// A material with a fixed diffuse colour.
class FakeMtl : public Mtl {
public:
    explicit FakeMtl(Color c = Color()) : diffuse(c) {}
    Color diffuse;
    Color GetAmbient(int, BOOL) override { return diffuse; }
    Color GetDiffuse(int, BOOL) override { return diffuse; }
    Color GetSpecular(int, BOOL) override { return Color(1.0f, 1.0f, 1.0f); }
    RefResult NotifyRefChanged(const Interval&, RefTargetHandle, PartID&, RefMessage,
                               BOOL) override {
        return REF_SUCCEED;
    }
};

// A multi-material keeping its slots in a plain array.
class FakeMultiMtl : public MultiMtl {
public:
    std::vector<Mtl*> subs;
    void SetNumSubMtls(int n) override { subs.resize(static_cast<std::size_t>(n), nullptr); }
    int NumSubMtls() override { return static_cast<int>(subs.size()); }
    Mtl* GetSubMtl(int i) override {
        return i >= 0 && i < NumSubMtls() ? subs[static_cast<std::size_t>(i)] : nullptr;
    }
    void SetSubMtl(int i, Mtl* m) override {
        if (i >= 0 && i < NumSubMtls()) subs[static_cast<std::size_t>(i)] = m;
    }
    Color GetAmbient(int, BOOL) override { return Color(); }
    Color GetDiffuse(int i, BOOL b) override {
        Mtl* m = GetSubMtl(i);
        return m ? m->GetDiffuse(0, b) : Color();
    }
    Color GetSpecular(int, BOOL) override { return Color(); }
    RefResult NotifyRefChanged(const Interval&, RefTargetHandle, PartID&, RefMessage,
                               BOOL) override {
        return REF_SUCCEED;
    }
};

// A core interface that only knows the time and how to create multi-materials; it records what
// it is asked.
class FakeCore : public IObjParam {
public:
    TimeValue time = 0;
    int redraws = 0;
    bool canCreateMulti = true;
    std::vector<std::unique_ptr<FakeMultiMtl>> created;

    TimeValue GetTime() override { return time; }
    void SetTime(TimeValue t, BOOL) override { time = t; }
    Interval GetAnimRange() override { return Interval(0, 100 * 160); }
    INode* GetRootNode() override { return nullptr; }
    INode* GetINodeByName(const MCHAR*) override { return nullptr; }
    INode* GetINodeByHandle(ULONG) override { return nullptr; }
    void* CreateInstance(SClass_ID superID, Class_ID classID) override {
        if (!canCreateMulti || superID != MATERIAL_CLASS_ID ||
            classID != Class_ID(MULTI_CLASS_ID, 0)) {
            return nullptr;
        }
        created.push_back(std::make_unique<FakeMultiMtl>());
        return created.back().get();
    }
    INode* CreateObjectNode(Object*) override { return nullptr; }
    void DeleteNode(INode*, BOOL, BOOL) override {}
    void MakeNameUnique(MSTR&) override {}
    int GetSelNodeCount() override { return 0; }
    INode* GetSelNode(int) override { return nullptr; }
    void SelectNode(INode*, int) override {}
    void ClearNodeSelection(BOOL) override {}
    void RedrawViews(TimeValue, DWORD, ReferenceTarget*) override { ++redraws; }
    void ForceCompleteRedraw(BOOL) override { ++redraws; }
    void DisableSceneRedraw() override {}
    void EnableSceneRedraw() override {}
    int IsSceneRedrawDisabled() override { return 0; }
    void ActivateTexture(Texmap*, Mtl*, int) override {}
    void DeActivateTexture(Texmap*, Mtl*, int) override {}
    void PushPrompt(const MCHAR*) override {}
    void PopPrompt() override {}
    void ReplacePrompt(const MCHAR*) override {}
    void DisplayTempPrompt(const MCHAR*, int) override {}
    ILayerManager* GetLayerManager() override { return nullptr; }
    HWND GetMAXHWnd() override { return nullptr; }
    const MSTR& GetCurFileName() override { return file_; }
    const MSTR& GetCurFilePath() override { return file_; }

private:
    MSTR file_;
};

// Registers a core interface for the lifetime of the guard.
class CoreGuard {
public:
    explicit CoreGuard(Interface* ip) { SetCOREInterface(ip); }
    ~CoreGuard() { SetCOREInterface(nullptr); }
    CoreGuard(const CoreGuard&) = delete;
    CoreGuard& operator=(const CoreGuard&) = delete;
};

}  // namespace objmodel_fakes
