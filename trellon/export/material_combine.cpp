#include "export/material_combine.h"

#include <vector>

#include "bitmap.h"
#include "colour/variants.h"
#include "imtl.h"
#include "inode.h"
#include "iparamb2.h"
#include "maxapi.h"
#include "object/param_ids.h"
#include "object/trellon.h"
#include "ref.h"

namespace trellon {
namespace {

// The flags that make a material's maps show in the viewports.
constexpr int kShowMapFlags = 0x10000F;
constexpr int kMaxDepth = 64;

Mtl* CloneOf(Mtl* m) {
    RemapDir* remap = NewDefaultRemapDir();
    auto* copy = dynamic_cast<Mtl*>(remap->CloneRef(m));
    remap->DeleteThis();
    return copy;
}

void ShowMap(Mtl* m, MtlBase* map) {
    map->SetMtlFlag(kShowMapFlags);
    map->ActivateTexDisplay(TRUE);
    map->NotifyDependents(FOREVER, PART_ALL, REFMSG_CHANGE);
    m->NotifyDependents(FOREVER, PART_ALL, REFMSG_CHANGE);
}

// True when a bitmap at or below map was handled for m.
bool ShowMapTree(Mtl* m, Texmap* map, TimeValue t, int depth) {
    if (!map || depth > kMaxDepth) return false;
    bool below = false;
    for (int i = 0; i < map->NumSubTexmaps(); ++i)
        below = ShowMapTree(m, map->GetSubTexmap(i), t, depth + 1) || below;
    if (below) return true;
    if (map->ClassID() == Class_ID(BMTEX_CLASS_ID, 0)) {
        auto* bitmap = static_cast<BitmapTex*>(map);
        if (bitmap->GetBitmap(t) == nullptr) return false;
        m->SetMtlFlag(kShowMapFlags);
        m->SetActiveTexmap(map);
        ShowMap(m, map);
        return true;
    }
    if (map->NumSubTexmaps() > 0) return false;
    m->SetMtlFlag(kShowMapFlags);
    ShowMap(m, map);
    if (Interface* ip = GetCOREInterface()) ip->ActivateTexture(map, m);
    return false;
}

void ShowMapsIn(Mtl* m, TimeValue t, int depth) {
    if (!m || depth > kMaxDepth) return;
    for (int i = 0; i < m->NumSubMtls(); ++i) ShowMapsIn(m->GetSubMtl(i), t, depth + 1);
    for (int i = 0; i < m->NumSubTexmaps(); ++i) ShowMapTree(m, m->GetSubTexmap(i), t, 0);
}

}  // namespace

Mtl* CombineVariants(Trellon& object, int source) {
    IParamBlock2* pb = object.GetParamBlock(0);
    if (!pb || source < 0) return nullptr;
    const TimeValue t = object.RenderTime;
    const std::vector<INode*> sources = SourceNodes(*pb, t);
    if (object.MtlIdStep.size() < sources.size()) object.MtlIdStep.resize(sources.size(), 0);
    if (static_cast<std::size_t>(source) >= sources.size()) return nullptr;
    object.MtlIdStep[static_cast<std::size_t>(source)] = 0;
    INode* node = sources[static_cast<std::size_t>(source)];
    Mtl* m = node ? node->GetMtl() : nullptr;
    if (!m) return nullptr;
    if (pb->GetInt(Color_Shift, t) == 0) return m;

    MaintainPools(object);
    Mtl* combined = CloneOf(m);
    if (!combined) return nullptr;
    const int v = pb->GetInt(Color_Variation, t);
    for (int k = 1; k < v; ++k) {
        Mtl* variant = MakeVariant(object, m, k);
        if (!variant) continue;
        int offset = 0;
        Mtl* joined = CombineMaterials(combined, variant, offset);
        if (!joined) {
            variant->DeleteThis();
            continue;
        }
        // A join lays the slots of a multi side by side in a new multi: a multi that went in
        // (the previous join, a multi source's clone or variant) is held by nothing now.
        if (joined != combined && combined->IsMultiMtl()) combined->DeleteThis();
        if (joined != variant && variant->IsMultiMtl()) variant->DeleteThis();
        combined = joined;
        if (k == 1) object.MtlIdStep[static_cast<std::size_t>(source)] = offset;
    }
    object.CreatedMtls.push_back(combined);
    return combined;
}

void ShowMapsInViewport(Mtl* m) {
    Interface* ip = GetCOREInterface();
    ShowMapsIn(m, ip ? ip->GetTime() : 0, 0);
}

}  // namespace trellon
