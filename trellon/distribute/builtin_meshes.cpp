#include "distribute/builtin_meshes.h"

#include <algorithm>
#include <cmath>

namespace trellon {

namespace {

Face MakeFace(int a, int b, int c, DWORD smGroup, DWORD visA, DWORD visB, DWORD visC, MtlID mtl) {
    Face f;
    f.setVerts(static_cast<DWORD>(a), static_cast<DWORD>(b), static_cast<DWORD>(c));
    f.setSmGroup(smGroup);
    f.setEdgeVisFlags(visA, visB, visC);
    f.setMatID(mtl);
    return f;
}

// The quad a (top left), b (top right), c (bottom right), d (bottom left), counter-clockwise
// seen from outside, as two triangles sharing the invisible diagonal a-c.
void AddQuad(TriangleMesh& m, int a, int b, int c, int d, DWORD smGroup, MtlID mtl) {
    m.faces.push_back(MakeFace(a, d, c, smGroup, EDGE_VIS, EDGE_VIS, EDGE_INVIS, mtl));
    m.faces.push_back(MakeFace(a, c, b, smGroup, EDGE_INVIS, EDGE_VIS, EDGE_VIS, mtl));
}

// The box's surface lattice: every point (i, j, k) of the (a + 1) x (b + 1) x (c + 1) grid
// that lies on a side, then two triangles per lattice square of each side.
TriangleMesh BuildProxy() {
    constexpr int n[3] = {9, 5, 14};
    const Point3 half(0.9f / 2.8f, 0.5f / 2.8f, 0.5f);
    constexpr float kRound = 0.1f;
    TriangleMesh m;
    std::vector<int> index(static_cast<std::size_t>((n[0] + 1) * (n[1] + 1) * (n[2] + 1)), -1);
    auto at = [&](int i, int j, int k) -> int& {
        return index[static_cast<std::size_t>((k * (n[1] + 1) + j) * (n[0] + 1) + i)];
    };
    for (int k = 0; k <= n[2]; ++k) {
        for (int j = 0; j <= n[1]; ++j) {
            for (int i = 0; i <= n[0]; ++i) {
                const bool side = i == 0 || i == n[0] || j == 0 || j == n[1] || k == 0 || k == n[2];
                if (!side) continue;
                const Point3 p(half.x * (2.0f * static_cast<float>(i) / n[0] - 1.0f),
                               half.y * (2.0f * static_cast<float>(j) / n[1] - 1.0f),
                               half.z * (2.0f * static_cast<float>(k) / n[2] - 1.0f));
                // Round the edges: a point outside the inner box moves onto the sphere of
                // radius kRound about its nearest inner point.
                const Point3 inner(std::clamp(p.x, -(half.x - kRound), half.x - kRound),
                                   std::clamp(p.y, -(half.y - kRound), half.y - kRound),
                                   std::clamp(p.z, -(half.z - kRound), half.z - kRound));
                at(i, j, k) = static_cast<int>(m.verts.size());
                m.verts.push_back(inner + (p - inner).Normalize() * kRound);
            }
        }
    }
    // Each side: the axis it faces along, its sign, and two axes u, v with u x v outward.
    struct Side {
        int axis, u, v;
        bool positive;
    };
    constexpr Side kSides[6] = {{0, 1, 2, true},  {0, 2, 1, false}, {1, 2, 0, true},
                                {1, 0, 2, false}, {2, 0, 1, true},  {2, 1, 0, false}};
    for (int s = 0; s < 6; ++s) {
        const Side& side = kSides[s];
        for (int b = 0; b < n[side.v]; ++b) {
            for (int a = 0; a < n[side.u]; ++a) {
                auto corner = [&](int du, int dv) {
                    int c[3];
                    c[side.axis] = side.positive ? n[side.axis] : 0;
                    c[side.u] = a + du;
                    c[side.v] = b + dv;
                    return at(c[0], c[1], c[2]);
                };
                // Seen from outside u runs right and v up.
                AddQuad(m, corner(0, 1), corner(1, 1), corner(1, 0), corner(0, 0), 1u << s, 0);
            }
        }
    }
    return m;
}

}  // namespace

const TriangleMesh& ProxyMesh() {
    static const TriangleMesh mesh = BuildProxy();
    return mesh;
}

TriangleMesh PyramidMesh(const Point3& boxMin, const Point3& boxMax) {
    const Point3 e = boxMax - boxMin;
    const float x = e.x * 0.5f;
    const float y = e.y * 0.5f;
    TriangleMesh m;
    m.verts = {Point3(-x, -y, 0.0f), Point3(x, -y, 0.0f), Point3(x, y, 0.0f), Point3(-x, y, 0.0f),
               Point3(0.0f, 0.0f, e.z)};
    for (int i = 0; i < 4; ++i)
        m.faces.push_back(MakeFace(i, (i + 1) % 4, 4, 0, EDGE_VIS, EDGE_VIS, EDGE_VIS, 0));
    return m;
}

}  // namespace trellon
