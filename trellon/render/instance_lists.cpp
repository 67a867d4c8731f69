#include "render/instance_lists.h"

#include <vector>

#include "distribute/placement.h"
#include "imtl.h"
#include "iparamb2.h"
#include "maxapi.h"
#include "object/param_ids.h"
#include "object/trellon.h"
#include "render.h"
#include "render/light_nodes.h"

namespace trellon {
namespace {

constexpr int kLightKind = 1;

Placement WorldPlacement(Trellon& object) {
    PlacementOptions options;
    options.worldSpace = true;
    return Placement::Prepare(object, object.RenderTime, options);
}

template <class T>
void Release(std::vector<T>& v) {
    std::vector<T>().swap(v);
}

}  // namespace

void BuildInstanceLists(Trellon& object) {
    if (!object.FindNode()) return;
    Placement placement = WorldPlacement(object);
    const bool lightsToo = object.NativeInstancing == 1;
    const std::vector<PlacementPass> passes = placement.Passes();
    // Count first, so each list grows once.
    std::int64_t total = 0;
    for (const PlacementPass pass : passes) total += placement.Count(pass).total;
    object.InstanceSources.reserve(object.InstanceSources.size() + static_cast<std::size_t>(total));
    object.InstanceTMs.reserve(object.InstanceTMs.size() + static_cast<std::size_t>(total));
    for (const PlacementPass pass : passes) {
        placement.ForEachCopy(pass, [&](const PlacedCopy& copy) {
            if (!lightsToo && placement.Item(copy.item).kind == kLightKind) return;
            object.InstanceSources.push_back(copy.source);
            object.InstanceTMs.push_back(copy.tm);
        });
    }
}

void BuildLightNodes(Trellon& object) {
    IParamBlock2* pb = object.GetParamBlock(0);
    if (!pb || !object.FindNode()) return;
    const TimeValue t = object.RenderTime;
    bool anyLight = false;
    for (int k = 0; k < pb->Count(Item_Kind) && !anyLight; ++k)
        anyLight = pb->GetInt(Item_Kind, t, k) == kLightKind;
    if (!anyLight) return;
    Placement placement = WorldPlacement(object);
    for (const PlacementPass pass : placement.Passes()) {
        placement.ForEachCopy(pass, [&](const PlacedCopy& copy) {
            const PlacementItem& item = placement.Item(copy.item);
            if (item.kind != kLightKind) return;
            if (INode* node = MakeLightNode(item.node, copy.tm, t))
                object.TempNodes.Append(1, &node);
        });
    }
}

void ReleaseInstanceLists(Trellon& object) {
    Release(object.InstanceSources);
    Release(object.InstanceTMs);
}

void RemoveCreatedMaterials(Trellon& object) {
    Interface* ip = GetCOREInterface();
    MtlBaseLib* library = ip ? ip->GetSceneMtls() : nullptr;
    if (library) {
        for (Mtl* m : object.CreatedMtls) {
            if (m) library->Remove(m);
        }
    }
    Release(object.CreatedMtls);
}

int SourceCount(Trellon& object) {
    IParamBlock2* pb = object.GetParamBlock(0);
    if (!pb) return 0;
    return pb->Count(End_Nodes) + pb->Count(Object_Nodes) + pb->Count(Post_Nodes);
}

}  // namespace trellon
