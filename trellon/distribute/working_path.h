// A working path: one spline of the path shape, offset sideways and flattened into a linear
// spline, sampled by normalised arc length. Every placement (the builders, the proxy drawers, the
// instance lists, the export) builds it once per spline and offset and then asks it for the
// position and tangent at each copy's parameter.
#pragma once

#include <memory>
#include <vector>

#include "matrix3.h"
#include "maxtypes.h"
#include "point3.h"

class BezierShape;
class INode;
class SplineShape;
class Trellon;

class WorkingPath {
public:
    // Builds the working path of spline `index` of `shape`, offset by d (positive: to the left of
    // the direction of travel seen from +Z), at time t. The result is empty (Length() 0) when the
    // spline does not exist or has fewer than two knots.
    static WorkingPath Build(Trellon& object, const BezierShape& shape, int index, float d,
                             TimeValue t);

    WorkingPath();
    WorkingPath(WorkingPath&&) noexcept;
    WorkingPath& operator=(WorkingPath&&) noexcept;
    ~WorkingPath();

    float Length() const;
    bool Closed() const;
    bool Empty() const;
    // Position and unit tangent at the normalised parameter u (distance / Length()); u outside
    // [0, 1] is clamped. Binary search on the cumulative lengths: O(log n), no allocation.
    void Sample(float u, Point3& position, Point3& tangent) const;
    Point3 Position(float u) const;
    Point3 Tangent(float u) const;
    // The linear spline's points, in order (a closed path does not repeat its first point).
    const std::vector<Point3>& Points() const;

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

// The transform that carries a point from the path's space into the Trellon object's space:
// the path node's rotation (as XYZ Euler angles) followed by the translation between the path
// node's object transform and the Trellon node's object transform; the translation is zero with
// DetachPath on, and the Trellon transform is the identity while the object has no node.
Matrix3 PathToObjectTM(Trellon& object, INode* pathNode, TimeValue t, bool detachPath);
