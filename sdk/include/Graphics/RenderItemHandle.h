// RenderItemHandle: one thing the viewport draws for a node, as the mesh's display interface
// (IMeshDisplay2.h) makes it.
//
// Stand-in scope: an item carries the geometry the viewport would upload, in the node's object
// space: the mesh's vertex positions and either its triangles (a solid item) or its visible
// edges (a wireframe item). The geometry is shared and immutable: a copy of the handle refers to
// the same item.
#pragma once

#include <array>
#include <memory>
#include <utility>
#include <vector>

#include "../point3.h"

namespace MaxSDK::Graphics {

// The parts of a mesh the viewport can draw.
enum MeshElementType {
    MeshElementTypeSolidMesh,  // shaded faces
    MeshElementTypeWireframe,  // the visible edges
};

struct RenderItemGeometry {
    MeshElementType type = MeshElementTypeSolidMesh;
    std::vector<Point3> positions;
    std::vector<std::array<int, 3>> triangles;  // solid items
    std::vector<std::array<int, 2>> edges;      // wireframe items
};

class RenderItemHandle {
public:
    RenderItemHandle() = default;
    explicit RenderItemHandle(std::shared_ptr<const RenderItemGeometry> geometry)
        : geometry_(std::move(geometry)) {}
    bool IsValid() const { return geometry_ != nullptr; }
    // The item's geometry; null for an empty handle.
    const RenderItemGeometry* GetGeometry() const { return geometry_.get(); }

private:
    std::shared_ptr<const RenderItemGeometry> geometry_;
};

}  // namespace MaxSDK::Graphics
