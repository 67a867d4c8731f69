#include "distribute/offset_spline.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "object/trellon.h"
#include "spline3d.h"

namespace trellon {
namespace {

// Below this a.b the two neighbours lie on one straight line through the knot (about 0.2
// degrees from it): the knot moves straight sideways, with no mitre.
constexpr float kStraightRun = -0.9999939f;
constexpr float kHalfPi = 1.5707964f;
// Parameter distance of the samples that give the directions towards the neighbours.
constexpr float kNearKnot = 0.01f;

struct MovedKnot {
    int type = KTYPE_CORNER;
    Point3 point, in, out;
};

bool IsZero(const Point3& v) { return v.x == 0.0f && v.y == 0.0f && v.z == 0.0f; }

// The handle scale: how much a half segment grows when moved sideways. A half segment without
// length (every control point on the knot) has no ratio; its handle is kept unscaled rather than
// divided by zero.
float HandleScale(float offsetLength, float sourceLength) {
    return sourceLength != 0.0f ? offsetLength / sourceLength : 1.0f;
}

// Where knot k of `source` goes when the spline moves d sideways, with its handles.
MovedKnot MoveKnot(Trellon& object, Spline3D& source, int k, float d) {
    const int n = source.KnotCount();
    const bool closed = source.Closed() != 0;
    const bool first = !closed && k == 0;
    const bool last = !closed && k == n - 1;
    // The segments on either side: on a closed spline knot 0 is entered by segment n - 1.
    const int segIn = (k - 1 + n) % n;
    const int segOut = k;
    const Point3 P = source.GetKnotPoint(k);

    // Step 1: lengths of the half segments next to the knot, as they are and moved d sideways
    // (SegmentLength moves to the right for a positive offset, hence -d). An open end has no
    // outer half segment: its ratio is 1.
    float lenIn = 1.0f, lenInMoved = 1.0f, lenOut = 1.0f, lenOutMoved = 1.0f;
    if (!first) {
        lenIn = object.SegmentLength(source, segIn, 0.5f, 1.0f, 0.0f);
        lenInMoved = object.SegmentLength(source, segIn, 0.5f, 1.0f, -d);
    }
    if (!last) {
        lenOut = object.SegmentLength(source, segOut, 0.0f, 0.5f, 0.0f);
        lenOutMoved = object.SegmentLength(source, segOut, 0.0f, 0.5f, -d);
    }

    // Step 2: the direction t of travel through the knot and the distance m along (t.y, -t.x),
    // the right-hand normal (hence m = -d for a move to the left).
    Point3 t;
    float m = -d;
    if (first) {
        t = Normalize(source.InterpBezier3D(0, kNearKnot) - P);
    } else if (last) {
        t = Normalize(P - source.InterpBezier3D(n - 2, 1.0f - kNearKnot));
    } else {
        // a points back along the incoming segment, b ahead along the outgoing one.
        const Point3 a = Normalize(source.InterpBezier3D(segIn, 1.0f - kNearKnot) - P);
        const Point3 b = Normalize(source.InterpBezier3D(segOut, kNearKnot) - P);
        if (IsZero(a) || IsZero(b)) {
            // A neighbouring segment without length gives no direction: the knot moves
            // perpendicular to the other side, as an open end does, or stays when neither side
            // has a length.
            t = IsZero(b) ? -a : b;
        } else {
            // Step 3: the mitre. x is half the angle between a and b; the knot moves along the
            // bisector by d / |sin x|, which puts it at distance d from both offset segments.
            t = Normalize(b - a);
            const float ab = DotProd(a, b);
            const float x = ab >= kStraightRun ? -0.5f * std::acos(std::min(ab, 1.0f)) : kHalfPi;
            const float s = std::fabs(std::sin(x));
            if (s > 0.0f && !IsZero(t)) {
                m = -d / s;
            } else {
                // The path turns straight back (a = b): there is no mitre point; the knot moves
                // perpendicular to the outgoing segment.
                t = b;
            }
        }
    }

    // Step 4: the new point, and the handles with their direction kept and their length scaled.
    MovedKnot moved;
    moved.type = source.GetKnotType(k);
    moved.point = Point3(P.x + t.y * m, P.y - t.x * m, P.z);
    moved.in = moved.point + (source.GetInVec(k) - P) * HandleScale(lenInMoved, lenIn);
    moved.out = moved.point + (source.GetOutVec(k) - P) * HandleScale(lenOutMoved, lenOut);
    return moved;
}

}  // namespace

void OffsetSpline(Trellon& object, Spline3D& source, float d, Spline3D& result) {
    result.NewSpline();
    const int n = source.KnotCount();
    if (n < 2) return;

    std::vector<MovedKnot> moved;
    moved.reserve(static_cast<std::size_t>(n));
    for (int k = 0; k < n; ++k) moved.push_back(MoveKnot(object, source, k, d));

    // Step 5: assemble. Every knot keeps its type; every segment is a curve.
    if (source.Closed()) {
        for (const MovedKnot& k : moved)
            result.AddKnot(SplineKnot(k.type, LTYPE_CURVE, k.point, k.in, k.out, 0));
        result.SetClosed(1);
    } else {
        // An open spline is built from its last knot back to its first (read backwards, each
        // knot's in and out handles exchange places). The outer handles of the two ends, which
        // no segment uses, are put on their knots; reversing then gives the source's direction.
        for (int k = n - 1; k >= 0; --k) {
            const MovedKnot& m = moved[static_cast<std::size_t>(k)];
            result.AddKnot(SplineKnot(m.type, LTYPE_CURVE, m.point, m.out, m.in, 0));
        }
        result.SetInVec(0, result.GetKnotPoint(0));
        result.SetOutVec(n - 1, result.GetKnotPoint(n - 1));
        result.Reverse();
    }

    // Step 6: corner and smooth knots get their handles from the new points.
    result.ComputeBezPoints();
}

}  // namespace trellon
