// The sideways offset of one spline of the path: the curve every copy of the distribution and
// every sweep follows before it is flattened into a working path (working_path.h).
#pragma once

class Spline3D;

namespace trellon {

class Trellon;
// Fills `result` (emptied first) with `source` moved d sideways: positive d to the left of the
// direction of travel seen from +Z, negative d to the right. Z is kept.
//
// Each knot P moves along its mitre, the bisector of the directions to its neighbours: by
// |d| / |sin x| with x half the angle between them, so both neighbouring segments end up at the
// distance d (a straight run moves by exactly d). The end knots of an open spline move by d
// perpendicular to their segment. Handles keep their direction and are scaled by how much the
// neighbouring half segments grow or shrink when moved d sideways (Trellon::SegmentLength).
// Knot types are kept, so corner and smooth knots get their handles recomputed from the new
// points; every segment is a curve. The result runs in the direction of the source and is
// closed exactly when the source is.
//
// A source with fewer than two knots leaves `result` empty.
void OffsetSpline(Trellon& object, Spline3D& source, float d, Spline3D& result);

}  // namespace trellon
