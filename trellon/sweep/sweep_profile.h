// The profile of a sweep as cross-section lines (used by the sweep walk, sweep_walk.h).
#pragma once

#include <vector>

#include "maxtypes.h"
#include "sweep/sweep_walk.h"

class INode;
class PolyShape;

namespace trellon {

// The polylines of the profile node's shape at time t, `steps` interpolation steps per segment
// (negative: the shape's own), no optimisation, organised so nested outlines alternate their
// direction. A spline shape is held at those steps only while its polylines are made; its own
// steps (and adaptive setting) are put back. An object that is no shape is converted to a spline
// shape when it can be (the temporary copy is deleted). False, with poly empty, when the node's
// object is not and cannot become a shape.
bool ProfilePolylines(INode& node, int steps, TimeValue t, PolyShape& poly);

// The profile's lines with the per-point steps of the vertex rule applied: q = p - pivot, scaled
// by s.scale, mirrored in X with Shape_Flip_Object, rotated X then Y then Z; and U along each line.
// pivot is the profile node's position minus its object's position.
std::vector<ProfileLine> ProfileLines(const PolyShape& poly, const Point3& pivot,
                                      const SweepSettings& s);

}  // namespace trellon
