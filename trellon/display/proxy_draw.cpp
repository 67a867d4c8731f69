#include "display/proxy_draw.h"

#include "colour/palette.h"
#include "graphwin.h"

namespace trellon {

// The half outline's points; y is the tiny offset the outline was drawn with (a tenth of a
// millionth of its height, no visible effect).
const std::array<Point3, 20> kBulbOutline = {{
    {0.000951722f, -0.00000256f, -0.499614f}, {-0.0539784f, -0.00000255f, -0.498337f},
    {-0.170078f, -0.00000254f, -0.456181f},   {-0.236506f, -0.00000253f, -0.373147f},
    {-0.276043f, -0.00000252f, -0.276062f},   {-0.281153f, -0.00000251f, -0.167479f},
    {-0.241565f, -0.0000025f, -0.0844448f},   {-0.183952f, -0.00000249f, 0.00114402f},
    {-0.134182f, -0.00000248f, 0.0993937f},   {-0.111234f, -0.00000247f, 0.225974f},
    {-0.109127f, -0.00000246f, 0.273026f},    {-0.0893407f, -0.00000245f, 0.277184f},
    {-0.0894175f, -0.00000244f, 0.314219f},   {-0.108596f, -0.00000243f, 0.342658f},
    {-0.0907792f, -0.00000242f, 0.371027f},   {-0.109207f, -0.00000241f, 0.399691f},
    {-0.09003f, -0.0000024f, 0.428975f},      {-0.110321f, -0.0000024f, 0.454154f},
    {-0.0905992f, -0.0000024f, 0.484694f},    {0.00159044f, -0.0000024f, 0.499614f},
}};

Point3 BulbPoint(int i) {
    if (i < 0 || i >= static_cast<int>(kBulbOutline.size())) return Point3(0.0f, 0.0f, 0.0f);
    return kBulbOutline[static_cast<std::size_t>(i)];
}

int CloudDrawCount(int n, int pointCloud) {
    if (n <= 0) return 0;
    if (n <= 25) return n;
    const float c = 10.0f + static_cast<float>(pointCloud - 1) * static_cast<float>(n - 10) / 99.0f;
    int count = 0;
    while (count < n && static_cast<float>(count) < c) ++count;
    return count;
}

void DrawDot(GraphicsWindow& gw, const Matrix3& m, const Point3& boxMin, const Point3& boxMax) {
    Point3 centre = ((boxMin + boxMax) * 0.5f) * m;
    gw.marker(&centre, DOT_MRKR);
}

void DrawBox(GraphicsWindow& gw, const Matrix3& m, const Point3& boxMin, const Point3& boxMax) {
    // The face at z, corners counter-clockwise seen from +Z.
    auto face = [&](float z, Point3* out) {
        out[0] = Point3(boxMin.x, boxMin.y, z) * m;
        out[1] = Point3(boxMax.x, boxMin.y, z) * m;
        out[2] = Point3(boxMax.x, boxMax.y, z) * m;
        out[3] = Point3(boxMin.x, boxMax.y, z) * m;
    };
    Point3 bottom[4];
    Point3 top[4];
    face(boxMin.z, bottom);
    face(boxMax.z, top);
    gw.polyline(4, bottom, nullptr, TRUE, nullptr);
    gw.polyline(4, top, nullptr, TRUE, nullptr);
    for (int i = 0; i < 4; ++i) {
        Point3 edge[2] = {bottom[i], top[i]};
        gw.polyline(2, edge, nullptr, FALSE, nullptr);
    }
}

void DrawCloud(GraphicsWindow& gw, const Matrix3& m, std::span<const Point3> points,
               int pointCloud) {
    const int count = CloudDrawCount(static_cast<int>(points.size()), pointCloud);
    for (int j = 0; j < count; ++j) {
        Point3 p = points[static_cast<std::size_t>(j)] * m;
        gw.marker(&p, DOT_MRKR);
    }
}

void DrawBulb(GraphicsWindow& gw, const Matrix3& m, float height) {
    std::array<Point3, kBulbOutline.size()> outline;
    for (int turn = 0; turn < 8; ++turn) {
        // Turned about the copy's own Z axis, before the copy's transform.
        const Matrix3 tm = RotateZMatrix(kBulbStep * static_cast<float>(turn)) * m;
        for (std::size_t i = 0; i < outline.size(); ++i) {
            outline[i] = (kBulbOutline[i] * height) * tm;
        }
        gw.polyline(static_cast<int>(outline.size()), outline.data(), nullptr, FALSE, nullptr);
    }
}

void DrawProxyCopy(GraphicsWindow& gw, DisplayMode mode, int item, const ProxyItem& proxy,
                   const Matrix3& m, int pointCloud) {
    if (!IsProxyMode(mode)) return;
    const Color c = PaletteColour(PaletteEntryForItem(item + 1));
    gw.setColor(LINE_COLOR, c.r, c.g, c.b);
    if (proxy.kind == 1) {
        DrawBulb(gw, m, proxy.boxMax.z - proxy.boxMin.z);
        return;
    }
    switch (mode) {
        case DisplayMode::Dots:
            DrawDot(gw, m, proxy.boxMin, proxy.boxMax);
            break;
        case DisplayMode::Boxes:
            DrawBox(gw, m, proxy.boxMin, proxy.boxMax);
            break;
        default:
            DrawCloud(gw, m, proxy.cloud, pointCloud);
            break;
    }
}

}  // namespace trellon
