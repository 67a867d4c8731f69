// A working path: one spline of the path shape, offset sideways and flattened into a linear
// spline, sampled by normalised arc length. Every placement (the builders, the proxy drawers, the
// instance lists, the export) builds it once per spline and offset and then asks it for the
// position and tangent at each copy's parameter.
//
// The working path is a spline-shape object made through the host (CreateInstance), with the
// path shape's interpolation steps, holding one spline of corner knots: the polyline of the
// offset spline (offset_spline.h) at those steps. It has no node; the WorkingPath owns it and
// deletes it with itself. Build also reads that spline once into a cache of its points and
// cumulative lengths, so that sampling is a binary search and gives what the host's
// InterpCurve3D / TangentCurve3D with normalised parameters give on the same shape.
#pragma once

#include <memory>
#include <vector>

#include "iparamb2.h"
#include "matrix3.h"
#include "maxtypes.h"
#include "point3.h"

class BezierShape;
class INode;
class SplineShape;

namespace trellon {

class Trellon;
class WorkingPath {
public:
    // Builds the working path of spline `index` of `shape`, offset by d (positive: to the left of
    // the direction of travel seen from +Z), at time t. The result is empty (Empty(), Length()
    // 0) when the spline does not exist, has fewer than two knots, or the host cannot create the
    // spline-shape object.
    static WorkingPath Build(Trellon& object, const BezierShape& shape, int index, float d,
                             TimeValue t);

    WorkingPath();
    WorkingPath(WorkingPath&&) noexcept;
    WorkingPath& operator=(WorkingPath&&) noexcept;
    ~WorkingPath();

    // L: the length of the linear spline, the closing segment included when closed (equal to
    // its SplineLength).
    float Length() const;
    bool Closed() const;
    bool Empty() const;

    // Position and unit tangent at the normalised parameter u (distance / Length()). u outside
    // [0, 1] is clamped on an open path and wrapped on a closed one (u = 1 stays the end), a NaN u
    // reads as 0, as with the host's normalised parameters. Binary search on the cumulative
    // lengths: O(log n), no allocation.
    //
    // The tangent is the direction of the segment holding u. Exactly at a knot that is the
    // segment starting there (the path is sampled in its direction of travel), except at the end
    // of an open path, which takes the last segment's. A segment without length (repeated points)
    // takes the direction of the next segment that has one (on an open path, past the last
    // such segment, the direction of the last one). A path of no length has the zero tangent.
    // An empty working path gives the origin and the zero tangent.
    void Sample(float u, Point3& position, Point3& tangent) const;
    Point3 Position(float u) const;
    Point3 Tangent(float u) const;

    // The linear spline's points, in order (a closed path does not repeat its first point).
    const std::vector<Point3>& Points() const;
    // Distances from the start of the path of the knots it was flattened from (the offset
    // spline's knots, which are points of the polyline), in knot order. A closed path ends with
    // its length: the closing chord leads back to the first knot. Empty for an empty path.
    std::vector<float> KnotDistances() const;
    // The working path object (null when empty), for the host's own curve queries; it stays
    // owned by this WorkingPath.
    SplineShape* Shape() const;

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

// The transform that carries a point from the path's space into the Trellon object's space:
// p * ObjectFromPathTM(...) = p * R + T, where
//   R is the rotation of the path node's node transform (its scale divided out), read at the
//     scene's current time as XYZ Euler angles (Quat, QuatToEuler) and applied X first, then Y,
//     then Z;
//   T is the translation row of the path node's object transform times the inverse of the
//     Trellon node's object transform, at t; the Trellon transform is the identity while the
//     object has no node yet, and T is zero with DetachPath on (the distribution keeps the
//     path's shape but sits at the object's own position).
// Without a path node the result is the identity.
Matrix3 ObjectFromPathTM(Trellon& object, INode* pathNode, TimeValue t, bool detachPath);

// The path offset d of the global ("All Objects") entry 0: Item_Pos_InOut[0], or the mean of
// Item_Pos_InOut[0] and Item_Pos_InOut_Random[0] when Item_Random_Trans[0] is on. An entry the
// block does not have reads as 0; without a block the offset is 0.
float GlobalPathOffset(IParamBlock2* pblock, TimeValue t);

}  // namespace trellon
