#include "display/proxy_bounds.h"

#include <algorithm>
#include <cmath>
#include <initializer_list>

#include "display/proxy_draw.h"
#include "distribute/path_shape.h"
#include "distribute/working_path.h"
#include "inode.h"
#include "iparamb2.h"
#include "object.h"
#include "object/param_ids.h"
#include "object/trellon.h"
#include "shape.h"
#include "spline3d.h"
#include "sweep/sweep_walk.h"

namespace trellon {
namespace {

// Entry i of a table, or 0 when the table lacks it.
float FloatAt(IParamBlock2& pb, ParamID id, TimeValue t, int i) {
    float v = 0.0f;
    Interval iv = FOREVER;
    return pb.GetValue(id, t, v, iv, i) ? v : 0.0f;
}

int IntAt(IParamBlock2& pb, ParamID id, TimeValue t, int i) {
    int v = 0;
    Interval iv = FOREVER;
    return pb.GetValue(id, t, v, iv, i) ? v : 0;
}

Point3 PointAt(IParamBlock2& pb, ParamID id, TimeValue t, int i) {
    Point3 v;
    Interval iv = FOREVER;
    return pb.GetValue(id, t, v, iv, i) ? v : Point3(0.0f, 0.0f, 0.0f);
}

// A node's world box at t (empty for a node whose object has no extent).
Box3 WorldBox(INode* node, TimeValue t, ViewExp* vp) {
    Box3 box;
    if (node == nullptr) return box;
    if (Object* obj = node->EvalWorldState(t).obj) obj->GetWorldBoundBox(t, node, vp, box);
    return box;
}

// The largest distance from `from` to a corner of box (0 for an empty box).
float Reach(const Box3& box, const Point3& from) {
    if (box.IsEmpty()) return 0.0f;
    float r = 0.0f;
    for (int i = 0; i < 8; ++i) r = std::max(r, Length(box[i] - from));
    return r;
}

// The largest length of the rows 0..2 of tm: how much tm stretches a vector at most (a bound).
float MaxStretch(const Matrix3& tm) {
    return std::max({Length(tm.GetRow(0)), Length(tm.GetRow(1)), Length(tm.GetRow(2))}) *
           std::sqrt(3.0f);
}

// The scale value v of a shared entry (percent): X when unified, else the largest of X, Y, Z;
// each the low value or, when random counts, the larger of low and high.
float ScaleValue(IParamBlock2& pb, TimeValue t, int e, bool useRandom) {
    const bool random = useRandom && IntAt(pb, Item_Random_Trans, t, e) != 0;
    auto value = [&](ParamID low, ParamID high) {
        const float v = FloatAt(pb, low, t, e);
        return random ? std::max(v, FloatAt(pb, high, t, e)) : v;
    };
    const float x = value(Item_X_Scale, Item_X_Scale_Random);
    if (IntAt(pb, Item_Unify_Scale, t, e) != 0) return x;
    return std::max(
        {x, value(Item_Y_Scale, Item_Y_Scale_Random), value(Item_Z_Scale, Item_Z_Scale_Random)});
}

float SweepScaleValue(IParamBlock2& pb, TimeValue t, int e) {
    const float x = FloatAt(pb, Sweep_X_Scale, t, e);
    if (IntAt(pb, Sweep_Unify_Scale, t, e) != 0) return x;
    return std::max({x, FloatAt(pb, Sweep_Y_Scale, t, e), FloatAt(pb, Sweep_Z_Scale, t, e)});
}

// Adds a Z offset range to the heights: its larger value when not negative goes up, the
// magnitude of its smaller when negative goes down.
void AddHeight(float low, float high, ProxyBoundsInput& in) {
    const float top = std::max(low, high);
    const float bottom = std::min(low, high);
    if (top >= 0.0f) in.up += top;
    if (bottom < 0.0f) in.down += -bottom;
}

void ReadItems(IParamBlock2& pb, TimeValue t, ViewExp* vp, ProxyBoundsInput& in) {
    int item = 0;
    for (ParamID list : {Object_Nodes, Post_Nodes, End_Nodes}) {
        for (int i = 0; i < pb.Count(list); ++i, ++item) {
            INode* node = pb.GetINode(list, t, i);
            if (node == nullptr) continue;
            const Box3 world = WorldBox(node, t, vp);
            if (!world.IsEmpty()) in.itemHeight = std::max(in.itemHeight, world.pmax.z);
            const Point3 pivot = node->GetNodeTM(t).GetTrans();
            in.itemReach = std::max(in.itemReach, Reach(world, pivot));
            // The stored box through the item's object transform, and a light's bulb.
            const Matrix3 objectTM = node->GetObjectTM(t);
            const Box3 stored(PointAt(pb, Item_Box_Min, t, item),
                              PointAt(pb, Item_Box_Max, t, item));
            if (!stored.IsEmpty())
                in.itemReach = std::max(in.itemReach, Reach(stored * objectTM, pivot));
            if (IntAt(pb, Item_Kind, t, item) == 1 && !stored.IsEmpty()) {
                // The unit outline reaches sqrt(0.282^2 + 0.5^2) < 0.58 from the item's origin.
                const float bulb = 0.58f * (stored.pmax.z - stored.pmin.z) * MaxStretch(objectTM);
                in.itemReach = std::max(in.itemReach, Length(objectTM.GetTrans() - pivot) + bulb);
            }
        }
    }
}

void ReadSweeps(IParamBlock2& pb, TimeValue t, ViewExp* vp, ProxyBoundsInput& in) {
    float sideways = 0.0f;
    for (int k = 0; k < pb.Count(Sweep_Nodes); ++k) {
        const SweepSettings s = ReadSweepSettings(pb, t, k);
        sideways = std::max(sideways, std::fabs(s.sideOffset));
        if (s.twin) sideways = std::max(sideways, std::fabs(s.sideOffset + s.twinOffset));
        INode* node = s.profile;
        if (node == nullptr) continue;
        const Box3 world = WorldBox(node, t, vp);
        if (world.IsEmpty()) continue;
        in.sweepSize = std::max({in.sweepSize, world.pmax.x, world.pmax.y, world.pmax.z});
        const float scale =
            std::max({std::fabs(s.scale.x), std::fabs(s.scale.y), std::fabs(s.scale.z)});
        const float reach = Reach(world, node->GetNodeTM(t).GetTrans());
        in.sweepSize = std::max(in.sweepSize, reach * scale * in.mitre);
    }
    in.sweepSideways = sideways;
}

}  // namespace

bool UsesProxyBounds(IParamBlock2& pb, TimeValue t) {
    if (pb.GetINode(Spline_Obj, t) == nullptr) return false;
    const int lists =
        pb.Count(Object_Nodes) + pb.Count(Post_Nodes) + pb.Count(End_Nodes) + pb.Count(Sweep_Nodes);
    return lists > 0 && pb.GetInt(Display_Mode, t) < kFirstMeshMode;
}

float PathMitreFactor(INode* pathNode, TimeValue t) {
    const PathShape path = PathShape::Evaluate(pathNode, t);
    const BezierShape* shape = path.Shape();
    float f = 1.0f;
    if (shape == nullptr) return f;
    for (int s = 0; s < shape->SplineCount(); ++s) {
        const Spline3D* spline = shape->GetSpline(s);
        const int n = spline ? spline->KnotCount() : 0;
        if (n < 3) continue;
        const bool closed = spline->Closed() != 0;
        for (int i = closed ? 0 : 1; i < (closed ? n : n - 1); ++i) {
            const Point3 p = spline->GetKnotPoint(i);
            const Point3 a = spline->GetKnotPoint((i + n - 1) % n) - p;
            const Point3 b = spline->GetKnotPoint((i + 1) % n) - p;
            const float la = Length(a), lb = Length(b);
            if (!(la > 0.0f) || !(lb > 0.0f)) continue;
            const float cosine = std::clamp(DotProd(a, b) / (la * lb), -1.0f, 1.0f);
            const float half = 0.5f * std::acos(cosine);
            const float sine = std::fabs(std::sin(half));
            f = std::max(f, sine > 1.0f / kMaxMitre ? 1.0f / sine : kMaxMitre);
        }
    }
    return f;
}

ProxyBoundsInput ReadProxyBoundsInput(Trellon& object, TimeValue t, ViewExp* vp) {
    ProxyBoundsInput in;
    IParamBlock2* pbp = object.pblock2;
    object.UpdateMesh(t);
    in.mesh = object.mesh.getBoundingBox();
    if (pbp == nullptr) return in;
    IParamBlock2& pb = *pbp;
    INode* pathNode = pb.GetINode(Spline_Obj, t);
    if (pathNode != nullptr) {
        Box3 local;
        if (Object* obj = pathNode->EvalWorldState(t).obj) {
            obj->GetLocalBoundBox(t, pathNode, vp, local);
        }
        if (!local.IsEmpty()) {
            in.path = local * PathToObjectTM(object, pathNode, t, pb.GetInt(DetachPath, t) != 0);
        }
        in.mitre = PathMitreFactor(pathNode, t);
    }

    ReadItems(pb, t, vp, in);
    ReadSweeps(pb, t, vp, in);

    // Scale factor: the item entries behind "All Objects" (random highs where random), the
    // sweeps' entries (entry 0 too), and "All Objects" itself as the base.
    const int objects = pb.Count(Object_Nodes);
    const int items = objects + pb.Count(Post_Nodes) + pb.Count(End_Nodes);
    for (int e = 1; e <= items; ++e) {
        in.scaleMax = std::max(in.scaleMax, ScaleValue(pb, t, e, true) / 100.0f - 1.0f);
    }
    for (int e = 0; e < pb.Count(Sweep_X_Scale); ++e) {
        in.scaleMax = std::max(in.scaleMax, SweepScaleValue(pb, t, e) / 100.0f - 1.0f);
    }
    in.scaleAll = 0.01f + ScaleValue(pb, t, 0, true) / 100.0f;

    // Heights and sideways offsets of every item entry and every sweep entry.
    float global = 0.0f;
    float own = 0.0f;
    for (int e = 0; e <= items; ++e) {
        const bool random = IntAt(pb, Item_Random_Trans, t, e) != 0;
        const float z = FloatAt(pb, Item_Z_Pos, t, e);
        AddHeight(z, random ? FloatAt(pb, Item_Z_Pos_Random, t, e) : z, in);
        float side = std::fabs(FloatAt(pb, Item_Pos_InOut, t, e));
        if (random) side = std::max(side, std::fabs(FloatAt(pb, Item_Pos_InOut_Random, t, e)));
        (e == 0 ? global : own) = std::max(e == 0 ? global : own, side);
    }
    for (int e = 0; e < pb.Count(Sweep_Height_Offset); ++e) {
        const float h = FloatAt(pb, Sweep_Height_Offset, t, e);
        AddHeight(h, h, in);
    }
    in.sideways = 2.0f * global + 2.0f * own;
    return in;
}

Box3 EstimateProxyBox(const ProxyBoundsInput& in) {
    Box3 b = in.path;
    b += in.mesh;
    if (b.IsEmpty()) return b;
    const float s = in.scaleMax + in.scaleAll;
    const float h = std::max(in.itemHeight, 0.0f) * s;
    const float r = in.itemReach * s;
    const float g = std::max(in.sweepSize, 0.0f);
    const float across =
        g + r + in.mitre * std::max(in.sideways, in.sweepSideways) + std::max(in.up, in.down);
    const float vertical = std::max(h, r) + g + in.sideways;
    b.pmin -= Point3(across, across, vertical + in.down);
    b.pmax += Point3(across, across, vertical + in.up);
    return b;
}

}  // namespace trellon
