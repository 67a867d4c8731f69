#include "display/proxy_bounds.h"

#include <algorithm>
#include <cmath>
#include <initializer_list>
#include <vector>

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

// A scale range's value v (percent): the low value, or the larger of low and high when
// `random`.
float RangeValue(IParamBlock2& pb, TimeValue t, int e, ParamID low, ParamID high, bool random) {
    const float v = FloatAt(pb, low, t, e);
    return random ? std::max(v, FloatAt(pb, high, t, e)) : v;
}

// An item entry's scale value for the size estimate: its X range when unified, else its Z range;
// random highs count when `useRandom` and the entry is random.
float ItemScaleValue(IParamBlock2& pb, TimeValue t, int e, bool useRandom) {
    const bool random = useRandom && IntAt(pb, Item_Random_Trans, t, e) != 0;
    return IntAt(pb, Item_Unify_Scale, t, e) != 0
               ? RangeValue(pb, t, e, Item_X_Scale, Item_X_Scale_Random, random)
               : RangeValue(pb, t, e, Item_Z_Scale, Item_Z_Scale_Random, random);
}

// The largest scale of any axis an entry can give (for the reach): X when unified, else the
// largest of X, Y and Z, random highs where the entry is random.
float ItemLargestScale(IParamBlock2& pb, TimeValue t, int e) {
    const bool random = IntAt(pb, Item_Random_Trans, t, e) != 0;
    const float x = RangeValue(pb, t, e, Item_X_Scale, Item_X_Scale_Random, random);
    if (IntAt(pb, Item_Unify_Scale, t, e) != 0) return x;
    return std::max({x, RangeValue(pb, t, e, Item_Y_Scale, Item_Y_Scale_Random, random),
                     RangeValue(pb, t, e, Item_Z_Scale, Item_Z_Scale_Random, random)});
}

// Adds a height range to up and down: its larger value when not negative goes up, the
// magnitude of its smaller when negative goes down.
void AddHeight(float low, float high, float& up, float& down) {
    const float top = std::max(low, high);
    const float bottom = std::min(low, high);
    if (top >= 0.0f) up += top;
    if (bottom < 0.0f) down += -bottom;
}

// The item nodes' sizes: h for the size estimate, and each item's reach from its pivot (its
// world box, its stored box through its object transform, a light's bulb) for the reach.
void ReadItems(IParamBlock2& pb, TimeValue t, ViewExp* vp, ProxyBoundsInput& in) {
    int item = 0;
    for (ParamID list : {Object_Nodes, Post_Nodes, End_Nodes}) {
        for (int i = 0; i < pb.Count(list); ++i, ++item) {
            INode* node = pb.GetINode(list, t, i);
            if (node == nullptr) continue;
            in.reach.anyItem = true;
            const Box3 world = WorldBox(node, t, vp);
            if (!world.IsEmpty()) in.size.itemHeight = std::max(in.size.itemHeight, world.pmax.z);
            const Matrix3 objectTM = node->GetObjectTM(t);
            const Box3 stored(PointAt(pb, Item_Box_Min, t, item),
                              PointAt(pb, Item_Box_Max, t, item));
            // A copy stands on the path by its pivot; a post by the centre of the bottom of
            // its stored box.
            Point3 pivot = node->GetNodeTM(t).GetTrans();
            if (list == Post_Nodes && !stored.IsEmpty()) {
                pivot = Point3((stored.pmin.x + stored.pmax.x) * 0.5f,
                               (stored.pmin.y + stored.pmax.y) * 0.5f, stored.pmin.z) *
                        objectTM;
            }
            float& r = in.reach.itemReach;
            r = std::max(r, Reach(world, pivot));
            if (!stored.IsEmpty()) r = std::max(r, Reach(stored * objectTM, pivot));
            if (IntAt(pb, Item_Kind, t, item) == 1 && !stored.IsEmpty()) {
                // The unit outline reaches sqrt(0.282^2 + 0.5^2) < 0.58 from the item's origin.
                const float bulb = 0.58f * (stored.pmax.z - stored.pmin.z) * MaxStretch(objectTM);
                r = std::max(r, Length(objectTM.GetTrans() - pivot) + bulb);
            }
        }
    }
}

// The sizes of the shape nodes (g), and every vertex the sweep walk makes, all sweeps counted.
void ReadSweeps(Trellon& object, IParamBlock2& pb, TimeValue t, ViewExp* vp, ProxyBoundsInput& in) {
    for (int k = 0; k < pb.Count(Sweep_Nodes); ++k) {
        INode* node = pb.GetINode(Sweep_Nodes, t, k);
        const Box3 world = node ? WorldBox(node, t, vp) : Box3();
        if (world.IsEmpty()) continue;
        in.size.sweepSize = std::max({in.size.sweepSize, world.pmax.x, world.pmax.y, world.pmax.z});
    }
    SweepOptions options;
    options.honourSolo = false;
    for (const SweepPass& pass : PrepareSweepPasses(object, t, options)) {
        for (int j = 0; j < static_cast<int>(pass.lines.size()); ++j) {
            std::vector<Point3> ring(pass.lines[static_cast<std::size_t>(j)].points.size());
            for (int run = 0; run < static_cast<int>(pass.runs.size()); ++run) {
                const int n =
                    static_cast<int>(pass.runs[static_cast<std::size_t>(run)].samples.size());
                for (int i = 0; i < n; ++i) {
                    pass.Ring(j, run, i, ring.data());
                    for (const Point3& p : ring) in.reach.sweeps += p;
                }
            }
        }
    }
}

// Scales, heights and sideways offsets of every entry.
void ReadEntries(IParamBlock2& pb, TimeValue t, ProxyBoundsInput& in) {
    const int objects = pb.Count(Object_Nodes);
    const int items = objects + pb.Count(Post_Nodes) + pb.Count(End_Nodes);
    SizeEstimate& size = in.size;
    ReachEstimate& reach = in.reach;

    // Scales. The size estimate's m and a; the reach's largest scale, every axis counted.
    for (int e = 1; e <= items; ++e) {
        size.scaleMax =
            std::max(size.scaleMax, ItemScaleValue(pb, t, e, e <= objects) / 100.0f - 1.0f);
    }
    for (int e = 0; e < pb.Count(Sweep_X_Scale); ++e) {
        const bool unified = IntAt(pb, Sweep_Unify_Scale, t, e) != 0;
        const float v = FloatAt(pb, unified ? Sweep_X_Scale : Sweep_Z_Scale, t, e);
        size.scaleMax = std::max(size.scaleMax, v / 100.0f - 1.0f);
    }
    size.scaleAll = 0.01f + ItemScaleValue(pb, t, 0, true) / 100.0f;
    float largest = 0.01f;
    for (int e = 1; e <= items; ++e)
        largest = std::max(largest, ItemLargestScale(pb, t, e) / 100.0f - 1.0f);
    reach.scale = largest + 0.01f + ItemLargestScale(pb, t, 0) / 100.0f;

    // Heights and sideways offsets. The size estimate counts random values for the objects'
    // entries only; the reach counts them wherever an entry is random. The reach's sideways
    // offset covers a copy's path offset (the "All Objects" mean plus its item's) and its
    // deviations from it: twice the largest of each.
    float global = 0.0f;
    float own = 0.0f;
    for (int e = 0; e <= items; ++e) {
        const bool random = IntAt(pb, Item_Random_Trans, t, e) != 0;
        const float z = FloatAt(pb, Item_Z_Pos, t, e);
        const float zr = random ? FloatAt(pb, Item_Z_Pos_Random, t, e) : z;
        AddHeight(z, e <= objects ? zr : z, size.up, size.down);
        AddHeight(z, zr, reach.up, reach.down);
        const float side = std::fabs(FloatAt(pb, Item_Pos_InOut, t, e));
        const float sideRandom =
            random ? std::max(side, std::fabs(FloatAt(pb, Item_Pos_InOut_Random, t, e))) : side;
        size.sideways = std::max(size.sideways, e <= objects ? sideRandom : side);
        (e == 0 ? global : own) = std::max(e == 0 ? global : own, sideRandom);
        // A roll: any X rotation the entry can give.
        if (FloatAt(pb, Item_X_Rot, t, e) != 0.0f ||
            (random && FloatAt(pb, Item_X_Rot_Random, t, e) != 0.0f)) {
            reach.roll = true;
        }
    }
    reach.sideways = 2.0f * global + 2.0f * own;
    for (int e = 0; e < pb.Count(Sweep_Height_Offset); ++e) {
        const float h = FloatAt(pb, Sweep_Height_Offset, t, e);
        AddHeight(h, h, size.up, size.down);
    }
    for (int e = 0; e < pb.Count(Sweep_Side_Offset); ++e)
        size.sideways = std::max(size.sideways, std::fabs(FloatAt(pb, Sweep_Side_Offset, t, e)));
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

ProxyBoundsInput ReadProxyBoundsInput(Trellon& object, INode* node, TimeValue t, ViewExp* vp) {
    ProxyBoundsInput in;
    if (node != nullptr) in.objectTM = node->GetObjectTM(t);
    object.UpdateMesh(t);
    in.size.mesh = object.mesh.getBoundingBox(&in.objectTM);
    IParamBlock2* pbp = object.pblock2;
    if (pbp == nullptr) return in;
    IParamBlock2& pb = *pbp;
    if (INode* pathNode = pb.GetINode(Spline_Obj, t)) {
        if (Object* obj = pathNode->EvalWorldState(t).obj) {
            obj->GetWorldBoundBox(t, pathNode, vp, in.size.path);
            obj->GetLocalBoundBox(t, pathNode, vp, in.reach.path);
        }
        in.reach.pathToObject = PathToObjectTM(object, pathNode, t, pb.GetInt(DetachPath, t) != 0);
        in.reach.mitre = PathMitreFactor(pathNode, t);
    }
    ReadItems(pb, t, vp, in);
    ReadSweeps(object, pb, t, vp, in);
    ReadEntries(pb, t, in);
    return in;
}

Box3 SizeEstimateBox(const SizeEstimate& in) {
    Box3 b = in.path;
    b += in.mesh;
    if (b.IsEmpty()) return b;
    const float s = in.scaleMax + in.scaleAll;
    const float g = std::max(in.sweepSize, 0.0f);
    const float h = std::max(in.itemHeight, 0.0f) * s;
    const float across = g + std::max(in.sideways, 0.0f);
    b.pmin -= Point3(across, across, h + g + in.down);
    b.pmax += Point3(across, across, h + g + in.up);
    return b;
}

Box3 ReachBox(const ReachEstimate& in) {
    Box3 b = in.sweeps;
    if (!in.anyItem || in.path.IsEmpty()) return b;
    // In the path's space: a copy stands on the path moved sideways (at most `sideways`, more at
    // a mitred knot) and up or down by its height, and reaches r s from there any way. A roll
    // about the direction of travel turns the sideways and height offsets any way across it.
    Box3 copies = in.path;
    const float reach = in.itemReach * in.scale;
    const float side = in.mitre * in.sideways;
    if (in.roll) {
        const float any = reach + side + std::max(in.up, in.down);
        copies.EnlargeBy(any);
    } else {
        copies.pmin -= Point3(reach + side, reach + side, reach + in.down);
        copies.pmax += Point3(reach + side, reach + side, reach + in.up);
    }
    b += copies * in.pathToObject;
    return b;
}

Box3 EstimateProxyWorldBox(const ProxyBoundsInput& in) {
    Box3 b = SizeEstimateBox(in.size);
    const Box3 reach = ReachBox(in.reach);
    if (!reach.IsEmpty()) b += reach * in.objectTM;
    return b;
}

Box3 EstimateProxyLocalBox(const ProxyBoundsInput& in) {
    Box3 b = EstimateProxyWorldBox(in);
    if (!b.IsEmpty() && !in.size.mesh.IsEmpty()) b.Translate(-in.size.mesh.Center());
    return b;
}

}  // namespace trellon
