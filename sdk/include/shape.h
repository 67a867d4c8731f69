// BezierShape: a set of Spline3D curves, as a spline shape object holds them, with its
// interpolation steps and its sub-object selections.
//
// The shape owns its splines: `splines` holds splineCount pointers, deleted with the shape.
// AddSpline/InsertSpline take ownership of a spline made with new. Copies are deep.
//
// steps is the interpolation steps of MakePolyShape (interior points per segment, default 6); a
// negative value asks for adaptive steps (see Spline3D::MakePolyLine). optimize makes straight
// segments give no interior points.
#pragma once

#include <vector>

#include "bitarray.h"
#include "box3.h"
#include "maxtypes.h"
#include "polyshp.h"
#include "spline3d.h"

class Matrix3;
class BezierShape;

// Per-spline selection sets: ShapeVSel has Verts() bits per spline (in handle, knot, out handle),
// ShapeSSel Segments() bits. Reading a spline index out of range gives an empty set.
class ShapeSubSel {
public:
    int polys = 0;
    BitArray& operator[](int poly);
    const BitArray& operator[](int poly) const;
    void Insert(int where, int size);  // a new, clear set before where (append when past the end)
    void Delete(int where);

protected:
    std::vector<BitArray> sel_;
    BitArray none_;
};

class ShapeVSel : public ShapeSubSel {
public:
    // Sizes one set per spline to its Verts(); with save the bits that still fit are kept.
    void SetSize(const BezierShape& shape, BOOL save = FALSE);
};

class ShapeSSel : public ShapeSubSel {
public:
    void SetSize(const BezierShape& shape, BOOL save = FALSE);
};

// One bit per spline.
class ShapePSel {
public:
    int polys = 0;
    BitArray sel;
    int operator[](int poly) const { return sel[poly]; }
    void Set(int poly) {
        if (poly >= 0 && poly < polys) sel.Set(poly);
    }
    void Clear(int poly) {
        if (poly >= 0 && poly < polys) sel.Clear(poly);
    }
    void ClearAll() { sel.ClearAll(); }
    void SetAll() { sel.SetAll(); }
    void SetSize(const BezierShape& shape, BOOL save = FALSE);
    void Insert(int where);
    void Delete(int where);
};

class BezierShape {
public:
    Spline3D** splines = nullptr;  // splineCount entries, owned by the shape
    int splineCount = 0;
    int steps = 6;
    BOOL optimize = FALSE;
    ShapeVSel vertSel;
    ShapeSSel segSel;
    ShapePSel polySel;

    BezierShape() = default;
    BezierShape(const BezierShape& from);
    ~BezierShape();
    BezierShape& operator=(const BezierShape& from);

    void Init();      // no splines, default steps, optimize off, empty selections
    void NewShape();  // no splines; steps and optimize kept

    Spline3D* NewSpline(int itype = KTYPE_CORNER, int dtype = KTYPE_BEZIER,
                        int ptype = PARM_UNIFORM);
    // Takes ownership; returns the spline, or nullptr (owning nothing) for a null or already
    // held pointer.
    Spline3D* AddSpline(Spline3D* spline);
    // Inserts before index (past the end appends); returns the index, or -1 as AddSpline fails.
    int InsertSpline(Spline3D* spline, int index);
    int DeleteSpline(int index);  // non-zero when deleted
    int SplineCount() const { return splineCount; }
    Spline3D* GetSpline(int index) const;  // nullptr for a bad index

    // The selection sets resized to the splines (bits that still fit are kept).
    void UpdateSels();
    void InvalidateGeomCache();
    Box3 GetBoundingBox(Matrix3* tm = nullptr) const;

    // Curve poly at u; the origin and the zero vector for a bad index.
    Point3 InterpCurve3D(int poly, float u, int ptype = PARAM_NORMALIZED) const;
    Point3 TangentCurve3D(int poly, float u, int ptype = PARAM_NORMALIZED) const;
    Point3 InterpPiece3D(int poly, int piece, float t, int ptype = PARAM_SIMPLE) const;
    Point3 TangentPiece3D(int poly, int piece, float t, int ptype = PARAM_SIMPLE) const;

    // One line per spline, in order. steps < 0 uses the shape's steps, and the shape's optimize
    // as well as the argument's.
    void MakePolyShape(PolyShape& shape, int steps = -1, BOOL optimize = FALSE) const;

private:
    void Clear();
    void SyncPointer();
    std::vector<Spline3D*> store_;
};
