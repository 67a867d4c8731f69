// SplineShape: the shape object over a BezierShape.
#include "splshape.h"

#include <algorithm>

#include "inode.h"

void SplineShape::SetSteps(int n) {
    shape.steps = std::clamp(n, 0, 100);
    shape.InvalidateGeomCache();
}

void SplineShape::SetAdaptive(BOOL sw) {
    adaptive_ = sw != FALSE;
    shape.InvalidateGeomCache();
}

int SplineShape::CanConvertToType(Class_ID obtype) {
    return obtype == splineShapeClassID || obtype == defObjectClassID ? 1 : 0;
}

Object* SplineShape::ConvertToType(TimeValue t, Class_ID obtype) {
    return ShapeObject::ConvertToType(t, obtype);  // itself, for its own class and the generic
}

int SplineShape::NumberOfCurves(TimeValue /*t*/) { return shape.SplineCount(); }

BOOL SplineShape::CurveClosed(TimeValue /*t*/, int curve) {
    const Spline3D* s = shape.GetSpline(curve);
    return s && s->Closed() ? TRUE : FALSE;
}

Point3 SplineShape::InterpCurve3D(TimeValue /*t*/, int curve, float param, int ptype) {
    return shape.InterpCurve3D(curve, param, ptype);
}

Point3 SplineShape::TangentCurve3D(TimeValue /*t*/, int curve, float param, int ptype) {
    return shape.TangentCurve3D(curve, param, ptype);
}

float SplineShape::LengthOfCurve(TimeValue /*t*/, int curve) {
    const Spline3D* s = shape.GetSpline(curve);
    return s ? s->SplineLength() : 0.0f;
}

int SplineShape::NumberOfPieces(TimeValue /*t*/, int curve) {
    const Spline3D* s = shape.GetSpline(curve);
    return s ? s->Segments() : 0;
}

Point3 SplineShape::InterpPiece3D(TimeValue /*t*/, int curve, int piece, float param, int ptype) {
    return shape.InterpPiece3D(curve, piece, param, ptype);
}

Point3 SplineShape::TangentPiece3D(TimeValue /*t*/, int curve, int piece, float param, int ptype) {
    return shape.TangentPiece3D(curve, piece, param, ptype);
}

int SplineShape::NumberOfVertices(TimeValue /*t*/, int curve) {
    if (curve >= 0) {
        const Spline3D* s = shape.GetSpline(curve);
        return s ? s->KnotCount() : 0;
    }
    int total = 0;
    for (int i = 0; i < shape.SplineCount(); ++i) total += shape.GetSpline(i)->KnotCount();
    return total;
}

void SplineShape::MakePolyShape(TimeValue /*t*/, PolyShape& pshape, int steps, BOOL optimize) {
    // -2: the shape's own settings; -1: adaptive; otherwise that many steps per segment.
    int useSteps = steps;
    BOOL useOptimize = optimize;
    if (steps == PSHAPE_BUILTIN_STEPS) {
        useSteps = adaptive_ ? -1 : shape.steps;
        useOptimize = optimize || shape.optimize ? TRUE : FALSE;
    } else if (steps < 0) {
        useSteps = -1;
    }
    const int n = shape.SplineCount();
    pshape.SetNumLines(n, FALSE);
    for (int i = 0; i < n; ++i)
        shape.GetSpline(i)->MakePolyLine(pshape.lines[i], useSteps, useOptimize);
}

void SplineShape::GetLocalBoundBox(TimeValue /*t*/, INode* /*inode*/, ViewExp* /*vp*/, Box3& box) {
    box = shape.GetBoundingBox();
}

void SplineShape::GetWorldBoundBox(TimeValue t, INode* inode, ViewExp* /*vp*/, Box3& box) {
    if (!inode) {
        box = shape.GetBoundingBox();
        return;
    }
    Matrix3 tm = inode->GetObjectTM(t);
    box = shape.GetBoundingBox(&tm);
}

ReferenceTarget* SplineShape::Clone(RemapDir& remap) {
    auto* copy = new SplineShape();
    copy->shape = shape;
    copy->adaptive_ = adaptive_;
    copy->SetRenderable(IsRenderable());
    BaseClone(this, copy, remap);
    return copy;
}
