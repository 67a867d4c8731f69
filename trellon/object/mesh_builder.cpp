#include "object/mesh_builder.h"

#include <limits>

#include "mesh.h"

namespace trellon {
MeshAppendPoint CurrentAppendPoint(const Mesh& mesh) {
    return {mesh.getNumVerts(), mesh.getNumFaces()};
}

bool GrowMesh(Mesh& mesh, const MeshAppendPoint& at, int addVerts, int addFaces) {
    constexpr int kIntMax = std::numeric_limits<int>::max();
    // A stale append point would cut off or skip geometry: only the mesh's own counts will do.
    if (at.verts != mesh.getNumVerts() || at.faces != mesh.getNumFaces()) return false;
    if (addVerts < 0 || addFaces < 0) return false;
    if (addVerts > kIntMax - at.verts || addFaces > kIntMax - at.faces) return false;
    if (!mesh.setNumVerts(at.verts + addVerts, TRUE)) return false;
    if (!mesh.setNumFaces(at.faces + addFaces, TRUE)) {
        mesh.setNumVerts(at.verts, TRUE);
        mesh.setNumFaces(at.faces, TRUE);
        return false;
    }
    return true;
}

}  // namespace trellon
