// Wavefront OBJ output of an evaluated scene (`build -o OUT.obj`), with its materials in a
// companion OUT.mtl.
//
// One object (`o NAME`) per shown node (a node hidden by its own flag or by its layer is left
// out, as the viewport leaves it out), in scene order. Vertices are written in world space, in
// the host's system units and axes (Z up): the object transform is applied, so importing the
// file back as a mesh gives the same coordinates. Texture coordinates (map channel 1) are written
// as `vt u v w` when the mesh has them. A face shows the material its material ID selects (see
// ShownMaterial); faces are grouped under `usemtl NAME` in the order they come, and faces with no
// material use "wire_RRGGBB", the node's wire colour. Under a mirroring transform the corner order
// is reversed so faces keep facing outward. The .mtl file gives each material its diffuse colour
// (Kd) and its Bitmap diffuse map (map_Kd) when it has one.
//
// Material names in OBJ end at white space, so white space in a name becomes '_'.
#pragma once

#include <string>
#include <vector>

#include "evaluated_scene.h"

namespace host {

// Writes `nodes` to path and the materials beside it (path with the extension .mtl). False,
// with error naming the file, when a file cannot be written or a mesh refers to a vertex or
// texture vertex it lacks; nothing is left half-written then.
bool WriteObj(const std::vector<EvaluatedNode>& nodes, const std::string& path, std::string& error);

}  // namespace host
