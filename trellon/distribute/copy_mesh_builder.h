// The distribution's mesh builders: the end-object, posts, per-object and sequence builders of a
// build are one routine run for one placement pass each (placement.h), with the builder contract
// of object/mesh_builder.h.
//
// A builder counts the pass's copies per item first (no transforms), sizes the mesh once for
// count x item vertices and faces, then walks the pass again and writes each copy: the item's
// vertices through the copy's transform, its faces with the vertex indices moved past the
// vertices already written, their smoothing groups and edge visibility, and the item's material
// index (item_meshes.h). Vertex and face indices are integers throughout.
//
// Texture coordinates: none. When map channel 1 is supported (a sweep of an earlier build left
// it on), GrowMesh gives the new faces map faces that refer to map vertex 0, and they stay so;
// otherwise the mesh has no map faces for them.
#pragma once

#include <cstdint>

#include "distribute/placement.h"
#include "object/mesh_builder.h"

class Mesh;

namespace trellon {

class ItemMeshes;

// What one pass adds: its copies per item, and their vertices and faces.
struct PassMeshCounts {
    PassCounts copies;
    std::int64_t verts = 0;
    std::int64_t faces = 0;
};

// Counts the pass (placement.h: no transforms are composed) and what its copies add.
PassMeshCounts CountPassCopies(Placement& placement, PlacementPass pass, ItemMeshes& meshes);

// Writes the copies of `pass` from `at` into a mesh that already has room for `counts` past it
// (the build driver sizes the mesh once for every builder). Returns the vertices and faces
// written: `counts` exactly, since the count and the walk are one walk; a walk that yields other
// than was counted throws CountMismatch (object/count_check.h) with both numbers.
// With `progress`, reports to the host's progress bar every few thousand copies.
MeshAppendPoint WritePassCopies(Mesh& mesh, const MeshAppendPoint& at, const PassMeshCounts& counts,
                                Placement& placement, PlacementPass pass, ItemMeshes& meshes,
                                const BuildProgress* progress = nullptr);

// Counts, grows the mesh and writes: the copies of `pass` after `at` (the mesh's current
// counts), for a pass built on its own. Returns false, adding
// nothing, when the mesh cannot grow (past the int range, or no memory); true otherwise, also
// when the pass has no copies with geometry.
bool AppendPassCopies(Mesh& mesh, const MeshAppendPoint& at, Placement& placement,
                      PlacementPass pass, ItemMeshes& meshes);

}  // namespace trellon
