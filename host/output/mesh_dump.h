// The evaluated meshes as JSON, for tests and scripts (`build -o OUT.json`):
//   { "nodes": [ { "name", "hidden", "transform", "vertices", "faces", "materialIds",
//                  "smoothingGroups", "edgeVisibility", "tvertices", "tvfaces" } ] }
// one entry per evaluated node in scene order, hidden nodes included; "hidden": true stands only
// on a node that is hidden (itself or by its layer), which the .glb leaves out. `transform` is the
// object transform as its four rows (the host's row-vector convention: the axes, then the
// translation); the vertices are in object space. `tvertices` and `tvfaces` are map channel 1,
// empty when the mesh has none. Floats are written as the shortest decimals that read back to the
// same float (std::to_chars); a coordinate that is not finite as null.
//
// The text is streamed from the meshes into the file, one key's array to a line; no document of
// the whole scene is built in memory.
#pragma once

#include <string>
#include <vector>

#include "evaluated_scene.h"

namespace host {

// The dump as text (ending in a newline).
std::string MeshDumpText(const std::vector<EvaluatedNode>& nodes);

// Writes the dump to path; false, with error naming the file, when it cannot be written.
bool WriteMeshDump(const std::vector<EvaluatedNode>& nodes, const std::string& path,
                   std::string& error);

}  // namespace host
