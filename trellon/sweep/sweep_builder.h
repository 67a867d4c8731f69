// The three mesh targets of the sweep walk (sweep_walk.h): the object's viewport mesh, the render
// mesh and the export nodes. They differ only in where the geometry goes and in three rules:
//
//                  viewport                   render                 export
//   target         object's mesh, appended    the given mesh         one new TriObject per sweep
//   Sweep_Solo     n > 0 builds sweep n - 1   ignored                ignored
//   seam angle     Shape_AngleUVW             Shape_AngleUVW         10 degrees
//   smoothing      group 0                    group 0                group 0, then AutoSmooth at
//                                                                    Sweep_Smooth_Angle when > 0
// A twin copy (Sweep_Double) goes into the same mesh as its sweep.
#pragma once

#include "maxtypes.h"
#include "object/mesh_builder.h"

class Mesh;

namespace trellon {

class Trellon;

// The export's fixed texture seam angle, radians (a seam where pi - turning angle < 2.9670599).
inline constexpr float kExportSeamAngle = 10.0f * 0.017453292f;

// The sweep builder of the build driver: appends every sweep (only sweep n - 1 when Sweep_Solo
// is n > 0) to the object's mesh after `at`, the counts the distribution builders left (the
// builder contract of mesh_builder.h). Faces below `at` get texture faces referring to texture
// vertex 0, the texture origin. Adds nothing without sweeps or path, or when the mesh cannot
// grow.
void AppendSweeps(Trellon& object, TimeValue t, const MeshAppendPoint& at);

// The render form: every sweep, whatever Sweep_Solo says, into `mesh` (emptied first). The mesh
// holds the sweeps only.
void BuildRenderSweeps(Trellon& object, Mesh& mesh, TimeValue t);

// The export form, at the time the object last recorded (Trellon::Time): for each sweep in list
// order a new TriObject holding that sweep and its twin, auto-smoothed at Sweep_Smooth_Angle when
// that is above 0, on a new node named "TL_" plus the profile node's name (made unique by the
// host), with the identity as node transform and the profile node's material and wire colour. Each
// node is appended once to the object's ExportNodes. Returns how many nodes were made; none
// without a path, without the host's interface, or for a sweep whose profile is gone.
int ExportSweepNodes(Trellon& object);

}  // namespace trellon
