// The V-Ray bridge. The Trellon module loads it at render start when V-Ray renders, calls its
// entry point "CreateKavoVRay3" and then the three calls of the object it returns: the bridge's
// node (the bridge is ready when there is one), the object's node, the object's class ID. From
// then on, at every frame V-Ray asks the bridge (through the instancing hook V-Ray publishes
// while it renders, vray_instancing.h) for its instances, and the bridge reads them from the
// object through the object's render instancing interface, by function ID: PrepareInstances,
// the source nodes, the instance count, and per instance its source, transform and material.
//
// The module deletes the bridge's node after the render and unloads the library; the bridge
// objects live until then (the module never deletes them).
#include <memory>
#include <vector>

#include "ifnpub.h"
#include "inode.h"
#include "maxapi.h"
#include "object.h"
#include "triobj.h"
#include "vray_instancing.h"
#include "windows.h"

namespace {

// The render instancing interface of the objects this bridge serves, and its function IDs.
const Interface_ID kRenderInterface(0x602C557F, 0x4BF751AD);
enum RenderFn {
    kPrepareInstances = 1,
    kGetSourceNode = 2,
    kGetInstanceCount = 4,
    kGetInstanceSource = 6,
    kGetInstanceTM = 7,
    kGetInstanceMtl = 9,
};

// The call table the module reads, in its order.
class BridgeCalls {
public:
    virtual INode* GetBridgeNode() = 0;
    virtual int SetObjectNode(INode* node) = 0;
    virtual int SetObjectClass(Class_ID* classId) = 0;

protected:
    ~BridgeCalls() = default;
};

class Bridge final : public BridgeCalls, public VRayInstanceSource {
public:
    // Ready only while V-Ray renders (its hook is published): the node is a hidden,
    // non-rendering editable mesh named after this library.
    INode* GetBridgeNode() override {
        Interface* ip = GetCOREInterface();
        hook_ = static_cast<IVRayInstancing*>(GetCOREInterface(VRAY_INSTANCING_INTERFACE));
        if (!ip || !hook_) return nullptr;
        auto* obj = static_cast<Object*>(
            ip->CreateInstance(GEOMOBJECT_CLASS_ID, Class_ID(EDITTRIOBJ_CLASS_ID, 0)));
        if (!obj) return nullptr;
        INode* node = ip->CreateObjectNode(obj);
        if (!node) return nullptr;
        MSTR name(KAVO_BRIDGE_NAME);
        name += MSTR(L"_Instancer");
        ip->MakeNameUnique(name);
        node->SetName(name.data());
        node->SetRenderable(FALSE);
        node->Hide(TRUE);
        return node;
    }

    int SetObjectNode(INode* node) override {
        objectNode_ = node;
        if (hook_ && node) hook_->AddInstanceSource(node, this);
        return 1;
    }

    int SetObjectClass(Class_ID* classId) override {
        if (classId) classId_ = *classId;
        return 1;
    }

    void CollectInstances(TimeValue t, VRayInstanceSink& sink) override {
        Object* obj = objectNode_ ? objectNode_->GetObjectRef() : nullptr;
        if (!obj || obj->ClassID() != classId_) return;
        auto* fp = static_cast<FPInterface*>(obj->GetInterface(kRenderInterface));
        if (!fp) return;
        FPValue v;
        if (fp->Invoke(kPrepareInstances, t, v) != FPS_OK) return;
        const int sources = v.i;
        std::vector<INode*> nodes(static_cast<std::size_t>(sources > 0 ? sources : 0), nullptr);
        FPParams arg{FPValue(TYPE_INT, 0)};
        for (int s = 0; s < sources; ++s) {
            arg.params[0].Load(TYPE_INT, s);
            if (fp->Invoke(kGetSourceNode, t, v, &arg) == FPS_OK)
                nodes[static_cast<std::size_t>(s)] = v.n;
        }
        if (fp->Invoke(kGetInstanceCount, t, v) != FPS_OK) return;
        const int count = v.i;
        for (int k = 0; k < count; ++k) {
            arg.params[0].Load(TYPE_INT, k);
            if (fp->Invoke(kGetInstanceSource, t, v, &arg) != FPS_OK) continue;
            const int s = v.i;
            if (s < 0 || s >= sources || !nodes[static_cast<std::size_t>(s)]) continue;
            Matrix3 tm(1);
            if (fp->Invoke(kGetInstanceTM, t, v, &arg) == FPS_OK && v.m) tm = *v.m;
            Mtl* mtl = nullptr;
            if (fp->Invoke(kGetInstanceMtl, t, v, &arg) == FPS_OK) mtl = v.mtl;
            sink.AddInstance(nodes[static_cast<std::size_t>(s)], tm, mtl);
        }
    }

private:
    IVRayInstancing* hook_ = nullptr;
    INode* objectNode_ = nullptr;
    Class_ID classId_{0, 0};
};

// Every bridge made, freed with the library.
std::vector<std::unique_ptr<Bridge>>& Bridges() {
    static std::vector<std::unique_ptr<Bridge>> bridges;
    return bridges;
}

}  // namespace

extern "C" __declspec(dllexport) BridgeCalls* CreateKavoVRay3() {
    Bridges().push_back(std::make_unique<Bridge>());
    return Bridges().back().get();
}
