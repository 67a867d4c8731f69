// Controller value types used outside the controllers themselves.
#pragma once

#include "point3.h"
#include "quat.h"

// A scale: factors along three axes, and the rotation giving the axes the factors apply along.
class ScaleValue {
public:
    Point3 s{1.0f, 1.0f, 1.0f};
    Quat q;  // identity: the factors act along the object's own axes

    ScaleValue() = default;
    explicit ScaleValue(const Point3& as) : s(as) {}
    ScaleValue(const Point3& as, const Quat& aq) : s(as), q(aq) {}
    explicit ScaleValue(float f) : s(f, f, f) {}
};
