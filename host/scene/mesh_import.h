// Importing a mesh file (OBJ, glTF, FBX, 3DS, PLY, STL, ... whatever the importer library reads)
// as one triangle mesh, for the scene file's `mesh` objects with a `file`.
//
// Every mesh of the file is taken, each once per node that shows it, with that node's transform
// (its own times its parents') applied to its vertices, and all are merged into one list in the
// file's node order (depth first). Polygons are triangulated by the importer (ear clipping, so
// concave polygons come out right); points and lines are left out. A node transform that mirrors
// (negative determinant) has its triangles' corners reversed, so faces keep facing outward.
// Material IDs: the materials the meshes use are numbered 0, 1, ... in the order the file lists
// them (materials no mesh uses, and the importer's own default material, take no number), and
// each triangle gets the number of its mesh's material. The first texture-coordinate channel
// becomes the map vertices, one per vertex (a mesh without coordinates gets (0, 0, 0)). Every edge
// is visible and every smoothing group 0: the importer gives normals, not groups. Coordinates are
// taken as the file gives them, with no axis or unit conversion (a Y-up file needs a rotation about
// X in the node's transform).
#pragma once

#include <array>
#include <string>
#include <vector>

#include "point3.h"

namespace host {

struct ImportedMesh {
    std::vector<Point3> vertices;
    std::vector<std::array<unsigned, 3>> faces;
    std::vector<unsigned> materialIds;  // one per face
    std::vector<Point3> uvs;            // one per vertex, or empty when the file has none
};

// Reads the file at path. False, with error set to what follows the file's name in a message
// ("cannot be imported: " and the importer's reason, "has no triangles", ...), when the file cannot
// be read, is no mesh format, holds no polygon, or is larger than the host's mesh limits.
bool ImportMeshFile(const std::string& path, ImportedMesh& out, std::string& error);

}  // namespace host
