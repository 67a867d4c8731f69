#include "object/build_settings.h"

#include <algorithm>
#include <array>
#include <utility>

#include "distribute/working_path.h"
#include "inode.h"
#include "iparamb2.h"
#include "object/geo_array.h"
#include "object/param_ids.h"

namespace trellon {

namespace {

constexpr int kMaxRepeats = 10;

// A table entry, or `fallback` when the table does not hold it.
int IntAt(IParamBlock2& pb, ParamID id, TimeValue t, int i, int fallback = 0) {
    return i >= 0 && i < pb.Count(id) ? pb.GetInt(id, t, i) : fallback;
}
float FloatAt(IParamBlock2& pb, ParamID id, TimeValue t, int i) {
    return i >= 0 && i < pb.Count(id) ? pb.GetFloat(id, t, i) : 0.0f;
}
Point3 PointAt(IParamBlock2& pb, ParamID id, TimeValue t, int i) {
    return i >= 0 && i < pb.Count(id) ? pb.GetPoint3(id, t, i) : Point3(0.0f, 0.0f, 0.0f);
}

std::vector<int> Ints(IParamBlock2& pb, ParamID id, TimeValue t) {
    std::vector<int> values(static_cast<std::size_t>(std::max(pb.Count(id), 0)));
    for (std::size_t i = 0; i < values.size(); ++i)
        values[i] = pb.GetInt(id, t, static_cast<int>(i));
    return values;
}

std::vector<float> Floats(IParamBlock2& pb, ParamID id, TimeValue t) {
    std::vector<float> values(static_cast<std::size_t>(std::max(pb.Count(id), 0)));
    for (std::size_t i = 0; i < values.size(); ++i)
        values[i] = pb.GetFloat(id, t, static_cast<int>(i));
    return values;
}

}  // namespace

BuildSettings BuildSettings::Read(IParamBlock2& pb, TimeValue t) {
    BuildSettings s;
    s.t = t;
    s.mode = ReadDisplayMode(pb, t);
    s.forceDisplay = pb.GetInt(ForceDisplay, t) != 0;
    s.showLogo = pb.GetInt(Show_Logo, t) != 0;
    s.logoSize = pb.GetFloat(Logo_size, t);
    s.pathNode = pb.GetINode(Spline_Obj, t);
    s.detachPath = pb.GetInt(DetachPath, t) != 0;

    s.global = ReadEntryRandomSettings(pb, t, 0);
    s.pathOffset = GlobalPathOffset(&pb, t);
    s.globalStart = FloatAt(pb, Item_Start_Offset, t, 0);
    s.globalEnd = FloatAt(pb, Item_End_Offset, t, 0);
    for (const ParamID id : {Item_Start_Offset, Item_End_Offset}) {
        for (int i = 0; i < pb.Count(id); ++i)
            s.anyEndOffset = s.anyEndOffset || pb.GetFloat(id, t, i) != 0.0f;
    }

    s.objects = pb.Count(Object_Nodes);
    s.posts = pb.Count(Post_Nodes);
    s.ends = pb.Count(End_Nodes);
    const std::array<std::pair<ParamID, int>, 3> lists = {std::pair{Object_Nodes, s.objects},
                                                          std::pair{Post_Nodes, s.posts},
                                                          std::pair{End_Nodes, s.ends}};
    for (std::size_t l = 0; l < lists.size(); ++l) {
        for (int i = 0; i < lists[l].second; ++i) {
            const int k = static_cast<int>(s.items.size());
            ItemSettings it;
            it.node = pb.GetINode(lists[l].first, t, i);
            it.list = static_cast<CopyKind>(l);
            it.kind = IntAt(pb, Item_Kind, t, k);
            it.boxMin = PointAt(pb, Item_Box_Min, t, k);
            it.boxMax = PointAt(pb, Item_Box_Max, t, k);
            it.entry = ReadEntryRandomSettings(pb, t, k + 1);
            it.startOffset = FloatAt(pb, Item_Start_Offset, t, k + 1);
            it.endOffset = FloatAt(pb, Item_End_Offset, t, k + 1);
            it.repeats = std::clamp(IntAt(pb, Item_Repeat_Count, t, k), 0, kMaxRepeats);
            it.repeatGap = FloatAt(pb, Item_Repeat_Gap, t, k);
            it.twin = IntAt(pb, Item_Check_1013, t, k) != 0;
            it.twinAcross = IntAt(pb, Item_Check_1014, t, k) != 0;
            it.twinOffset = FloatAt(pb, Item_Spin_1111, t, k);
            // Item_Check_1121 with Item_Spin_1032, Item_Check_1118 and End_Check_1119 are
            // stored with the item but change nothing in the layout.
            s.items.push_back(it);
        }
    }
    s.spacings = Floats(pb, Item_Spacing, t);
    s.faceCounts = Ints(pb, Item_Face_Count, t);
    s.cloudCounts = Ints(pb, Item_Cloud_Count, t);
    s.cloudPoints.resize(static_cast<std::size_t>(std::max(pb.Count(Cloud_Points), 0)));
    for (std::size_t i = 0; i < s.cloudPoints.size(); ++i)
        s.cloudPoints[i] = pb.GetPoint3(Cloud_Points, t, static_cast<int>(i));
    s.pointCloud = pb.GetInt(PointCloud, t);

    s.pattern = pb.GetInt(Geo_Pattern, t);
    s.follow = pb.GetInt(Geo_Follow, t) != 0;
    s.followOri = pb.GetInt(Geo_Follow_Ori, t) != 0;
    s.solo = pb.GetInt(Object_Solo, t);
    s.knotSpacing = pb.GetFloat(KnotSpacing, t);
    s.knotThresh = pb.GetFloat(KnotThresh, t);
    s.rowItems = Ints(pb, Sequence_Items, t);
    s.rowGroups = Ints(pb, Sequence_Groups, t);
    s.rowGroups.resize(std::min(s.rowGroups.size(), s.rowItems.size()));
    s.groups = SequenceGroupCount(pb, t);
    s.geoArray = Ints(pb, Geo_Array, t);
    s.pools = PoolTables::Read(pb, t);

    for (int k = 0; k < pb.Count(Sweep_Nodes); ++k) s.sweeps.push_back(ReadSweepSettings(pb, t, k));
    for (int e = 0; e < pb.Count(Sweep_X_Scale); ++e) {
        const bool unified = IntAt(pb, Sweep_Unify_Scale, t, e) != 0;
        s.sweepEntryScales.push_back(FloatAt(pb, unified ? Sweep_X_Scale : Sweep_Z_Scale, t, e));
    }
    s.sweepEntryHeights = Floats(pb, Sweep_Height_Offset, t);
    s.sweepEntrySides = Floats(pb, Sweep_Side_Offset, t);
    s.sweepSolo = pb.GetInt(Sweep_Solo, t);
    s.seamAngle = static_cast<float>(pb.GetInt(Shape_AngleUVW, t)) * kDegToRad;
    return s;
}

}  // namespace trellon
