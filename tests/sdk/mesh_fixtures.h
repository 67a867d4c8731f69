// Small meshes built by hand for the Mesh tests.
#pragma once

#include "mesh.h"

namespace meshtest {

// The unit cube [0,1]^3 shifted by `at`, appended to m. Corner index (before the offset) is
// x + 2y + 4z. Twelve counter-clockwise (outward) triangles, two per side, in the side order
// bottom (-z), top (+z), front (-y), back (+y), left (-x), right (+x): side s is faces 2s, 2s+1.
inline void AppendCube(Mesh& m, const Point3& at = Point3(0, 0, 0)) {
    static const DWORD tris[12][3] = {{0, 2, 3}, {3, 1, 0}, {4, 5, 7}, {7, 6, 4},
                                      {0, 1, 5}, {5, 4, 0}, {2, 6, 7}, {7, 3, 2},
                                      {0, 4, 6}, {6, 2, 0}, {1, 3, 7}, {7, 5, 1}};
    const int v0 = m.getNumVerts(), f0 = m.getNumFaces();
    m.setNumVerts(v0 + 8, TRUE);
    m.setNumFaces(f0 + 12, TRUE);
    for (int i = 0; i < 8; ++i)
        m.setVert(v0 + i,
                  at + Point3(i & 1 ? 1.0f : 0.0f, i & 2 ? 1.0f : 0.0f, i & 4 ? 1.0f : 0.0f));
    for (int f = 0; f < 12; ++f) {
        m.faces[f0 + f].setVerts(v0 + tris[f][0], v0 + tris[f][1], v0 + tris[f][2]);
        m.faces[f0 + f].setEdgeVisFlags(1, 1, 0);
    }
}

// Sets the vertices and faces of m from plain arrays.
template <int NV, int NF>
void Build(Mesh& m, const Point3 (&v)[NV], const DWORD (&f)[NF][3]) {
    m.setNumVerts(NV);
    m.setNumFaces(NF);
    for (int i = 0; i < NV; ++i) m.setVert(i, v[i]);
    for (int i = 0; i < NF; ++i) m.faces[i].setVerts(f[i][0], f[i][1], f[i][2]);
}

inline float Deg(float d) { return d * 3.14159265358979f / 180.0f; }

}  // namespace meshtest
