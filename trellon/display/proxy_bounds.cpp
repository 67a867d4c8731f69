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
#include "object/build_settings.h"
#include "object/display_mode.h"
#include "object/param_ids.h"
#include "object/trellon.h"
#include "shape.h"
#include "spline3d.h"
#include "sweep/sweep_walk.h"

namespace trellon {
namespace {

// Entry e (0 "All Objects", k + 1 item k) as the build read it; an entry a table lacks counts as
// all zeros here (no scale, offset or rotation to reach with).
EntryRandomSettings EntryOrZero(const BuildSettings& s, int e) {
    const std::optional<EntryRandomSettings>& read =
        e == 0 ? s.global : s.items[static_cast<std::size_t>(e - 1)].entry;
    if (read) return *read;
    EntryRandomSettings zero;
    zero.unifyScale = false;
    zero.spacing = zero.xScale = zero.yScale = zero.zScale = RandomRange{};
    return zero;
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
float RangeValue(const RandomRange& r, bool random) {
    return random ? std::max(r.low, r.high) : r.low;
}

// An item entry's scale value for the size estimate: its X range when unified, else its Z range;
// random highs count when `useRandom` and the entry is random.
float ItemScaleValue(const EntryRandomSettings& e, bool useRandom) {
    const bool random = useRandom && e.randomOn;
    return e.unifyScale ? RangeValue(e.xScale, random) : RangeValue(e.zScale, random);
}

// The largest scale of any axis an entry can give (for the reach): X when unified, else the
// largest of X, Y and Z, random highs where the entry is random.
float ItemLargestScale(const EntryRandomSettings& e) {
    const float x = RangeValue(e.xScale, e.randomOn);
    if (e.unifyScale) return x;
    return std::max({x, RangeValue(e.yScale, e.randomOn), RangeValue(e.zScale, e.randomOn)});
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
void ReadItems(const BuildSettings& s, ViewExp* vp, ProxyBoundsInput& in) {
    const TimeValue t = s.t;
    for (const ItemSettings& item : s.items) {
        {
            INode* node = item.node;
            if (node == nullptr) continue;
            in.reach.anyItem = true;
            const Box3 world = WorldBox(node, t, vp);
            if (!world.IsEmpty()) in.size.itemHeight = std::max(in.size.itemHeight, world.pmax.z);
            const Matrix3 objectTM = node->GetObjectTM(t);
            const Box3 stored(item.boxMin, item.boxMax);
            // A copy stands on the path by its pivot; a post by the centre of the bottom of
            // its stored box.
            Point3 pivot = node->GetNodeTM(t).GetTrans();
            if (item.list == CopyKind::Post && !stored.IsEmpty()) {
                pivot = Point3((stored.pmin.x + stored.pmax.x) * 0.5f,
                               (stored.pmin.y + stored.pmax.y) * 0.5f, stored.pmin.z) *
                        objectTM;
            }
            float& r = in.reach.itemReach;
            r = std::max(r, Reach(world, pivot));
            if (!stored.IsEmpty()) r = std::max(r, Reach(stored * objectTM, pivot));
            if (item.kind == 1 && !stored.IsEmpty()) {
                // The unit outline reaches sqrt(0.282^2 + 0.5^2) < 0.58 from the item's origin.
                const float bulb = 0.58f * (stored.pmax.z - stored.pmin.z) * MaxStretch(objectTM);
                r = std::max(r, Length(objectTM.GetTrans() - pivot) + bulb);
            }
        }
    }
}

// The sizes of the shape nodes (g), and every vertex the sweep walk makes, all sweeps counted.
void ReadSweeps(Trellon& object, const BuildSettings& s, const BezierShape* shape, ViewExp* vp,
                ProxyBoundsInput& in) {
    const TimeValue t = s.t;
    for (const SweepSettings& sweep : s.sweeps) {
        INode* node = sweep.profile;
        const Box3 world = node ? WorldBox(node, t, vp) : Box3();
        if (world.IsEmpty()) continue;
        in.size.sweepSize = std::max({in.size.sweepSize, world.pmax.x, world.pmax.y, world.pmax.z});
    }
    SweepOptions options;
    options.honourSolo = false;
    if (shape == nullptr) return;
    for (const SweepPass& pass : PrepareSweepPasses(object, s, *shape, options)) {
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
void ReadEntries(const BuildSettings& s, ProxyBoundsInput& in) {
    const int objects = s.objects;
    const int items = s.ItemCount();
    SizeEstimate& size = in.size;
    ReachEstimate& reach = in.reach;

    // Scales. The size estimate's m and a; the reach's largest scale, every axis counted.
    for (int e = 1; e <= items; ++e) {
        size.scaleMax = std::max(size.scaleMax,
                                 ItemScaleValue(EntryOrZero(s, e), e <= objects) / 100.0f - 1.0f);
    }
    for (const float v : s.sweepEntryScales)
        size.scaleMax = std::max(size.scaleMax, v / 100.0f - 1.0f);
    size.scaleAll = 0.01f + ItemScaleValue(EntryOrZero(s, 0), true) / 100.0f;
    float largest = 0.01f;
    for (int e = 1; e <= items; ++e)
        largest = std::max(largest, ItemLargestScale(EntryOrZero(s, e)) / 100.0f - 1.0f);
    reach.scale = largest + 0.01f + ItemLargestScale(EntryOrZero(s, 0)) / 100.0f;

    // Heights and sideways offsets. The size estimate counts random values for the objects'
    // entries only; the reach counts them wherever an entry is random. The reach's sideways
    // offset covers a copy's path offset (the "All Objects" mean plus its item's) and its
    // deviations from it: twice the largest of each.
    float global = 0.0f;
    float own = 0.0f;
    for (int e = 0; e <= items; ++e) {
        const EntryRandomSettings entry = EntryOrZero(s, e);
        const bool random = entry.randomOn;
        const float z = entry.height.low;
        const float zr = random ? entry.height.high : z;
        AddHeight(z, e <= objects ? zr : z, size.up, size.down);
        AddHeight(z, zr, reach.up, reach.down);
        const float side = std::fabs(entry.sideOffset.low);
        const float sideRandom = random ? std::max(side, std::fabs(entry.sideOffset.high)) : side;
        size.sideways = std::max(size.sideways, e <= objects ? sideRandom : side);
        (e == 0 ? global : own) = std::max(e == 0 ? global : own, sideRandom);
        // A roll: any X rotation the entry can give.
        if (entry.xRot.low != 0.0f || (random && entry.xRot.high != 0.0f)) reach.roll = true;
    }
    reach.sideways = 2.0f * global + 2.0f * own;
    for (const float h : s.sweepEntryHeights) AddHeight(h, h, size.up, size.down);
    for (const float side : s.sweepEntrySides)
        size.sideways = std::max(size.sideways, std::fabs(side));
}

}  // namespace

bool UsesProxyBounds(IParamBlock2& pb, TimeValue t) {
    if (pb.GetINode(Spline_Obj, t) == nullptr) return false;
    const int lists =
        pb.Count(Object_Nodes) + pb.Count(Post_Nodes) + pb.Count(End_Nodes) + pb.Count(Sweep_Nodes);
    return lists > 0 && !IsMeshMode(ReadDisplayMode(pb, t));
}

float PathMitreFactor(const BezierShape* shape) {
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
    // The block read once for every reader below, and the path evaluated once for the mitres
    // and the sweeps.
    const BuildSettings settings = BuildSettings::Read(*pbp, t);
    const PathShape path = PathShape::Evaluate(settings.pathNode, t);
    if (INode* pathNode = settings.pathNode) {
        if (Object* obj = pathNode->EvalWorldState(t).obj) {
            obj->GetWorldBoundBox(t, pathNode, vp, in.size.path);
            obj->GetLocalBoundBox(t, pathNode, vp, in.reach.path);
        }
        in.reach.objectFromPath = ObjectFromPathTM(object, pathNode, t, settings.detachPath);
        in.reach.mitre = PathMitreFactor(path.Shape());
    }
    ReadItems(settings, vp, in);
    ReadSweeps(object, settings, path.Shape(), vp, in);
    ReadEntries(settings, in);
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
    b += copies * in.objectFromPath;
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
