#include "object/placeholder_mesh.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "mesh.h"
#include "object/mesh_builder.h"

namespace trellon {
namespace {

// One part of the panel: the minimum and maximum corner of its box, at size 1.
struct PanelBox {
    Point3 lo;
    Point3 hi;
};

// The fence panel. The posts are the thickest parts and set the extent: X and Z in [-0.5, 0.5],
// Y in [-0.05, 0.05]. The rails run between the posts; the pickets cross the rails and stand a
// little above and below them.
constexpr std::array<PanelBox, 7> kPanel{{
    {{-0.50f, -0.050f, -0.50f}, {-0.42f, 0.050f, 0.50f}},  // left post
    {{0.42f, -0.050f, -0.50f}, {0.50f, 0.050f, 0.50f}},    // right post
    {{-0.42f, -0.030f, 0.28f}, {0.42f, 0.030f, 0.36f}},    // top rail
    {{-0.42f, -0.030f, -0.36f}, {0.42f, 0.030f, -0.28f}},  // bottom rail
    {{-0.25f, -0.015f, -0.44f}, {-0.17f, 0.015f, 0.44f}},  // left picket
    {{-0.04f, -0.015f, -0.44f}, {0.04f, 0.015f, 0.44f}},   // middle picket
    {{0.17f, -0.015f, -0.44f}, {0.25f, 0.015f, 0.44f}},    // right picket
}};

// A box's corner c takes X from hi when bit 0 is set, Y from bit 1 and Z from bit 2.
constexpr int kBoxVerts = 8;
// Its six sides as quads of corners, counter-clockwise seen from outside: -X, +X, -Y, +Y, -Z, +Z.
constexpr int kBoxQuads[6][4] = {
    {0, 4, 6, 2}, {1, 3, 7, 5}, {0, 1, 5, 4}, {2, 6, 7, 3}, {0, 2, 3, 1}, {4, 5, 7, 6},
};
constexpr int kBoxFaces = 12;

Point3 Corner(const PanelBox& box, int c) {
    return Point3((c & 1) ? box.hi.x : box.lo.x, (c & 2) ? box.hi.y : box.lo.y,
                  (c & 4) ? box.hi.z : box.lo.z);
}

}  // namespace

int PlaceholderVertexCount() { return static_cast<int>(kPanel.size()) * kBoxVerts; }

int PlaceholderFaceCount() { return static_cast<int>(kPanel.size()) * kBoxFaces; }

float PlaceholderScale(float logoSize) {
    if (std::isnan(logoSize)) return 0.5f;
    return std::max(logoSize, 0.5f);
}

bool AppendPlaceholderMesh(Mesh& mesh, float logoSize) {
    const MeshAppendPoint at = CurrentAppendPoint(mesh);
    if (!GrowMesh(mesh, at, PlaceholderVertexCount(), PlaceholderFaceCount())) return false;
    const float s = PlaceholderScale(logoSize);
    int v = at.verts;
    int f = at.faces;
    for (const PanelBox& box : kPanel) {
        const int first = v;
        for (int c = 0; c < kBoxVerts; ++c) mesh.setVert(v++, Corner(box, c) * s);
        // Each quad a b c d becomes (a, b, c) and (c, d, a); edge C of both is the diagonal.
        for (const auto& q : kBoxQuads) {
            for (const int half : {0, 2}) {
                Face& face = mesh.getFace(f++);
                face.setVerts(DWORD(first + q[half]), DWORD(first + q[half + 1]),
                              DWORD(first + q[(half + 2) % 4]));
                face.setEdgeVisFlags(EDGE_VIS, EDGE_VIS, EDGE_INVIS);
                face.setSmGroup(0);
                face.setMatID(0);
            }
        }
    }
    return v == at.verts + PlaceholderVertexCount() && f == at.faces + PlaceholderFaceCount();
}

}  // namespace trellon
