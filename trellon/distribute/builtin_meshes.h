// The meshes the lighter mesh display modes draw instead of an item's own geometry: the fixed
// proxy of mode 5 and the box pyramid of mode 4. (Light items are drawn with the light marker of
// object/marker_mesh.h.) The proxy is a closed, outward-facing triangle mesh whose quad
// diagonals are invisible edges, so the wireframe shows quads.
#pragma once

#include <vector>

#include "mesh.h"
#include "point3.h"

namespace trellon {

// Vertices and faces (vertex indices into verts, smoothing group, edge visibility, material).
struct TriangleMesh {
    std::vector<Point3> verts;
    std::vector<Face> faces;
};

// The proxy of Display_Mode 5: a rounded box, 9 x 5 x 14 quads on its sides, centred at the
// origin, 0.643 x 0.357 x 1 units (corners rounded with radius 0.1): 484 vertices, 964 faces,
// one smoothing group per side, material 0.
const TriangleMesh& ProxyMesh();
inline constexpr int kProxyVerts = 484;
inline constexpr int kProxyFaces = 964;

// The pyramid of Display_Mode 4 for an item's stored box, with extent e = boxMax - boxMin: its
// base corners (+-e.x/2, +-e.y/2, 0), its apex (0, 0, e.z), four side faces with all edges
// visible, no base (5 vertices, 4 faces), smoothing group 0.
TriangleMesh PyramidMesh(const Point3& boxMin, const Point3& boxMax);

}  // namespace trellon
