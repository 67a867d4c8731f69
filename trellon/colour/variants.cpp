#include "colour/variants.h"

#include <algorithm>
#include <array>
#include <cstdio>

#include "colour/material_channels.h"
#include "imtl.h"
#include "inode.h"
#include "iparamb2.h"
#include "object/param_ids.h"
#include "object/trellon.h"
#include "ref.h"

namespace trellon {
namespace {

constexpr std::array<ParamID, 4> kPools = {HueRand, SatRand, BriRand, ConRand};

// Material trees are shallow; the limit only guards against a tree that holds itself.
constexpr int kMaxDepth = 64;

ColourOffsets OffsetSet(IParamBlock2& pb, TimeValue t, int k) {
    ColourOffsets o;
    if (k < 0 || k >= pb.Count(HueRand)) return o;
    o.hue = pb.GetFloat(HueRand, t, k);
    o.saturation = pb.GetFloat(SatRand, t, k);
    o.brightness = pb.GetFloat(BriRand, t, k);
    o.contrast = pb.GetFloat(ConRand, t, k);
    return o;
}

// Shifts every leaf below (and including) mtl that the class table and the filter allow.
void ShiftTree(IParamBlock2& pb, TimeValue t, Mtl* mtl, const ColourOffsets& offsets, int depth) {
    if (!mtl || depth > kMaxDepth) return;
    if (mtl->NumSubMtls() > 0) {
        for (int i = 0; i < mtl->NumSubMtls(); ++i)
            ShiftTree(pb, t, mtl->GetSubMtl(i), offsets, depth + 1);
        return;
    }
    if (pb.GetInt(Advance_Shift, t) != 0 && !FilterLetsShift(pb, t, mtl->GetName().data())) return;
    ShiftDiffuse(*mtl, offsets, t);
}

}  // namespace

std::vector<INode*> SourceNodes(IParamBlock2& pb, TimeValue t) {
    std::vector<INode*> nodes;
    for (const ParamID list : {End_Nodes, Object_Nodes, Post_Nodes}) {
        for (int i = 0; i < pb.Count(list); ++i) nodes.push_back(pb.GetINode(list, t, i));
    }
    return nodes;
}

void MaintainPools(Trellon& object) {
    IParamBlock2* pb = object.GetParamBlock(0);
    if (!pb) return;
    const TimeValue t = object.RenderTime;
    const int sources = pb->Count(End_Nodes) + pb->Count(Object_Nodes) + pb->Count(Post_Nodes);
    const int target = std::max(pb->GetInt(Color_Variation, t), 0) * sources;
    const int have = pb->Count(HueRand);
    if (have == target) return;
    if (have > target) {
        for (const ParamID id : kPools) pb->Delete(id, target, pb->Count(id) - target);
        return;
    }
    const float h = pb->GetFloat(Hue_Shift, t);
    const float s = pb->GetFloat(Saturation, t);
    const float b = pb->GetFloat(Brightness, t);
    const float c = pb->GetFloat(Contrast, t);
    for (int k = have; k < target; ++k) {
        // One set: hue, saturation, brightness, contrast, drawn in that order.
        float set[4] = {object.Generator.getf(h, -h), object.Generator.getf(s, -s),
                        object.Generator.getf(b, -b), object.Generator.getf(c, -c)};
        for (std::size_t i = 0; i < kPools.size(); ++i) pb->Append(kPools[i], 1, &set[i]);
    }
}

void ClearColourPools(IParamBlock2& pb) {
    for (const ParamID id : kPools) pb.ZeroCount(id);
}

bool FilterLetsShift(IParamBlock2& pb, TimeValue t, const std::wstring& name) {
    bool matches = false;
    for (int i = 0; i < pb.Count(Texture_Names) && !matches; ++i) {
        const MCHAR* entry = pb.GetStr(Texture_Names, t, i);
        matches = entry != nullptr && NameMatchesEntry(name, entry);
    }
    return pb.GetInt(Texture_Name_Mode, t) == 0 ? matches : !matches;
}

Mtl* MakeVariant(Trellon& object, Mtl* base, int k) {
    IParamBlock2* pb = object.GetParamBlock(0);
    if (!base || !pb) return nullptr;
    const TimeValue t = object.RenderTime;
    // The host's clone copies the whole tree (sub-materials and maps are references of the
    // material), so shifting the copy's leaves in place leaves the source untouched.
    RemapDir* remap = NewDefaultRemapDir();
    auto* copy = dynamic_cast<Mtl*>(remap->CloneRef(base));
    remap->DeleteThis();
    if (!copy) return nullptr;
    ShiftTree(*pb, t, copy, OffsetSet(*pb, t, k), 0);
    return copy;
}

void BuildVariants(Trellon& object) {
    IParamBlock2* pb = object.GetParamBlock(0);
    if (!pb) return;
    const TimeValue t = object.RenderTime;
    const std::vector<INode*> sources = SourceNodes(*pb, t);
    object.VariantMtls.assign(sources.size(), {});
    object.VariantCursors.clear();
    MaintainPools(object);
    const bool shift = pb->GetInt(Color_Shift, t) != 0;
    const int v = pb->GetInt(Color_Variation, t);
    for (std::size_t s = 0; s < sources.size(); ++s) {
        object.VariantCursors.push_back(0);
        Mtl* m = sources[s] ? sources[s]->GetMtl() : nullptr;
        if (!m || !shift) continue;
        m->SetName(MSTR(_M("MtlNum0")));
        object.VariantMtls[s].push_back(m);
        for (int k = 1; k < v; ++k) {
            Mtl* variant = MakeVariant(object, m, k);
            if (!variant) continue;
            MCHAR name[260];
            std::swprintf(name, 260, L"MtlNum%i", k);
            variant->SetName(MSTR(name));
            object.VariantMtls[s].push_back(variant);
            object.CreatedMtls.push_back(variant);
        }
    }
}

}  // namespace trellon
