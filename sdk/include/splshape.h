// SplineShape: a scene object that is a Bezier shape (the editable spline).
//
// Interpolation settings: steps (0..100, values outside are clamped), optimize, adaptive. They
// live in the BezierShape (shape.steps, shape.optimize); adaptive is kept here and, when set,
// makes the built-in polyline adaptive. Changing them only invalidates the shape's cached
// geometry; dependents are not notified (the caller decides whether the change is an edit).
#pragma once

#include "object.h"
#include "polyshp.h"
#include "shape.h"

class SplineShape : public ShapeObject {
public:
    BezierShape shape;

    SplineShape() = default;

    Class_ID ClassID() override { return splineShapeClassID; }
    void GetClassName(MSTR& s) override { s = MSTR(_M("Editable Spline")); }
    const MCHAR* GetObjectName() override { return _M("Spline"); }
    void InitNodeName(MSTR& s) override { s = MSTR(_M("Shape")); }
    CreateMouseCallBack* GetCreateMouseCallBack() override { return nullptr; }

    BezierShape& GetShape() { return shape; }

    void SetSteps(int n);
    int GetSteps() const { return shape.steps; }
    BOOL GetOptimize() const { return shape.optimize; }
    void SetAdaptive(BOOL sw);
    BOOL GetAdaptive() const { return adaptive_ ? TRUE : FALSE; }

    ObjectState Eval(TimeValue /*t*/) override { return ObjectState(this); }
    int CanConvertToType(Class_ID obtype) override;
    Object* ConvertToType(TimeValue t, Class_ID obtype) override;

    int NumberOfCurves(TimeValue t) override;
    BOOL CurveClosed(TimeValue t, int curve) override;
    Point3 InterpCurve3D(TimeValue t, int curve, float param, int ptype = 0) override;
    Point3 TangentCurve3D(TimeValue t, int curve, float param, int ptype = 0) override;
    float LengthOfCurve(TimeValue t, int curve) override;
    int NumberOfPieces(TimeValue t, int curve) override;
    Point3 InterpPiece3D(TimeValue t, int curve, int piece, float param, int ptype = 0) override;
    Point3 TangentPiece3D(TimeValue t, int curve, int piece, float param, int ptype = 0) override;
    int NumberOfVertices(TimeValue t, int curve = -1) override;
    void MakePolyShape(TimeValue t, PolyShape& pshape, int steps = PSHAPE_BUILTIN_STEPS,
                       BOOL optimize = FALSE) override;

    void GetLocalBoundBox(TimeValue t, INode* inode, ViewExp* vp, Box3& box) override;
    void GetWorldBoundBox(TimeValue t, INode* inode, ViewExp* vp, Box3& box) override;

    // A new SplineShape with a copy of the shape and the settings.
    ReferenceTarget* Clone(RemapDir& remap) override;

    RefResult NotifyRefChanged(const Interval& /*changeInt*/, RefTargetHandle /*hTarget*/,
                               PartID& /*partID*/, RefMessage /*message*/,
                               BOOL /*propagate*/) override {
        return REF_SUCCEED;
    }

private:
    bool adaptive_ = false;
};
