// Controllers and the value types used outside them.
#pragma once

#include "point3.h"
#include "quat.h"
#include "ref.h"

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

// An animation controller: what drives a value over time (a node's transform, a parameter). The
// host keeps static transforms without controllers, so a node may have none; a plug-in that
// copies a node's motion copies its controller when there is one.
class Control : public ReferenceTarget {
public:
    // Takes over the animation of `from`, a controller of the same kind.
    virtual void Copy(Control* from) = 0;
};
