// The markers a proxy display mode draws for one copy of an item, straight into the viewport's
// graphics window. Every point is given in the Trellon object's space: the copy's transform M
// (item object space -> object space, as the placement walk yields it) is applied here, and the
// window's own transform (the node's object transform, set by Display) takes it to the world.
//
// Per copy, after the item's palette colour is set as the line colour:
//   - a light item (Item_Kind 1), in every proxy mode: the bulb outline scaled by the height of
//     the item's stored box, drawn eight times, turned about the copy's Z axis by 0, pi/4, ...,
//     7 pi/4, each an open polyline of 20 points;
//   - Dot (mode 1): one dot marker at the centre of the stored box;
//   - Bounding Box (mode 2): the box's eight corners as two closed 4-point polylines (the faces
//     at minimum and maximum Z, corners in the order (min x, min y), (max x, min y),
//     (max x, max y), (min x, max y)) and four 2-point polylines joining matching corners;
//   - Point cloud (mode 3): the item's stored sample points, from the first, while the index is
//     below the count of CloudDrawCount.
#pragma once

#include <array>
#include <span>

#include "matrix3.h"
#include "object/display_mode.h"
#include "point3.h"

class GraphicsWindow;

namespace trellon {

// The 20 points of the bulb's half outline, in the XZ plane, 1 unit tall from z = -0.5 (the tip)
// to z = 0.5 (the base).
extern const std::array<Point3, 20> kBulbOutline;
// Point i of the outline; (0, 0, 0) outside 0..19.
Point3 BulbPoint(int i);
// The turn between two of the eight outlines of a bulb, radians.
inline constexpr float kBulbStep = 0.7853982f;

// How many stored points a point cloud draws: all n when n is at most 25, else the indices j
// with j < 10 + (pointCloud - 1) * (n - 10) / 99 (a float), never more than n. 0 for n <= 0.
int CloudDrawCount(int n, int pointCloud);

// What a drawer needs of an item.
struct ProxyItem {
    int kind = 0;  // Item_Kind
    Point3 boxMin;
    Point3 boxMax;
    std::span<const Point3> cloud;  // its stored sample points, in stored order
};

void DrawDot(GraphicsWindow& gw, const Matrix3& m, const Point3& boxMin, const Point3& boxMax);
void DrawBox(GraphicsWindow& gw, const Matrix3& m, const Point3& boxMin, const Point3& boxMax);
void DrawCloud(GraphicsWindow& gw, const Matrix3& m, std::span<const Point3> points,
               int pointCloud);
// The eight outlines of a bulb of the given height (scale of the unit outline).
void DrawBulb(GraphicsWindow& gw, const Matrix3& m, float height);

// One copy in a proxy mode: the colour (palette entry of item number item + 1), then the
// item's markers. Mode 0 and the mesh modes draw nothing.
void DrawProxyCopy(GraphicsWindow& gw, DisplayMode mode, int item, const ProxyItem& proxy,
                   const Matrix3& m, int pointCloud);

}  // namespace trellon
