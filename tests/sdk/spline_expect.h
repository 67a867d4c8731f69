// The small splines and polylines the spline tests build by hand, and the shared comparisons.
#pragma once

#include <gtest/gtest.h>

#include "support/near.h"

#include <initializer_list>
#include <vector>

#include "point3.h"
#include "polyshp.h"
#include "spline3d.h"

namespace spline_test {

// Knots of one type with their handles on the knots, or moved from them by `in` and `out`, as
// given: no ComputeBezPoints.
inline Spline3D Knots(const std::vector<Point3>& pts, int ktype = KTYPE_CORNER,
                      int ltype = LTYPE_CURVE, Point3 in = Point3(0, 0, 0),
                      Point3 out = Point3(0, 0, 0)) {
    Spline3D s;
    for (const Point3& p : pts) {
        SplineKnot k(ktype, ltype, p, p + in, p + out);
        s.AddKnot(k);
    }
    return s;
}

// One cubic segment p0 p1 p2 p3: p1 is the first knot's out handle, p2 the second's in handle.
inline Spline3D Segment(Point3 p0, Point3 p1, Point3 p2, Point3 p3) {
    Spline3D s = Knots({p0, p3}, KTYPE_BEZIER_CORNER);
    s.SetOutVec(0, p1);
    s.SetInVec(1, p2);
    return s;
}

// Corner knots, then ComputeBezPoints (handles at a third of each chord), as a linear spline is
// built.
inline Spline3D CornerSpline(const std::vector<Point3>& pts, bool closed = false) {
    Spline3D s = Knots(pts);
    s.SetClosed(closed ? 1 : 0);
    s.ComputeBezPoints();
    return s;
}

inline PolyLine Line(std::initializer_list<Point3> pts, bool closed = false) {
    PolyLine l;
    for (const Point3& p : pts) l.Append(PolyPt(p));
    if (closed) l.Close();
    return l;
}

}  // namespace spline_test
