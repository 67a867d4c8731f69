#include "distribute/random_values.h"

#include <algorithm>

#include "iparamb2.h"
#include "object/item_tables.h"
#include "object/param_ids.h"

namespace trellon {

namespace {

int Wrap(int counter) {
    const int c = counter % kPoolBlock;
    return c < 0 ? c + kPoolBlock : c;
}

}  // namespace

float CopyValue(float low, float high, bool randomOn, float poolValue) {
    if (!randomOn) return low;
    return low + (high - low) / 100.0f * poolValue;
}

float CopyAngle(float lowDeg, float highDeg, bool randomOn, float poolValue) {
    return CopyValue(lowDeg, highDeg, randomOn, poolValue) * kDegToRad;
}

int GlobalPoolIndex(int c0) { return Wrap(c0); }

int ItemPoolIndex(int item, int counter) {
    if (item < 0) return -1;
    return item * kPoolBlock + kPoolBlock + Wrap(counter);
}

float AxisScale(float globalPercent, float itemPercent) {
    return globalPercent / 100.0f + (itemPercent / 100.0f - 1.0f);
}

std::array<float, 3> ScaleFactors(const std::array<float, 3>& globalPercent, bool globalUnify,
                                  const std::array<float, 3>& itemPercent, bool itemUnify) {
    std::array<float, 3> s{};
    for (std::size_t a = 0; a < 3; ++a) {
        const float g = globalUnify ? globalPercent[0] : globalPercent[a];
        const float i = itemUnify ? itemPercent[0] : itemPercent[a];
        s[a] = AxisScale(g, i);
    }
    return s;
}

float MirrorAngle(bool mirrorOn, float mirrorDeg, float mirror2Deg, int coin) {
    if (!mirrorOn) return 0.0f;
    return (coin == 0 ? mirrorDeg : mirror2Deg) * kDegToRad;
}

std::optional<EntryRandomSettings> ReadEntryRandomSettings(IParamBlock2& pb, TimeValue t, int e) {
    static constexpr ParamID kRead[] = {
        Item_Random_Trans,     Item_Unify_Scale, Item_Mirror_Box,       Item_Spacing,
        Item_Spacing_Random,   Item_Pos_InOut,   Item_Pos_InOut_Random, Item_Z_Pos,
        Item_Z_Pos_Random,     Item_X_Rot,       Item_X_Rot_Random,     Item_Y_Rot,
        Item_Y_Rot_Random,     Item_Z_Rot,       Item_Z_Rot_Random,     Item_Extra_Rot,
        Item_Extra_Rot_Random, Item_X_Scale,     Item_X_Scale_Random,   Item_Y_Scale,
        Item_Y_Scale_Random,   Item_Z_Scale,     Item_Z_Scale_Random,   Item_Mirror,
        Item_Mirror2};
    if (e < 0) return std::nullopt;
    for (ParamID id : kRead) {
        if (e >= pb.Count(id)) return std::nullopt;
    }
    auto range = [&](ParamID low, ParamID high) {
        return RandomRange{pb.GetFloat(low, t, e), pb.GetFloat(high, t, e)};
    };
    EntryRandomSettings s;
    s.randomOn = pb.GetInt(Item_Random_Trans, t, e) != 0;
    s.unifyScale = pb.GetInt(Item_Unify_Scale, t, e) != 0;
    s.mirrorOn = pb.GetInt(Item_Mirror_Box, t, e) != 0;
    s.spacing = range(Item_Spacing, Item_Spacing_Random);
    s.sideOffset = range(Item_Pos_InOut, Item_Pos_InOut_Random);
    s.height = range(Item_Z_Pos, Item_Z_Pos_Random);
    s.xRot = range(Item_X_Rot, Item_X_Rot_Random);
    s.yRot = range(Item_Y_Rot, Item_Y_Rot_Random);
    s.zRot = range(Item_Z_Rot, Item_Z_Rot_Random);
    s.extraRot = range(Item_Extra_Rot, Item_Extra_Rot_Random);
    s.xScale = range(Item_X_Scale, Item_X_Scale_Random);
    s.yScale = range(Item_Y_Scale, Item_Y_Scale_Random);
    s.zScale = range(Item_Z_Scale, Item_Z_Scale_Random);
    s.mirror = pb.GetFloat(Item_Mirror, t, e);
    s.mirror2 = pb.GetFloat(Item_Mirror2, t, e);
    return s;
}

std::optional<CopyPoolValues> ReadCopyPoolValues(IParamBlock2& pb, TimeValue t, int i) {
    if (i < 0 || i >= pb.Count(Pool_Mirror)) return std::nullopt;
    for (ParamID id : kTransformPools) {
        if (i >= pb.Count(id)) return std::nullopt;
    }
    CopyPoolValues v;
    v.spacing = pb.GetFloat(Pool_Spacing, t, i);
    v.sideOffset = pb.GetFloat(Pool_Pos_InOut, t, i);
    v.height = pb.GetFloat(Pool_Z_Pos, t, i);
    v.xRot = pb.GetFloat(Pool_X_Rot, t, i);
    v.yRot = pb.GetFloat(Pool_Y_Rot, t, i);
    v.zRot = pb.GetFloat(Pool_Z_Rot, t, i);
    v.extraRot = pb.GetFloat(Pool_Extra_Rot, t, i);
    v.xScale = pb.GetFloat(Pool_X_Scale, t, i);
    v.yScale = pb.GetFloat(Pool_Y_Scale, t, i);
    v.zScale = pb.GetFloat(Pool_Z_Scale, t, i);
    v.mirror = pb.GetInt(Pool_Mirror, t, i);
    return v;
}

PoolTables PoolTables::Read(IParamBlock2& pb, TimeValue t) {
    PoolTables tables;
    for (std::size_t p = 0; p < kTransformPools.size(); ++p) {
        const ParamID id = kTransformPools[p];
        std::vector<float>& values = tables.floats_[p];
        values.resize(static_cast<std::size_t>(std::max(pb.Count(id), 0)));
        for (std::size_t i = 0; i < values.size(); ++i)
            values[i] = pb.GetFloat(id, t, static_cast<int>(i));
    }
    tables.mirror_.resize(static_cast<std::size_t>(std::max(pb.Count(Pool_Mirror), 0)));
    for (std::size_t i = 0; i < tables.mirror_.size(); ++i)
        tables.mirror_[i] = pb.GetInt(Pool_Mirror, t, static_cast<int>(i));
    return tables;
}

CopyPoolValues PoolTables::At(int i) const {
    auto value = [&](std::size_t pool) {
        const std::vector<float>& v = floats_[pool];
        return i >= 0 && static_cast<std::size_t>(i) < v.size() ? v[static_cast<std::size_t>(i)]
                                                                : 0.0f;
    };
    CopyPoolValues v;
    v.spacing = value(0);
    v.sideOffset = value(1);
    v.height = value(2);
    v.xRot = value(3);
    v.yRot = value(4);
    v.zRot = value(5);
    v.extraRot = value(6);
    v.xScale = value(7);
    v.yScale = value(8);
    v.zScale = value(9);
    v.mirror = i >= 0 && static_cast<std::size_t>(i) < mirror_.size()
                   ? mirror_[static_cast<std::size_t>(i)]
                   : 0;
    return v;
}

EntryCopyValues EntryValues(const EntryRandomSettings& s, const CopyPoolValues& pool) {
    auto value = [&](const RandomRange& r, float p) {
        return CopyValue(r.low, r.high, s.randomOn, p);
    };
    auto angle = [&](const RandomRange& r, float p) {
        return CopyAngle(r.low, r.high, s.randomOn, p);
    };
    EntryCopyValues v;
    v.sideOffset = value(s.sideOffset, pool.sideOffset);
    v.height = value(s.height, pool.height);
    v.xRot = angle(s.xRot, pool.xRot);
    v.yRot = angle(s.yRot, pool.yRot);
    v.zRot = angle(s.zRot, pool.zRot);
    v.extraRot = angle(s.extraRot, pool.extraRot);
    v.scalePercent = {value(s.xScale, pool.xScale), value(s.yScale, pool.yScale),
                      value(s.zScale, pool.zScale)};
    v.mirrorAngle = MirrorAngle(s.mirrorOn, s.mirror, s.mirror2, pool.mirror);
    return v;
}

float SpacingValue(const EntryRandomSettings& s, float poolValue) {
    return CopyValue(s.spacing.low, s.spacing.high, s.randomOn, poolValue);
}

CopyValues CombineCopyValues(const EntryRandomSettings& global, const CopyPoolValues& globalPool,
                             const EntryRandomSettings& item, const CopyPoolValues& itemPool) {
    return CombineEntryValues(EntryValues(global, globalPool), global.unifyScale,
                              EntryValues(item, itemPool), item.unifyScale);
}

CopyValues CombineEntryValues(const EntryCopyValues& g, bool globalUnify, const EntryCopyValues& i,
                              bool itemUnify) {
    CopyValues c;
    c.sideOffset = g.sideOffset + i.sideOffset;
    c.height = g.height + i.height;
    c.xRot = g.xRot + i.xRot;
    c.yRot = g.yRot + i.yRot;
    c.zRot = g.zRot + i.zRot;
    c.extraRot = g.extraRot + i.extraRot;
    c.scale = ScaleFactors(g.scalePercent, globalUnify, i.scalePercent, itemUnify);
    c.mirrorAngle = g.mirrorAngle + i.mirrorAngle;
    return c;
}

}  // namespace trellon
