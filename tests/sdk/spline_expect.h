// Helpers for the spline and polyline tests: tolerant point comparison, finiteness, and the small
// splines the tests build by hand.
#pragma once

#include <gtest/gtest.h>

#include <cmath>
#include <initializer_list>
#include <string>

#include "point3.h"
#include "polyshp.h"
#include "spline3d.h"

namespace spline_test {

inline ::testing::AssertionResult Near(const Point3& got, const Point3& want, float tol = 1e-4f) {
    if (got.Equals(want, tol)) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "got " << got << ", want " << want;
}

inline bool Finite(const Point3& p) {
    return std::isfinite(p.x) && std::isfinite(p.y) && std::isfinite(p.z);
}

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

struct ByName {
    template <class P>
    std::string operator()(const ::testing::TestParamInfo<P>& p) const {
        return p.param.name;
    }
};

}  // namespace spline_test
