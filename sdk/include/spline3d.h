// SplineKnot and Spline3D: the host's cubic Bezier splines.
//
// Knots carry a point and two handles, all in absolute coordinates (GetRelInVec/GetRelOutVec give
// them relative to the knot). Segment i runs from knot i to knot i+1 (closed: the last segment
// wraps to knot 0) with the control points
//     P0 = knot[i], P1 = out[i], P2 = in[i+1], P3 = knot[i+1],
//     B(t) = (1-t)^3 P0 + 3(1-t)^2 t P1 + 3(1-t) t^2 P2 + t^3 P3,  t in [0,1].
// A segment whose first knot has LTYPE_LINE goes straight from knot to knot, linear in t, and
// ignores the handles. Segments() is KnotCount()-1 when open and KnotCount() when closed (a closed
// one-knot spline is a loop from the knot through its handles back to it).
//
// ComputeBezPoints() rewrites the handles of KTYPE_CORNER and KTYPE_AUTO knots and keeps those of
// KTYPE_BEZIER and KTYPE_BEZIER_CORNER knots. Handles are not recomputed on edits: call it after
// changing points, as with the host. With P the knot, A the previous and C the next knot
// (wrapping when closed), a = |P - A|, b = |C - P|:
//   CORNER  in = P + (A - P)/3, out = P + (C - P)/3: a straight segment between two corners is
//           linear in t. An open spline's first knot gets in = P, its last out = P.
//   AUTO    Bessel tangent: m is the derivative, per unit chord length, at P of the parabola
//           through A, P, C parameterised by chord length:
//               m = (b/(a+b)) (P - A)/a + (a/(a+b)) (C - P)/b,
//           in = P - m a/3, out = P + m b/3. Evenly spaced collinear knots give straight
//           segments; for a zero chord the other side's unit direction serves as m.
//           The end knot of an open spline uses the same parabola's end slope:
//               m0 = 2 (C - P)/b - m1   (first knot, m1 the Bessel tangent of the next knot),
//               mn = 2 (P - A)/a - m(n-1)   (last knot),
//           and with only two knots m0 = (C - P)/b (a straight segment). The unused outer handle
//           of an open end is the knot point itself.
//
// Parameters (InterpCurve3D, TangentCurve3D, and the segment parameter of InterpBezier3D /
// TangentBezier3D):
//   PARAM_SIMPLE      u spread evenly over the segments (seg = min(floor(u*N), N-1),
//                     t = u*N - seg), whatever their lengths.
//   PARAM_NORMALIZED  u is the fraction of the arc length. Each curved segment keeps a table of
//                     its arc length at t = k/16 (k = 0..16), each piece integrated with adaptive
//                     5-point Gauss-Legendre quadrature of |B'(t)| to 1e-10 of the control polygon
//                     length; a length is found by binary search on the segments' cumulative
//                     lengths, then on the table, then refined by safeguarded Newton steps on t
//                     to 1e-8 of the segment's length (far below float resolution).
//                     Straight segments (LTYPE_LINE, or a curve whose handles lie on the chord
//                     between its knots, which makes it monotone along the chord) are measured
//                     exactly as the chord and sampled by linear interpolation: a corner-knot
//                     polyline spline samples in O(log n) per query.
// u outside [0,1] is clamped on an open spline and wrapped on a closed one (u = 1 stays the end).
// SplineLength() uses the same arc lengths. They and the tables are cached and
// rebuilt on the first query after an edit.
//
// Tangents are unit vectors along dB/dt. Where dB/dt vanishes (a handle on its knot) the first
// non-zero higher derivative gives the direction of travel; a segment that is a single point
// borrows the start tangent of the next segment with a length (the end tangent of the previous
// one at an open end); a spline that is a single point has the zero vector as tangent.
//
// Bad indices never crash: getters return a default value (the origin, -1 for a type), setters
// do nothing and report failure where they return a value.
#pragma once

#include <vector>

#include "box3.h"
#include "maxtypes.h"
#include "point3.h"
#include "polyshp.h"

class Matrix3;

namespace trellon_sdk_detail {
struct Vec3d {
    double x, y, z;
};
// One segment of a Spline3D as its geometry cache keeps it.
struct SplineSegment {
    Vec3d p0{}, p1{}, p2{}, p3{};  // control points (a LINE segment: chord thirds, linear in t)
    bool straight = false;         // LINE, or handles on the chord: arc length = chord
    bool point = false;            // every control point coincides
    double length = 0.0;
    int table = -1;              // first of the 17 arc-length table entries of a curved segment
    Vec3d dir{};                 // straight: unit chord direction
    Vec3d startTan{}, endTan{};  // unit tangents at t = 0 and 1 (borrowed when a point)
};
}  // namespace trellon_sdk_detail

constexpr int KTYPE_AUTO = 0;
constexpr int KTYPE_CORNER = 1;
constexpr int KTYPE_BEZIER = 2;
constexpr int KTYPE_BEZIER_CORNER = KTYPE_BEZIER | KTYPE_CORNER;

constexpr int LTYPE_CURVE = 0;
constexpr int LTYPE_LINE = 1;

// Parameterisation of the knot spacing (stored; the Bezier geometry does not depend on it).
constexpr int PARM_UNIFORM = 0;
constexpr int PARM_ARCLENGTH = 1;
constexpr int PARM_CENTRIPETAL = 2;
constexpr int PARM_CUSTOM = 3;

constexpr int PARAM_SIMPLE = 0;
constexpr int PARAM_NORMALIZED = 1;
constexpr int SPLINE_INTERP_SIMPLE = 0;
constexpr int SPLINE_INTERP_NORMALIZED = 1;

// Handle length, per unit radius, of a Bezier quarter circle.
constexpr float CIRCLE_VECTOR_LENGTH = 0.5517861843f;

class SplineKnot {
public:
    SplineKnot() = default;
    // A knot type outside KTYPE_AUTO..KTYPE_BEZIER_CORNER reads as KTYPE_CORNER, a line type
    // other than LTYPE_LINE as LTYPE_CURVE.
    SplineKnot(int k, int l, Point3 p, Point3 in, Point3 out, int mtlID = 0, DWORD flags = 0);

    int Ktype() const { return ktype_; }
    void SetKtype(int t);
    int Ltype() const { return ltype_; }
    void SetLtype(int t) { ltype_ = t == LTYPE_LINE ? LTYPE_LINE : LTYPE_CURVE; }
    Point3 Knot() const { return point_; }
    void SetKnot(const Point3& p) { point_ = p; }
    Point3 InVec() const { return in_; }
    void SetInVec(const Point3& p) { in_ = p; }
    Point3 OutVec() const { return out_; }
    void SetOutVec(const Point3& p) { out_ = p; }
    MtlID GetMatID() const { return mtl_; }
    void SetMatID(MtlID id) { mtl_ = id; }
    DWORD GetFlags() const { return flags_; }
    void SetFlags(DWORD f) { flags_ = f; }

private:
    int ktype_ = KTYPE_CORNER;
    int ltype_ = LTYPE_CURVE;
    Point3 point_;
    Point3 in_;
    Point3 out_;
    MtlID mtl_ = 0;
    DWORD flags_ = 0;
};

class Spline3D {
public:
    // itype: the type new knots get from the editing tools; dtype: the drag type; ptype: the knot
    // parameterisation. All three are stored for the callers that read them.
    explicit Spline3D(int itype = KTYPE_CORNER, int dtype = KTYPE_BEZIER, int ptype = PARM_UNIFORM);

    void NewSpline();  // no knots, open
    int KnotCount() const { return static_cast<int>(knots_.size()); }
    int Verts() const { return KnotCount() * 3; }  // in handle, knot, out handle per knot
    int Segments() const;
    int Closed() const { return closed_ ? 1 : 0; }
    int IsClosed() const { return Closed(); }
    // SetClosed(0) opens. Both return non-zero when the state changed.
    int SetClosed(int flag = 1);
    int SetOpen() { return SetClosed(0); }

    // Inserts k before index where (where < 0 or past the end appends). Returns non-zero.
    int AddKnot(const SplineKnot& k, int where = -1);

    int GetKnotType(int i) const;
    int GetLineType(int i) const;
    Point3 GetKnotPoint(int i) const;
    void SetKnotPoint(int i, const Point3& p);
    Point3 GetInVec(int i) const;  // absolute
    void SetInVec(int i, const Point3& p);
    Point3 GetOutVec(int i) const;  // absolute
    void SetOutVec(int i, const Point3& p);
    Point3 GetRelInVec(int i) const;   // in - knot
    Point3 GetRelOutVec(int i) const;  // out - knot
    int GetIType() const { return iType_; }
    int GetDType() const { return dType_; }
    int GetParmType() const { return pType_; }

    void ComputeBezPoints();
    // Reverses the direction: knot order and in/out handles swap, and each segment keeps its line
    // type and material. keepZero on a closed spline keeps knot 0 first (0, n-1, ..., 1).
    void Reverse(BOOL keepZero = FALSE);

    // Segment evaluation; segment is clamped to 0..Segments()-1 and t to [0,1]. A spline without
    // segments gives its single knot (or the origin when empty) and a zero tangent.
    Point3 InterpBezier3D(int segment, float t, int ptype = SPLINE_INTERP_SIMPLE) const;
    Point3 TangentBezier3D(int segment, float t, int ptype = SPLINE_INTERP_SIMPLE) const;
    Point3 InterpCurve3D(float u, int ptype = SPLINE_INTERP_SIMPLE) const;
    Point3 TangentCurve3D(float u, int ptype = SPLINE_INTERP_SIMPLE) const;

    float SplineLength() const;

    // The exact box of the curve (the roots of dB/dt per axis), transformed by tm when given:
    // an affine map moves a Bezier's control points, so the bound stays exact.
    Box3 GetBBox(Matrix3* tm = nullptr) const;

    // The spline as a polyline. Every segment gives its start knot and then `steps` interior
    // points at t = k/(steps+1), k = 1..steps (PARAM_SIMPLE); an open spline ends with its last
    // knot. Hence steps*pieces + pieces + 1 points when open and steps*pieces + pieces when closed
    // (the line is closed and does not repeat knot 0). With optimize, straight segments (see
    // PARAM_NORMALIZED above) give no interior points. steps < 0 chooses the count per segment
    // (adaptive): straight segments 0, curved ones one chord per 7.5 degrees of turning,
    // estimated from the tangents at t = k/16, at most 100 steps. Steps above 1000 count as 1000.
    // Knot points carry POLYPT_KNOT (plus POLYPT_SMOOTH for AUTO and BEZIER knots) and aux = knot
    // index; interior points POLYPT_INTERPOLATED | POLYPT_SMOOTH and aux = segment index. Each
    // point carries the material of its segment.
    void MakePolyLine(PolyLine& line, int steps = -1, BOOL optimize = FALSE) const;

    void InvalidateGeomCache() { cache_.valid = false; }

private:
    using Vec = trellon_sdk_detail::Vec3d;
    using Segment = trellon_sdk_detail::SplineSegment;
    struct Cache {
        bool valid = false;
        std::vector<Segment> segs;
        std::vector<double> cum;    // Segments()+1 cumulative lengths
        std::vector<double> table;  // arc length at t = k/16 inside each curved segment
    };

    bool ValidKnot(int i) const { return i >= 0 && i < KnotCount(); }
    int NextKnot(int i) const { return (i + 1) % KnotCount(); }
    void Edited() { cache_.valid = false; }
    const Cache& Geometry() const;
    Segment MakeSegment(int i) const;
    void AutoHandles(int i, Point3& in, Point3& out) const;
    // Where u falls: the segment, and its Bezier parameter, or for a normalised parameter on a
    // straight segment the fraction of the chord (chordFrac set).
    int Locate(float u, int ptype, double& param, bool& chordFrac) const;
    double ParamAtLength(const Segment& s, double length) const;
    Point3 PointAt(const Segment& s, double param, bool chordFrac) const;
    Vec TangentAt(const Segment& s, double t) const;
    int AdaptiveSteps(const Segment& s) const;

    std::vector<SplineKnot> knots_;
    bool closed_ = false;
    int iType_, dType_, pType_;
    mutable Cache cache_;
};
