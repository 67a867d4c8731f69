// The object's answers to the render interface (render_fp.h).
#include <algorithm>

#include "colour/variants.h"
#include "distribute/copy_transform.h"
#include "imtl.h"
#include "inode.h"
#include "iparamb2.h"
#include "object/param_ids.h"
#include "object/trellon.h"
#include "render/instance_lists.h"

namespace trellon {
namespace {

bool InList(const Trellon& object, int instance) {
    return instance >= 0 && static_cast<std::size_t>(instance) < object.InstanceSources.size();
}

}  // namespace

int Trellon::PrepareInstances() {
    trellon::RemoveCreatedMaterials(*this);
    trellon::ReleaseInstanceLists(*this);
    std::vector<std::vector<Mtl*>>().swap(VariantMtls);
    std::vector<std::int32_t>().swap(VariantCursors);
    std::vector<std::int32_t>().swap(MtlIdStep);
    std::vector<std::int32_t>().swap(MeshNodeCount);
    trellon::BuildInstanceLists(*this);
    return trellon::SourceCount(*this);
}

INode* Trellon::GetSourceNode(int sourceIndex) {
    if (!pblock2 || sourceIndex < 0) return nullptr;
    // End objects, then distribution objects, then posts.
    int s = sourceIndex;
    for (const ParamID table : {End_Nodes, Object_Nodes, Post_Nodes}) {
        const int n = pblock2->Count(table);
        if (s < n) return pblock2->GetINode(table, RenderTime, s);
        s -= n;
    }
    return nullptr;
}

int Trellon::GetInstanceCount() { return static_cast<int>(InstanceSources.size()); }

int Trellon::GetInstanceSource(int instance) {
    return InList(*this, instance) ? InstanceSources[static_cast<std::size_t>(instance)] : -1;
}

Matrix3 Trellon::GetInstanceTM(int instance) {
    return InList(*this, instance) ? InstanceTMs[static_cast<std::size_t>(instance)] : Matrix3(1);
}

Matrix3 Trellon::GetSourceOffsetTM(INode* node) {
    if (!node) return Matrix3(1);
    // The node's rotation and scale, and its object's offset from the pivot: what a copy
    // carries of its source besides the placement.
    return trellon::ItemBase(node->GetNodeTM(RenderTime), node->GetObjectTM(RenderTime));
}

Mtl* Trellon::GetInstanceMtl(int instance) {
    if (!InList(*this, instance) || !pblock2) return nullptr;
    const int s = InstanceSources[static_cast<std::size_t>(instance)];
    if (s < 0) return nullptr;
    const auto source = static_cast<std::size_t>(s);
    Mtl* result = nullptr;
    if (pblock2->GetInt(Color_Shift, 0) == 0) {
        INode* node = GetSourceNode(s);
        result = node ? node->GetMtl() : nullptr;
    } else {
        if (VariantMtls.empty()) trellon::BuildVariants(*this);
        if (VariantCursors.size() <= source) VariantCursors.resize(source + 1, 0);
        const int v = std::max(pblock2->GetInt(Color_Variation, 0), 1);
        if (source < VariantMtls.size() && !VariantMtls[source].empty()) {
            const auto at = static_cast<std::size_t>(VariantCursors[source] % v);
            // A variant the host could not copy leaves the list short; its turn gives none.
            if (at < VariantMtls[source].size()) result = VariantMtls[source][at];
        }
    }
    // Round robin per source, in the order the renderer asks: every call moves the cursor.
    if (VariantCursors.size() <= source) VariantCursors.resize(source + 1, 0);
    ++VariantCursors[source];
    return result;
}

TimeValue Trellon::GetRenderTime(int /*unused*/) { return RenderTime; }

}  // namespace trellon
