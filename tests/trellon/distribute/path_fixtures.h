// Small hand-built paths and objects for the path sampling tests.
#pragma once

#include <gtest/gtest.h>

#include "support/near.h"

#include <memory>
#include <vector>

#include "object/lifecycle_scene.h"
#include "object/trellon.h"
#include "plugin/class_desc.h"
#include "plugin/plugin.h"
#include "shape.h"
#include "spline3d.h"

namespace path_fixtures {

using namespace trellon;

using support::Finite;
using support::Near;

// Objects are ended the way the host ends them: references released, then DeleteThis.
struct DeleteObject {
    void operator()(Trellon* t) const { t->DeleteMe(); }
};
using ObjectPtr = std::unique_ptr<Trellon, DeleteObject>;

inline ObjectPtr NewObject() {
    return ObjectPtr(static_cast<Trellon*>(trellon::GetTrellonDesc()->Create(FALSE)));
}

// A test with a Trellon object of its own: the path code's helpers live on it.
template <class Base = ::testing::Test>
class WithObject : public Base {
protected:
    ObjectPtr object = NewObject();
};

// Corner knots through the points: after ComputeBezPoints every segment is straight and linear
// in its parameter (handles at a third of the chords).
inline void FillCorners(Spline3D& s, const std::vector<Point3>& pts, bool closed) {
    s.NewSpline();
    for (const Point3& p : pts) s.AddKnot(SplineKnot(KTYPE_CORNER, LTYPE_CURVE, p, p, p));
    if (closed) s.SetClosed(1);
    s.ComputeBezPoints();
}

inline Spline3D Corners(const std::vector<Point3>& pts, bool closed) {
    Spline3D s;
    FillCorners(s, pts, closed);
    return s;
}

// A counter-clockwise circle of radius r about the origin: four Bezier knots on the axes with
// the quarter-circle handle length.
inline void FillCircle(Spline3D& s, float r) {
    const float h = CIRCLE_VECTOR_LENGTH * r;
    s.NewSpline();
    s.AddKnot(SplineKnot(KTYPE_BEZIER, LTYPE_CURVE, Point3(r, 0.0f, 0.0f), Point3(r, -h, 0.0f),
                         Point3(r, h, 0.0f)));
    s.AddKnot(SplineKnot(KTYPE_BEZIER, LTYPE_CURVE, Point3(0.0f, r, 0.0f), Point3(h, r, 0.0f),
                         Point3(-h, r, 0.0f)));
    s.AddKnot(SplineKnot(KTYPE_BEZIER, LTYPE_CURVE, Point3(-r, 0.0f, 0.0f), Point3(-r, h, 0.0f),
                         Point3(-r, -h, 0.0f)));
    s.AddKnot(SplineKnot(KTYPE_BEZIER, LTYPE_CURVE, Point3(0.0f, -r, 0.0f), Point3(-h, -r, 0.0f),
                         Point3(h, -r, 0.0f)));
    s.SetClosed(1);
    s.ComputeBezPoints();
}

// A path shape holding one spline of corner knots, with the given interpolation steps.
inline void CornerShape(BezierShape& shape, const std::vector<Point3>& pts, bool closed,
                        int steps) {
    shape.Init();
    shape.steps = steps;
    FillCorners(*shape.NewSpline(), pts, closed);
    shape.UpdateSels();
}

// The counter-clockwise square of side 10 with a corner at the origin.
inline std::vector<Point3> Square10() { return lifecycle::Square(10.0f); }

}  // namespace path_fixtures
