// The scene of the host benchmarks, as a scene file: a 500-face, 286-vertex grid item (25 x 10
// quads standing in the XZ plane, 0.1 apart, smoothing group 0, so every face is flat) along a
// 10,000-unit zig-zag path of 20 right-angle corners, Geo_Pattern 2, Display_Mode as given,
// ForceDisplay on. One copy every 10,000 / N units gives N copies (and one more where the float
// division comes out even).
#pragma once

#include <cstdint>
#include <string>

namespace hostbench {

inline constexpr int kGridX = 25;
inline constexpr int kGridY = 10;
inline constexpr std::int64_t kItemVerts = (kGridX + 1) * (kGridY + 1);
inline constexpr std::int64_t kItemFaces = 2 * kGridX * kGridY;

inline std::string GridScene(std::int64_t copies, int mode, const char* item = "grid") {
    std::string verts, faces;
    for (int j = 0; j <= kGridY; ++j) {
        for (int i = 0; i <= kGridX; ++i) {
            if (!verts.empty()) verts += ',';
            verts += "[" + std::to_string(i * 0.1) + ",0," + std::to_string(j * 0.1) + "]";
        }
    }
    for (int j = 0; j < kGridY; ++j) {
        for (int i = 0; i < kGridX; ++i) {
            const int a = j * (kGridX + 1) + i, b = a + 1, c = a + kGridX + 2, d = a + kGridX + 1;
            if (!faces.empty()) faces += ',';
            faces += "[" + std::to_string(a) + "," + std::to_string(b) + "," + std::to_string(c) +
                     "],[" + std::to_string(a) + "," + std::to_string(c) + "," + std::to_string(d) +
                     "]";
        }
    }
    std::string path;
    const double step = 10000.0 / 21.0;
    double x = 0.0, y = 0.0;
    for (int k = 0; k <= 21; ++k) {
        if (!path.empty()) path += ',';
        path += "[" + std::to_string(x) + "," + std::to_string(y) + ",0]";
        if (k % 2 == 0)
            x += step;
        else
            y += step;
    }
    const std::string itemObject =
        std::string(item) == "box"
            ? R"({"type": "box", "length": 1, "width": 1, "height": 1})"
            : R"({"type": "mesh", "vertices": [)" + verts + R"(], "faces": [)" + faces + "]}";
    const double spacing = 10000.0 / static_cast<double>(copies);
    return R"({"format": "trellon-scene", "version": 1, "nodes": [
  {"name": "Path", "object": {"type": "line", "points": [)" +
           path + R"(]}},
  {"name": "Item", "hidden": true, "object": )" +
           itemObject + R"(},
  {"name": "Copies", "object": {"type": "Trellon",
    "setup": [{"op": "create", "seed": 1}, {"op": "pickPath", "node": "Path"},
              {"op": "addItem", "node": "Item"}],
    "params": [{"name": "Geo_UserSpacing", "value": 1}, {"name": "Geo_Pattern", "value": 2},
               {"name": "Item_Spacing", "value": [)" +
           std::to_string(spacing) + "," + std::to_string(spacing) + R"(]},
               {"name": "ForceDisplay", "value": 1},
               {"name": "Display_Mode", "value": )" +
           std::to_string(mode) + "}]}}]}";
}

// A scene of N separate 1-unit boxes in a row, 2 units apart, each its own node "B<i>".
inline std::string BoxesScene(std::int64_t boxes) {
    std::string nodes;
    for (std::int64_t i = 0; i < boxes; ++i) {
        if (i > 0) nodes += ",";
        nodes += R"({"name": "B)" + std::to_string(i) + R"(", "transform": {"position": [)" +
                 std::to_string(2 * i) +
                 R"(, 0, 0]}, "object": {"type": "box", "length": 1, "width": 1, "height": 1}})";
    }
    return R"({"format": "trellon-scene", "version": 1, "nodes": [)" + nodes + "]}";
}

}  // namespace hostbench
