// The mesh builders' contract with the build driver that runs them.
//
// Trellon::BuildMesh (build_driver.cpp) decides what the object's mesh holds at time t. It empties
// the mesh, puts the placeholder first when there is nothing to distribute (or Show_Logo asks for
// it), estimates the result and lowers Display_Mode past the limits (build_estimate.h), keeps the
// group sequence of Geo_Pattern 0 at its slot count (geo_array.h), and then, in the mesh display
// modes 4 to 6, runs the builders in a fixed order: end objects, then posts or the distribution
// (per object for Geo_Pattern 2, by sequence otherwise), and last the sweeps.
//
// The builder contract. Every builder
//   - is called with the object, the build time t and the mesh's current counts (an
//     MeshAppendPoint read by the driver just before the call);
//   - appends its vertices and faces after those counts, growing the mesh with GrowMesh (which
//     keeps what is there), and never changes a vertex, face, selection bit or map entry below
//     them; its faces refer only to its own vertices;
//   - gives each face its material ID (a distributed item k gets k + 1; 0 is the placeholder's);
//   - when it writes texture coordinates, turns map channel 1 on for the whole mesh: earlier faces
//     then keep map faces that refer to map vertex 0, and the builder fills only its own;
//   - sizes its arrays once from a count made first, and ends with exactly the counts it planned.
// After a builder returns, the driver reads the counts again and hands them to the next one. A
// builder that cannot grow the mesh (no memory, counts past the int range) adds nothing.
#pragma once

class Interface;
class Mesh;

namespace trellon {
// How far a build has come, for the host's progress bar (Interface::ProgressStart and
// ProgressUpdate): a builder filling `share` of the build from `done` (both fractions of 1)
// reports as it goes.
struct BuildProgress {
    Interface* ip = nullptr;
    double done = 0.0;
    double share = 1.0;
};

// Where the next builder starts appending: the mesh's vertex and face counts.
struct MeshAppendPoint {
    int verts = 0;
    int faces = 0;
};

MeshAppendPoint CurrentAppendPoint(const Mesh& mesh);

// Grows the mesh from `at` by addVerts vertices and addFaces faces, keeping everything below.
// New vertices are at the origin and new faces are zeroed (vertex indices 0, no flags), ready to
// be filled by index. Returns false, leaving the mesh as it was, when `at` is not the mesh's
// current counts, a count is negative, the total passes the int range or memory is not there.
bool GrowMesh(Mesh& mesh, const MeshAppendPoint& at, int addVerts, int addFaces);

}  // namespace trellon
