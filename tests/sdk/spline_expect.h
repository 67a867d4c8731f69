// Helpers for the spline and polyline tests: tolerant point comparison, finiteness, and the small
// splines the tests build by hand.
#pragma once

#include <gtest/gtest.h>

#include "support/near.h"

#include <cmath>
#include <initializer_list>
#include <string>

#include "point3.h"
#include "polyshp.h"
#include "spline3d.h"

namespace spline_test {

using support::Finite;
using support::Near;

// A spline of corner knots whose handles sit on the knots, then ComputeBezPoints (handles at a
// third of each chord), as a linear spline is built.
inline Spline3D CornerSpline(std::initializer_list<Point3> pts, bool closed = false) {
    Spline3D s;
    for (const Point3& p : pts) {
        SplineKnot k(KTYPE_CORNER, LTYPE_CURVE, p, p, p);
        s.AddKnot(k);
    }
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

using support::ByName;

}  // namespace spline_test
