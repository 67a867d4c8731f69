// What one copy of each item adds to the object's mesh in the mesh display modes, evaluated once
// per build and shared by every builder of that build:
//   mode 6: a mesh item's own mesh (its node's object evaluated at the build time, converted to
//           a triangle mesh when it is not one); a light item the marker at the marker size of
//           the scene's system unit;
//   mode 5: a light item the marker at size 1, any other item the fixed proxy mesh;
//   mode 4: a light item the marker at size 1, any other item the pyramid of its stored box.
// Each face keeps its vertex indices, smoothing group and edge visibility; its material index
// becomes the item's (MaterialForItem), whatever the item's own faces carried. A face whose
// vertex indices lie outside the item's vertices is dropped.
#pragma once

#include <memory>
#include <vector>

#include "distribute/builtin_meshes.h"
#include "maxtypes.h"
#include "object/display_mode.h"

namespace trellon {

class Placement;

// Material index of item k's copies: k + 1, brought into 1..26 (the 26 item colours of the
// palette), so item 25 gets 26 and item 26 gets 1 again.
MtlID MaterialForItem(int item);

class ItemMeshes {
public:
    // Geometry for the display mode; the modes that build no mesh count as FullMesh.
    ItemMeshes(TimeValue t, DisplayMode displayMode);
    ~ItemMeshes();
    ItemMeshes(const ItemMeshes&) = delete;
    ItemMeshes& operator=(const ItemMeshes&) = delete;

    // The geometry of the placement's item k, evaluated on first use. An item whose node is
    // missing, or whose object does not become a triangle mesh, adds nothing (an empty mesh).
    const TriangleMesh& Get(const Placement& placement, int k);

private:
    TriangleMesh Evaluate(const Placement& placement, int k) const;

    TimeValue t_;
    DisplayMode mode_;
    std::vector<std::unique_ptr<TriangleMesh>> meshes_;
};

}  // namespace trellon
