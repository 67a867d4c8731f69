// The light marker: the mesh that stands for a light item (Item_Kind 1), and the bulb outline it
// is made from.
//
// The outline is half a light bulb in the XZ plane, one unit tall from z = -0.5 (the tip) to
// z = 0.5 (the base), with x between -0.28 and 0: 20 points. The marker mesh turns the outline
// about Z in eight steps of 45 degrees (copy j rotated by j * pi/4), 160 vertices, vertex
// j * 20 + i being point i of copy j, and joins neighbouring copies (the eighth to the first)
// with two triangles per outline segment: 8 * 19 * 2 = 304 faces, each on material index 2,
// smoothing group 1, outer edges visible and the quad diagonal invisible. The viewport proxies
// draw the same eight outlines as polylines.
//
// A light item is shown at the marker size of the scene's system unit, so it has about the same
// size on screen whatever unit the scene is in.
#pragma once

class Mesh;
class Point3;

namespace trellon {
inline constexpr int kBulbOutlinePoints = 20;
inline constexpr int kMarkerTurns = 8;
inline constexpr int kMarkerVertexCount = kBulbOutlinePoints * kMarkerTurns;          // 160
inline constexpr int kMarkerFaceCount = (kBulbOutlinePoints - 1) * kMarkerTurns * 2;  // 304
// Material index of every marker face.
inline constexpr int kMarkerMaterialIndex = 2;

// Point i of the bulb outline at size 1; (0, 0, 0) for an index outside 0 .. 19.
Point3 BulbOutlinePoint(int i);

// The marker size for a system unit type (units.h): inches 0.2, feet 20, miles 0.2, millimetres
// 200, centimetres 20, metres 0.2, kilometres 0.02; 1 for any other type.
float MarkerSizeForUnit(int unitType);
// The marker size of the scene's current system unit.
float SceneMarkerSize();

// Replaces mesh's contents with the marker scaled uniformly by size. FALSE, leaving the mesh
// empty, when the mesh cannot hold it.
bool MakeMarkerMesh(Mesh& mesh, float size);

}  // namespace trellon
