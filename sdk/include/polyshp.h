// PolyPt, PolyLine, PolyShape: the host's linear (polyline) shapes, and the nesting hierarchy that
// OrganizeCurves builds from them.
//
// A PolyLine is a list of points, open or closed (POLYLINE_CLOSED; a closed line does not repeat
// its first point, the closing edge runs from the last point back to the first). Segments() is
// numPts - 1 when open and numPts when closed.
//
// Parameters of InterpCurve3D / TangentCurve3D:
//   POLYSHP_INTERP_SIMPLE      u is spread evenly over the segments: seg = min(floor(u*N), N-1),
//                              t = u*N - seg, whatever the segment lengths.
//   POLYSHP_INTERP_NORMALIZED  u is the fraction of the curve length (closing edge included when
//                              closed): exact polyline arc length, linear inside a segment.
// u outside [0,1] is clamped on an open line and wrapped (u - floor(u)) on a closed one; u = 1
// itself stays the end of the last segment. A NaN u reads as 0.
// Normalised queries read a cache of cumulative lengths and unit segment directions built on first
// use (O(n) once), then cost one binary search (O(log n)) and no allocation. Every member that
// edits the points invalidates it; code that writes pts[i] directly must call
// InvalidateGeomCache() afterwards, as with the host.
//
// Tangents are unit vectors along the direction of travel. A zero-length segment borrows the
// direction of the next segment that has a length (the previous one at the open end); a line whose
// points all coincide has the zero vector as tangent.
#pragma once

#include <vector>

#include "bitarray.h"
#include "box3.h"
#include "maxtypes.h"
#include "point3.h"

class Matrix3;

constexpr int POLYSHP_INTERP_SIMPLE = 0;
constexpr int POLYSHP_INTERP_NORMALIZED = 1;

// Steps arguments of the shape objects' MakePolyShape: the shape's own setting, or adaptive steps.
constexpr int PSHAPE_BUILTIN_STEPS = -2;
constexpr int PSHAPE_ADAPTIVE_STEPS = -1;

// PolyPt flags. The upper 16 bits hold the material ID of the segment that starts at the point.
constexpr DWORD POLYPT_KNOT = 1u << 0;          // the point is a knot of the source spline
constexpr DWORD POLYPT_INTERPOLATED = 1u << 1;  // the point was interpolated inside a segment
constexpr DWORD POLYPT_SMOOTH = 1u << 2;        // the curve is smooth through the point
constexpr DWORD POLYPT_SEG_SELECTED = 1u << 3;
constexpr DWORD POLYPT_MTLMASK = 0xFFFF0000u;
constexpr int POLYPT_MTLSHIFT = 16;

// PolyLine flags.
constexpr DWORD POLYLINE_CLOSED = 1u << 0;
constexpr DWORD POLYLINE_NO_SELF_INT = 1u << 1;

class PolyPt {
public:
    Point3 p;
    DWORD flags = 0;
    int aux = 0;  // MakePolyLine: the knot index of a knot point, the segment index otherwise

    PolyPt() = default;
    PolyPt(const Point3& ip, DWORD f = 0, int a = 0, MtlID mtl = 0) : p(ip), flags(f), aux(a) {
        SetMatID(mtl);
    }

    MtlID GetMatID() const {
        return static_cast<MtlID>((flags & POLYPT_MTLMASK) >> POLYPT_MTLSHIFT);
    }
    void SetMatID(MtlID id) {
        flags = (flags & ~POLYPT_MTLMASK) | (static_cast<DWORD>(id) << POLYPT_MTLSHIFT);
    }
};

class PolyLine {
public:
    int numPts = 0;
    PolyPt* pts = nullptr;  // numPts entries, owned by the line
    DWORD flags = 0;
    Box3 bdBox;  // the host's field; the stand-in leaves it empty

    PolyLine() = default;
    PolyLine(const PolyLine& from);
    PolyLine(PolyLine&& from) noexcept;
    PolyLine& operator=(const PolyLine& from);
    PolyLine& operator=(PolyLine&& from) noexcept;
    ~PolyLine() = default;

    void Init();  // no points, open
    void Close() {
        flags |= POLYLINE_CLOSED;
        InvalidateGeomCache();
    }
    void Open() {
        flags &= ~POLYLINE_CLOSED;
        InvalidateGeomCache();
    }
    BOOL IsClosed() const { return (flags & POLYLINE_CLOSED) ? TRUE : FALSE; }
    BOOL IsOpen() const { return IsClosed() ? FALSE : TRUE; }
    void SetNoSelfInt() { flags |= POLYLINE_NO_SELF_INT; }
    BOOL IsNoSelfInt() const { return (flags & POLYLINE_NO_SELF_INT) ? TRUE : FALSE; }

    int Verts() const { return numPts; }
    int Segments() const;
    // Resizes to count points (negative counts read as 0). With keep, the first points are kept
    // and new ones are at the origin; without, every point is reset. Returns TRUE.
    BOOL SetNumPts(int count, BOOL keep = TRUE);
    void Append(const PolyPt& p);
    // Reverses the order of the points. keepZero on a closed line keeps point 0 first:
    // p0, p[n-1], ..., p1; otherwise p[n-1], ..., p0. Each point keeps its own flags and aux.
    void Reverse(BOOL keepZero = FALSE);
    PolyPt& operator[](int index) { return pts[index]; }
    const PolyPt& operator[](int index) const { return pts[index]; }

    void InvalidateGeomCache() { cacheValid_ = false; }

    Point3 InterpCurve3D(float u, int ptype = POLYSHP_INTERP_SIMPLE) const;
    Point3 TangentCurve3D(float u, int ptype = POLYSHP_INTERP_SIMPLE) const;
    float CurveLength() const;  // the closing edge included when closed

    // Orientation and containment in the XY plane (Z ignored), the line read as closed.
    // IsClockWise: the signed (shoelace) area is negative. A line with no area is not clockwise.
    BOOL IsClockWise() const;
    double SignedArea2D() const;
    // Even-odd test of p against the line read as closed (points on an edge may go either way).
    BOOL Inside(const Point3& p) const;

private:
    void SyncPointer();
    void BuildCache() const;
    // The segment holding arc length s and the fraction of that segment; cache must be valid.
    int FindSegment(double s, double& frac) const;
    // The segment and fraction that u (any value) picks with parameter type ptype.
    int Locate(float u, int ptype, double& frac) const;
    Point3 PointOnSegment(int seg, double frac) const;

    std::vector<PolyPt> store_;
    mutable bool cacheValid_ = false;
    mutable std::vector<double> cumLength_;  // Segments()+1 cumulative lengths from point 0
    mutable std::vector<Point3> segDir_;     // unit direction per segment (borrowed when zero)
};

// A forest of polygon indices: which closed line lies directly inside which.
class GenericHierarchy {
public:
    void New() { entries_.clear(); }
    // Adds polygon data as a child of polygon parent (-1: a root). Returns FALSE, adding nothing,
    // when data is negative or already present, or when parent is not present.
    BOOL AddEntry(int data, int parent = -1);
    int Count() const { return static_cast<int>(entries_.size()); }

private:
    struct Entry {
        int data;
        int parent;
    };
    std::vector<Entry> entries_;
};

class ShapeHierarchy {
public:
    GenericHierarchy hier;
    BitArray reverse;  // one bit per polygon: set when it must be reversed

    ShapeHierarchy() = default;
    explicit ShapeHierarchy(int poly) { New(poly); }
    void New(int poly = 0) {
        hier.New();
        reverse.SetSize(poly);
        reverse.ClearAll();
    }
};

class PolyShape {
public:
    int numLines = 0;
    PolyLine* lines = nullptr;  // numLines entries, owned by the shape

    PolyShape() = default;
    PolyShape(const PolyShape& from);
    PolyShape(PolyShape&& from) noexcept;
    PolyShape& operator=(const PolyShape& from);
    PolyShape& operator=(PolyShape&& from) noexcept;
    ~PolyShape() = default;

    void Init() { NewShape(); }
    void NewShape();  // no lines
    // Resizes to count lines; with keep the first lines are kept, new lines are empty.
    BOOL SetNumLines(int count, BOOL keep = TRUE);

    // Nesting of the closed lines by containment in XY. A closed line's parent is the smallest
    // (by area) closed line that contains it; containment needs the parent's XY box to hold the
    // child's and the child's first point not lying on the parent's outline to be inside it (a
    // child whose points all lie on the outline, a duplicate, nests under the copy that comes
    // first). Depth 0 lines should run counter-clockwise, depth 1 clockwise, and so on: reverse
    // bit i is set when line i runs the other way. Open lines are roots, contain nothing and are
    // never marked. With hier null there is nothing to report and the call does nothing; t is
    // unused (lines are not animated).
    void OrganizeCurves(TimeValue t, ShapeHierarchy* hier = nullptr) const;
    void Reverse(const BitArray& reverse, BOOL keepZero = FALSE);

private:
    void SyncPointer();
    std::vector<PolyLine> store_;
};
