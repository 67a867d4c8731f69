#include "drawing_writer.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <limits>
#include <ostream>
#include <sstream>
#include <vector>

#include "color.h"
#include "units.h"

namespace host {
namespace {

using MaxSDK::Graphics::MeshElementTypeWireframe;
using MaxSDK::Graphics::RenderItemGeometry;
using nlohmann::json;

bool Finite(const Point3& p) {
    return std::isfinite(p.x) && std::isfinite(p.y) && std::isfinite(p.z);
}

json Xyz(const Point3& p) { return json::array({p.x, p.y, p.z}); }

// The first non-finite point a node drew, or false.
bool NodeIsFinite(const NodeDrawing& n) {
    for (const DrawnMarker& m : n.drawn.markers) {
        if (!Finite(m.point)) return false;
    }
    for (const DrawnPolyline& l : n.drawn.polylines) {
        if (!std::all_of(l.points.begin(), l.points.end(), Finite)) return false;
    }
    for (const auto& item : n.renderItems) {
        const RenderItemGeometry* g = item.GetGeometry();
        if (g && !std::all_of(g->positions.begin(), g->positions.end(), Finite)) return false;
    }
    return true;
}

bool CheckFinite(const Drawing& drawing, std::string& error) {
    for (const NodeDrawing& n : drawing.nodes) {
        if (!NodeIsFinite(n)) {
            error = "node " + n.name + " drew a point with a non-finite coordinate";
            return false;
        }
    }
    return true;
}

// --- glTF ---------------------------------------------------------------------------------------

float SrgbToLinear(float c) {
    c = std::clamp(c, 0.0f, 1.0f);
    return c <= 0.04045f ? c / 12.92f : std::pow((c + 0.055f) / 1.055f, 2.4f);
}

struct Vertices {
    std::vector<float> positions;  // glTF axes, metres
    std::vector<float> colors;     // linear
    void Add(const Point3& p, const Point3& color, float metres) {
        positions.insert(positions.end(), {p.x * metres, p.z * metres, -p.y * metres});
        colors.insert(colors.end(),
                      {SrgbToLinear(color.x), SrgbToLinear(color.y), SrgbToLinear(color.z)});
    }
    std::size_t Count() const { return positions.size() / 3; }
};

class GlbBuilder {
public:
    // Adds one primitive of the given mode; returns its JSON.
    json Primitive(const Vertices& v, int mode) {
        const int pos = Accessor(v.positions, true);
        const int col = Accessor(v.colors, false);
        return json{{"mode", mode}, {"attributes", {{"POSITION", pos}, {"COLOR_0", col}}}};
    }
    json accessors = json::array();
    json bufferViews = json::array();
    std::vector<unsigned char> bin;

private:
    int Accessor(const std::vector<float>& data, bool minMax) {
        const std::size_t offset = bin.size();
        bin.resize(offset + data.size() * sizeof(float));
        std::memcpy(bin.data() + offset, data.data(), data.size() * sizeof(float));
        bufferViews.push_back({{"buffer", 0},
                               {"byteOffset", offset},
                               {"byteLength", data.size() * sizeof(float)},
                               {"target", 34962}});
        json a = {{"bufferView", bufferViews.size() - 1},
                  {"componentType", 5126},
                  {"count", data.size() / 3},
                  {"type", "VEC3"}};
        if (minMax) {
            std::array<float, 3> lo{}, hi{};
            lo.fill(std::numeric_limits<float>::max());
            hi.fill(std::numeric_limits<float>::lowest());
            for (std::size_t i = 0; i < data.size(); ++i) {
                lo[i % 3] = std::min(lo[i % 3], data[i]);
                hi[i % 3] = std::max(hi[i % 3], data[i]);
            }
            a["min"] = lo;
            a["max"] = hi;
        }
        accessors.push_back(a);
        return static_cast<int>(accessors.size() - 1);
    }
};

void PutU32(std::ostream& out, std::uint32_t v) {
    const unsigned char b[4] = {static_cast<unsigned char>(v), static_cast<unsigned char>(v >> 8),
                                static_cast<unsigned char>(v >> 16),
                                static_cast<unsigned char>(v >> 24)};
    out.write(reinterpret_cast<const char*>(b), 4);
}

constexpr int kPoints = 0;
constexpr int kLines = 1;

}  // namespace

bool WriteDrawingJson(const Drawing& drawing, std::ostream& out, std::string& error) {
    if (!CheckFinite(drawing, error)) return false;
    json nodes = json::array();
    for (const NodeDrawing& n : drawing.nodes) {
        json markers = json::array();
        for (const DrawnMarker& m : n.drawn.markers) {
            markers.push_back({{"point", Xyz(m.point)}, {"color", Xyz(m.color)}});
        }
        json polylines = json::array();
        for (const DrawnPolyline& l : n.drawn.polylines) {
            json pts = json::array();
            for (const Point3& p : l.points) pts.push_back(Xyz(p));
            polylines.push_back({{"points", pts}, {"closed", l.closed}, {"color", Xyz(l.color)}});
        }
        json items = json::array();
        for (const auto& item : n.renderItems) {
            const RenderItemGeometry* g = item.GetGeometry();
            if (g == nullptr) continue;
            if (g->type == MeshElementTypeWireframe) {
                items.push_back({{"type", "wireframe"},
                                 {"vertices", g->positions.size()},
                                 {"edges", g->edges.size()}});
            } else {
                items.push_back({{"type", "solid"},
                                 {"vertices", g->positions.size()},
                                 {"triangles", g->triangles.size()}});
            }
        }
        nodes.push_back({{"name", n.name},
                         {"markers", markers},
                         {"polylines", polylines},
                         {"renderItems", items}});
    }
    out << json{{"nodes", nodes}}.dump(1) << '\n';
    if (!out) {
        error = "the drawing could not be written";
        return false;
    }
    return true;
}

bool WriteDrawingGlb(const Drawing& drawing, std::ostream& out, std::string& error) {
    if (!CheckFinite(drawing, error)) return false;
    const double unit = GetMasterScale(UNITS_METERS);
    if (!(unit > 0.0) || !std::isfinite(unit)) {
        error = "the system unit is not a positive length";
        return false;
    }
    const auto metres = static_cast<float>(unit);
    GlbBuilder glb;
    json meshes = json::array();
    json nodes = json::array();
    json sceneNodes = json::array();
    for (const NodeDrawing& n : drawing.nodes) {
        Vertices points;
        for (const DrawnMarker& m : n.drawn.markers) points.Add(m.point, m.color, metres);
        Vertices lines;
        for (const DrawnPolyline& l : n.drawn.polylines) {
            const std::size_t k = l.points.size();
            for (std::size_t i = 1; i < k; ++i) {
                lines.Add(l.points[i - 1], l.color, metres);
                lines.Add(l.points[i], l.color, metres);
            }
            if (l.closed && k > 2) {
                lines.Add(l.points[k - 1], l.color, metres);
                lines.Add(l.points[0], l.color, metres);
            }
        }
        const Point3 wire(Color(n.wireColor).r, Color(n.wireColor).g, Color(n.wireColor).b);
        for (const auto& item : n.renderItems) {
            const RenderItemGeometry* g = item.GetGeometry();
            if (g == nullptr || g->type != MeshElementTypeWireframe) continue;
            for (const auto& e : g->edges) {
                lines.Add(g->positions[static_cast<std::size_t>(e[0])] * n.objectTM, wire, metres);
                lines.Add(g->positions[static_cast<std::size_t>(e[1])] * n.objectTM, wire, metres);
            }
        }
        json primitives = json::array();
        if (points.Count() > 0) primitives.push_back(glb.Primitive(points, kPoints));
        if (lines.Count() > 0) primitives.push_back(glb.Primitive(lines, kLines));
        if (primitives.empty()) continue;
        meshes.push_back({{"name", n.name}, {"primitives", primitives}});
        nodes.push_back({{"name", n.name}, {"mesh", meshes.size() - 1}});
        sceneNodes.push_back(nodes.size() - 1);
    }
    json doc = {{"asset", {{"version", "2.0"}, {"generator", "trellon-host draw"}}},
                {"scene", 0},
                {"scenes", json::array({{{"nodes", sceneNodes}}})}};
    if (!nodes.empty()) {
        doc["nodes"] = nodes;
        doc["meshes"] = meshes;
        doc["accessors"] = glb.accessors;
        doc["bufferViews"] = glb.bufferViews;
        doc["buffers"] = json::array({{{"byteLength", glb.bin.size()}}});
    }
    std::string text = doc.dump();
    text.resize((text.size() + 3) / 4 * 4, ' ');
    std::vector<unsigned char>& bin = glb.bin;
    bin.resize((bin.size() + 3) / 4 * 4, 0);
    const std::uint64_t total = 12 + 8 + text.size() + (bin.empty() ? 0 : 8 + bin.size());
    if (total > std::numeric_limits<std::uint32_t>::max()) {
        error = "the drawing is too large for a .glb file";
        return false;
    }
    out.write("glTF", 4);
    PutU32(out, 2);
    PutU32(out, static_cast<std::uint32_t>(total));
    PutU32(out, static_cast<std::uint32_t>(text.size()));
    out.write("JSON", 4);
    out.write(text.data(), static_cast<std::streamsize>(text.size()));
    if (!bin.empty()) {
        PutU32(out, static_cast<std::uint32_t>(bin.size()));
        out.write("BIN\0", 4);
        out.write(reinterpret_cast<const char*>(bin.data()),
                  static_cast<std::streamsize>(bin.size()));
    }
    if (!out) {
        error = "the drawing could not be written";
        return false;
    }
    return true;
}

bool WriteDrawing(const Drawing& drawing, const std::string& path, std::string& error) {
    std::string ext = std::filesystem::path(path).extension().string();
    std::transform(ext.begin(), ext.end(), ext.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    const bool glb = ext == ".glb";
    if (!glb && ext != ".json") {
        error = path + ": the drawing is written as .json or .glb, not '" + ext + "'";
        return false;
    }
    // Written to memory first, so a drawing that cannot be written leaves no file behind.
    std::ostringstream buffer(glb ? std::ios::binary : std::ios::out);
    if (!(glb ? WriteDrawingGlb(drawing, buffer, error)
              : WriteDrawingJson(drawing, buffer, error))) {
        error = path + ": " + error;
        return false;
    }
    std::ofstream file(path, std::ios::binary);
    file << buffer.str();
    if (!file) {
        error = path + ": cannot write the file";
        return false;
    }
    return true;
}

}  // namespace host
