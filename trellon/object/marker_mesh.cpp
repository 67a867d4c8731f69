#include "object/marker_mesh.h"

#include <array>
#include <cmath>

#include "mesh.h"
#include "point3.h"
#include "units.h"

namespace trellon {
namespace {

// The outline's points (x, z); every point lies a hair behind the XZ plane.
constexpr float kOutlineY = -0.0000024f;
constexpr std::array<std::array<float, 2>, kBulbOutlinePoints> kOutline{{
    {0.000951722f, -0.499614f}, {-0.0539784f, -0.498337f}, {-0.170078f, -0.456181f},
    {-0.236506f, -0.373147f},   {-0.276043f, -0.276062f},  {-0.281153f, -0.167479f},
    {-0.241565f, -0.0844448f},  {-0.183952f, 0.00114402f}, {-0.134182f, 0.0993937f},
    {-0.111234f, 0.225974f},    {-0.109127f, 0.273026f},   {-0.0893407f, 0.277184f},
    {-0.0894175f, 0.314219f},   {-0.108596f, 0.342658f},   {-0.0907792f, 0.371027f},
    {-0.109207f, 0.399691f},    {-0.09003f, 0.428975f},    {-0.110321f, 0.454154f},
    {-0.0905992f, 0.484694f},   {0.00159044f, 0.499614f},
}};

// The step between two copies of the outline, pi/4.
constexpr float kTurnStep = 0.7853982f;

}  // namespace

Point3 BulbOutlinePoint(int i) {
    if (i < 0 || i >= kBulbOutlinePoints) return Point3(0.0f, 0.0f, 0.0f);
    const auto& p = kOutline[static_cast<std::size_t>(i)];
    return Point3(p[0], kOutlineY, p[1]);
}

float MarkerSizeForUnit(int unitType) {
    switch (unitType) {
        case UNITS_INCHES:
            return 0.2f;
        case UNITS_FEET:
            return 20.0f;
        case UNITS_MILES:
            return 0.2f;
        case UNITS_MILLIMETERS:
            return 200.0f;
        case UNITS_CENTIMETERS:
            return 20.0f;
        case UNITS_METERS:
            return 0.2f;
        case UNITS_KILOMETERS:
            return 0.02f;
        default:
            return 1.0f;
    }
}

float SceneMarkerSize() {
    int type = -1;
    float scale = 1.0f;
    GetMasterUnitInfo(&type, &scale);
    return MarkerSizeForUnit(type);
}

bool MakeMarkerMesh(Mesh& mesh, float size) {
    if (!mesh.setNumVerts(kMarkerVertexCount) || !mesh.setNumFaces(kMarkerFaceCount)) {
        mesh.setNumVerts(0);
        mesh.setNumFaces(0);
        return false;
    }
    for (int j = 0; j < kMarkerTurns; ++j) {
        const float a = kTurnStep * static_cast<float>(j);
        const float c = std::cos(a);
        const float s = std::sin(a);
        for (int i = 0; i < kBulbOutlinePoints; ++i) {
            const Point3 p = BulbOutlinePoint(i);
            // Rotation about Z by a: (x, y) -> (x cos a - y sin a, x sin a + y cos a).
            mesh.setVert(j * kBulbOutlinePoints + i,
                         Point3(p.x * c - p.y * s, p.x * s + p.y * c, p.z) * size);
        }
    }
    int f = 0;
    for (int j = 0; j < kMarkerTurns; ++j) {
        const int a = j * kBulbOutlinePoints;
        const int b = ((j + 1) % kMarkerTurns) * kBulbOutlinePoints;
        for (int i = 0; i + 1 < kBulbOutlinePoints; ++i) {
            // The quad a+i, a+i+1, b+i+1, b+i as two triangles sharing the diagonal a+i .. b+i+1.
            const auto v = [](int k) { return static_cast<DWORD>(k); };
            Face& lower = mesh.faces[f++];
            lower.setVerts(v(a + i), v(b + i), v(b + i + 1));
            lower.setEdgeVisFlags(EDGE_VIS, EDGE_VIS, EDGE_INVIS);
            Face& upper = mesh.faces[f++];
            upper.setVerts(v(b + i + 1), v(a + i + 1), v(a + i));
            upper.setEdgeVisFlags(EDGE_VIS, EDGE_VIS, EDGE_INVIS);
            for (Face* face : {&lower, &upper}) {
                face->setMatID(static_cast<MtlID>(kMarkerMaterialIndex));
                face->setSmGroup(1);
            }
        }
    }
    mesh.InvalidateGeomCache();
    return true;
}

}  // namespace trellon
