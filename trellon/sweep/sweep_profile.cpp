// The profile side of the sweep walk: a sweep's settings from the block, and its profile shape
// as cross-section lines with the per-point part of the vertex rule applied (sweep_walk.h).
#include <algorithm>
#include <cmath>

#include "inode.h"
#include "iparamb2.h"
#include "object.h"
#include "object/param_ids.h"
#include "polyshp.h"
#include "splshape.h"
#include "sweep/sweep_profile.h"
#include "units.h"

namespace trellon {
namespace {

float ReadFloat(IParamBlock2& pb, ParamID id, TimeValue t, int index, float fallback) {
    Interval valid = FOREVER;
    float v = 0.0f;
    return pb.GetValue(id, t, v, valid, index) ? v : fallback;
}

int ReadInt(IParamBlock2& pb, ParamID id, TimeValue t, int index, int fallback) {
    Interval valid = FOREVER;
    int v = 0;
    return pb.GetValue(id, t, v, valid, index) ? v : fallback;
}

// Entry 0 ("All Sweeps") plus the sweep's own entry k + 1.
float Combined(IParamBlock2& pb, ParamID id, TimeValue t, int k) {
    return ReadFloat(pb, id, t, 0, 0.0f) + ReadFloat(pb, id, t, k + 1, 0.0f);
}

// Holds a spline shape at the sweep's step count (fixed steps, not adaptive) and puts its own
// settings back when it goes.
class StepsOverride {
public:
    StepsOverride(SplineShape& shape, int steps)
        : shape_(shape), steps_(shape.GetSteps()), adaptive_(shape.GetAdaptive()) {
        shape_.SetAdaptive(FALSE);
        shape_.SetSteps(steps);
    }
    ~StepsOverride() {
        shape_.SetSteps(steps_);
        shape_.SetAdaptive(adaptive_);
    }
    StepsOverride(const StepsOverride&) = delete;
    StepsOverride& operator=(const StepsOverride&) = delete;

private:
    SplineShape& shape_;
    int steps_;
    BOOL adaptive_;
};

// The shape's polylines at `steps` (negative: the shape's own), no optimisation.
void ShapePolylines(ShapeObject& shape, int steps, TimeValue t, PolyShape& poly) {
    if (steps >= 0 && shape.ClassID() == splineShapeClassID) {
        SplineShape& spline = static_cast<SplineShape&>(shape);
        const StepsOverride hold(spline, steps);
        spline.MakePolyShape(t, poly, PSHAPE_BUILTIN_STEPS, FALSE);
        return;
    }
    shape.MakePolyShape(t, poly, steps >= 0 ? steps : PSHAPE_BUILTIN_STEPS, FALSE);
}

}  // namespace

Point3 SweepScale(const Point3& all, const Point3& own, bool unifyAll, bool unifyOwn) {
    // Xk = own / 100 - 1 (the sweep's change), X0 = all / 100.
    const float xk = own.x / 100.0f - 1.0f, yk = own.y / 100.0f - 1.0f, zk = own.z / 100.0f - 1.0f;
    const float x0 = all.x / 100.0f, y0 = all.y / 100.0f, z0 = all.z / 100.0f;
    const float sx = xk + x0;
    if (!unifyAll) return Point3(sx, (unifyOwn ? xk : yk) + y0, (unifyOwn ? xk : zk) + z0);
    if (unifyOwn) return Point3(sx, sx, sx);
    return Point3(sx, yk + x0, zk + x0);
}

SweepSettings ReadSweepSettings(IParamBlock2& pb, TimeValue t, int k) {
    SweepSettings s;
    Interval valid = FOREVER;
    INode* node = nullptr;
    if (pb.GetValue(Sweep_Nodes, t, node, valid, k)) s.profile = node;
    s.steps = ReadInt(pb, Shape_Steps, t, k, -1);
    s.flipNormals = ReadInt(pb, Shape_Flip_Normals, t, k, 0) != 0;
    s.flipObject = ReadInt(pb, Shape_Flip_Object, t, k, 0) != 0;
    s.sideOffset = Combined(pb, Sweep_Side_Offset, t, k);
    s.height = Combined(pb, Sweep_Height_Offset, t, k);
    s.rotation = Point3(Combined(pb, Sweep_X_Rot, t, k), Combined(pb, Sweep_Y_Rot, t, k),
                        Combined(pb, Sweep_Z_Rot, t, k)) *
                 kDegToRad;
    const auto scales = [&](int entry) {
        return Point3(ReadFloat(pb, Sweep_X_Scale, t, entry, 100.0f),
                      ReadFloat(pb, Sweep_Y_Scale, t, entry, 100.0f),
                      ReadFloat(pb, Sweep_Z_Scale, t, entry, 100.0f));
    };
    s.scale = SweepScale(scales(0), scales(k + 1), ReadInt(pb, Sweep_Unify_Scale, t, 0, 1) != 0,
                         ReadInt(pb, Sweep_Unify_Scale, t, k + 1, 1) != 0);
    s.startTrim = Combined(pb, Sweep_Start_Trim, t, k);
    s.endTrim = Combined(pb, Sweep_End_Trim, t, k);
    s.twin = ReadInt(pb, Sweep_Double, t, k, 0) != 0;
    s.twinOffset = ReadFloat(pb, Sweep_Double_Offset, t, k, 0.0f);
    s.smoothAngle = ReadFloat(pb, Sweep_Smooth_Angle, t, k, 0.0f) * kDegToRad;
    return s;
}

float TextureTileLength() {
    int type = UNITS_INCHES;
    float scale = 1.0f;
    GetMasterUnitInfo(&type, &scale);
    switch (type) {
        case UNITS_MILLIMETERS:
            return 25000.0f;
        case UNITS_CENTIMETERS:
        case UNITS_INCHES:
            return 2500.0f;
        default:
            return 25.0f;
    }
}

bool ProfilePolylines(INode& node, int steps, TimeValue t, PolyShape& poly) {
    poly.NewShape();
    Object* obj = node.EvalWorldState(t).obj;
    if (!obj) return false;
    if (obj->IsShapeObject()) {
        ShapePolylines(*static_cast<ShapeObject*>(obj), steps, t, poly);
    } else if (obj->CanConvertToType(splineShapeClassID)) {
        Object* converted = obj->ConvertToType(t, splineShapeClassID);
        if (!converted) return false;
        if (converted->IsShapeObject()) {
            ShapePolylines(*static_cast<ShapeObject*>(converted), steps, t, poly);
        }
        if (converted != obj) converted->DeleteThis();
    } else {
        return false;
    }
    // Nested outlines alternate their direction (the outermost counter-clockwise).
    ShapeHierarchy hier;
    poly.OrganizeCurves(t, &hier);
    poly.Reverse(hier.reverse);
    return true;
}

std::vector<ProfileLine> ProfileLines(const PolyShape& poly, const Point3& pivot,
                                      const SweepSettings& s) {
    // The per-point steps of the vertex rule: pivot, scale, mirror, then rotation X, Y, Z.
    const Matrix3 rotation =
        RotateXMatrix(s.rotation.x) * RotateYMatrix(s.rotation.y) * RotateZMatrix(s.rotation.z);
    std::vector<ProfileLine> lines(static_cast<std::size_t>(std::max(poly.numLines, 0)));
    for (int j = 0; j < poly.numLines; ++j) {
        const PolyLine& src = poly.lines[j];
        ProfileLine& line = lines[static_cast<std::size_t>(j)];
        line.closed = src.IsClosed() != 0;
        line.points.resize(static_cast<std::size_t>(src.numPts));
        for (int m = 0; m < src.numPts; ++m) {
            Point3 q = src.pts[m].p - pivot;
            q = Point3(q.x * s.scale.x, q.y * s.scale.y, q.z * s.scale.z);
            if (s.flipObject) q.x = -q.x;
            line.points[static_cast<std::size_t>(m)] = VectorTransform(q, rotation);
        }

        // U: the length along the (scaled) outline from its first point, over the whole length;
        // a closed line ends with the seam copy of its first point at U = 1.
        const int p = line.Points();
        line.u.assign(static_cast<std::size_t>(line.RowSize()), 0.0f);
        if (p == 0) continue;
        std::vector<double> along(static_cast<std::size_t>(p) + 1, 0.0);
        for (int m = 1; m <= p; ++m) {
            const Point3& a = line.points[static_cast<std::size_t>(m - 1)];
            const Point3& b = line.points[static_cast<std::size_t>(m % p)];
            along[static_cast<std::size_t>(m)] =
                along[static_cast<std::size_t>(m - 1)] + Length(b - a);
        }
        const double total = along[static_cast<std::size_t>(line.closed ? p : p - 1)];
        for (int m = 0; m < line.RowSize(); ++m) {
            line.u[static_cast<std::size_t>(m)] =
                total > 0.0 ? static_cast<float>(along[static_cast<std::size_t>(m)] / total) : 0.0f;
        }
        if (total > 0.0) line.u.back() = 1.0f;
    }
    return lines;
}

}  // namespace trellon
