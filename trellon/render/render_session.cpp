#include "render/render_session.h"

#include <algorithm>
#include <string>

#include "export/render_nodes.h"
#include "ifnpub.h"
#include "ilayer.h"
#include "ilayermanager.h"
#include "inode.h"
#include "iparamb2.h"
#include "maxapi.h"
#include "maxscript/maxscript.h"
#include "object/param_ids.h"
#include "object/trellon.h"
#include "plugin/plugin.h"
#include "render.h"
#include "render/bridge_library.h"
#include "render/instance_lists.h"

namespace trellon {
namespace {

constexpr Class_ID kVRayClassID(0x73BAB286, 0x77F8FD0C);
constexpr Class_ID kCoronaClassID(0x62A85DCC, 0x523C3604);

enum class RendererKind { None, VRay, Corona, Other };

// The renderer about to run. A render in progress always has its renderer, so the host is not
// asked to make a default one: asking must not change the scene.
RendererKind CurrentRenderer() {
    Interface* ip = GetCOREInterface();
    Renderer* renderer = ip ? ip->GetCurrentRenderer(false) : nullptr;
    if (!renderer) return RendererKind::None;
    const Class_ID id = renderer->ClassID();
    if (id == kVRayClassID) return RendererKind::VRay;
    if (id == kCoronaClassID) return RendererKind::Corona;
    return RendererKind::Other;
}

// Whether Corona's version, read through its script interface, instances natively. A failed
// evaluation, or a result that is not a number, does not.
bool CoronaInstances() {
    FPValue value;
    if (!ExecuteMAXScriptScript(kCoronaVersionExpression, FALSE, &value, TRUE)) return false;
    std::int64_t version = 0;
    if (value.type == TYPE_INT64) {
        version = value.i64;
    } else if (value.IsNumber()) {
        version = static_cast<std::int64_t>(value.AsDouble());
    } else {
        return false;
    }
    return version >= kCoronaInstancingVersion;
}

ILayer* LayerOf(INode* node) { return dynamic_cast<ILayer*>(node->GetReference(NODE_LAYER_REF)); }

// Nodes made for the render land on the current layer: when it is hidden, the object's own
// layer (visible, or the object would not render) stands in for it until the render ends.
void MakeNodeLayerCurrent(Trellon& object, ILayer* nodeLayer) {
    Interface* ip = GetCOREInterface();
    ILayerManager* layers = ip ? ip->GetLayerManager() : nullptr;
    ILayer* current = layers ? layers->GetCurrentLayer() : nullptr;
    if (!current || !nodeLayer || !current->IsHidden()) return;
    object.SavedCurrentLayer = current;
    object.SwitchedLayer = nodeLayer;
    MSTR name = nodeLayer->GetName();
    layers->SetCurrentLayer(name);
}

// The bridge route: true when a bridge library became ready and took the object.
bool StartBridge(Trellon& object, INode* node) {
    if (object.BridgeObject) return false;  // still held from a render that did not end
    const ReadyBridge ready = LoadFirstReadyBridge(ModuleFolder());
    if (!ready.node) return false;
    object.BridgeModule = ready.module;
    object.BridgeObject = ready.bridge;
    object.BridgeNode = ready.node;
    BuildLightNodes(object);
    object.BridgeObject->SetObjectNode(node);
    Class_ID id = object.ClassID();
    object.BridgeObject->SetObjectClass(&id);
    return true;
}

// The per-frame refill of the fallback nodes (nothing when none were made).
void UpdateRenderNodes(Trellon& object) {
    if (object.TempNodes.Count() > 0) FillRenderMeshes(object);
}

}  // namespace

void OnRenderStart(Trellon& object, TimeValue t) {
    object.RenderTime = t;
    INode* node = object.FindNode();
    if (!node) return;
    object.NativeInstancing = 0;
    IParamBlock2* pb = object.GetParamBlock(0);
    ILayer* layer = LayerOf(node);
    if (!pb || node->IsHidden() || !node->Renderable() || !pb->GetINode(Spline_Obj, 0) ||
        (layer && layer->IsHidden())) {
        return;
    }
    MakeNodeLayerCurrent(object, layer);
    switch (CurrentRenderer()) {
        case RendererKind::VRay:
            if (StartBridge(object, node)) return;
            break;
        case RendererKind::Corona:
            if (CoronaInstances()) {
                object.NativeInstancing = 1;
                return;
            }
            break;
        case RendererKind::None:
        case RendererKind::Other:
            break;
    }
    BuildRenderNodes(object);
}

void OnFrameStart(Trellon& object, TimeValue t) {
    object.RenderTime = t;
    switch (CurrentRenderer()) {
        case RendererKind::VRay:
            if (object.BridgeObject) {
                ReleaseInstanceLists(object);
                return;
            }
            break;
        case RendererKind::Corona:
            if (CoronaInstances()) {
                ReleaseInstanceLists(object);
                return;
            }
            break;
        case RendererKind::None:
        case RendererKind::Other:
            break;
    }
    UpdateRenderNodes(object);
}

void OnFrameEnd(Trellon& object) {
    std::fill(object.VariantCursors.begin(), object.VariantCursors.end(), 0);
}

void OnRenderEnd(Trellon& object) {
    Interface* ip = GetCOREInterface();
    // 1. The nodes made for the render, in the order they were made.
    if (ip) {
        for (int i = 0; i < object.TempNodes.Count(); ++i)
            ip->DeleteNode(object.TempNodes[i], TRUE, FALSE);
    }
    object.TempNodes.ZeroCount();
    object.TempNodes.Shrink();
    // 2. The materials made for it.
    RemoveCreatedMaterials(object);
    // 3. The bridge.
    if (CurrentRenderer() == RendererKind::VRay && object.BridgeObject) {
        if (object.BridgeNode && ip) ip->DeleteNode(object.BridgeNode, TRUE, FALSE);
        object.BridgeNode = nullptr;
        if (object.BridgeModule) FreeLibrary(object.BridgeModule);
        object.BridgeModule = nullptr;
        object.BridgeObject = nullptr;
    }
    // 4. The current layer.
    if (object.SwitchedLayer) {
        Interface* core = GetCOREInterface();
        ILayerManager* layers = core ? core->GetLayerManager() : nullptr;
        if (layers && object.SavedCurrentLayer) {
            MSTR name = object.SavedCurrentLayer->GetName();
            layers->SetCurrentLayer(name);
        }
    }
    object.SavedCurrentLayer = nullptr;
    object.SwitchedLayer = nullptr;
    // 5. Every list.
    ReleaseInstanceLists(object);
    std::vector<std::vector<Mtl*>>().swap(object.VariantMtls);
    std::vector<std::int32_t>().swap(object.VariantCursors);
    std::vector<std::int32_t>().swap(object.MtlIdStep);
    std::vector<std::int32_t>().swap(object.MeshNodeCount);
}

}  // namespace trellon
