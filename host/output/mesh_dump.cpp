#include "mesh_dump.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <nlohmann/json.hpp>
#include <string_view>

#include "output_file.h"
#include "progress_bar.h"

namespace host {
namespace {

// The dump goes to a file (TextOut) or, for tests and small scenes, to a string; both take the
// same calls.
class StringOut {
public:
    explicit StringOut(std::string& s) : s_(s) {}
    StringOut& operator<<(std::string_view s) {
        s_.append(s);
        return *this;
    }
    StringOut& operator<<(char c) {
        s_.push_back(c);
        return *this;
    }
    void Float(float f, std::string_view nonFinite) {
        if (!std::isfinite(f)) {
            s_.append(nonFinite);
            return;
        }
        char buf[32];
        const auto res = std::to_chars(buf, buf + sizeof buf, f == 0.0f ? 0.0f : f);
        s_.append(buf, res.ptr);
    }
    void Int(std::int64_t i) {
        char buf[24];
        const auto res = std::to_chars(buf, buf + sizeof buf, i);
        s_.append(buf, res.ptr);
    }

private:
    std::string& s_;
};

// JSON has no NaN or infinity: such a coordinate is written as null.
template <class Out>
void Vec(Out& out, const Point3& p) {
    out << '[';
    out.Float(p.x, "null");
    out << ',';
    out.Float(p.y, "null");
    out << ',';
    out.Float(p.z, "null");
    out << ']';
}

template <class Out>
void Triple(Out& out, std::int64_t a, std::int64_t b, std::int64_t c) {
    out << '[';
    out.Int(a);
    out << ',';
    out.Int(b);
    out << ',';
    out.Int(c);
    out << ']';
}

// One array on one line: `"key": [item, item, ...]`, item(i) writing entry i.
template <class Out, class Item>
void Array(Out& out, const char* key, std::int64_t count, Item item, bool last = false) {
    out << "   \"" << key << "\": [";
    for (std::int64_t i = 0; i < count; ++i) {
        if (i > 0) out << ',';
        item(i);
    }
    out << (last ? "]" : "],\n");
}

template <class Out>
void Node(Out& out, const EvaluatedNode& n, bool first, ProgressBar* progress) {
    const Mesh& m = n.Geometry();
    out << (first ? "  {" : ",\n  {");
    // Names are UTF-8 from the host's own conversion; replace rather than throw on anything else.
    out << "\"name\": "
        << nlohmann::json(n.name).dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
    // Hidden nodes (sources of Trellon objects, mostly) are in the dump, marked.
    if (n.node && !IsShown(n.node)) out << ", \"hidden\": true";
    out << ",\n";
    Array(out, "transform", 4,
          [&](std::int64_t r) { Vec(out, n.objectTM.GetRow(static_cast<int>(r))); });
    const int nf = m.getNumFaces();
    Array(out, "vertices", m.getNumVerts(), [&](std::int64_t i) { Vec(out, m.verts[i]); });
    if (progress) progress->Update(0.3);
    Array(out, "faces", nf, [&](std::int64_t i) {
        const Face& f = m.faces[i];
        Triple(out, f.v[0], f.v[1], f.v[2]);
    });
    if (progress) progress->Update(0.6);
    Array(out, "materialIds", nf, [&](std::int64_t i) { out.Int(m.faces[i].getMatID()); });
    Array(out, "smoothingGroups", nf, [&](std::int64_t i) { out.Int(m.faces[i].getSmGroup()); });
    Array(out, "edgeVisibility", nf, [&](std::int64_t i) {
        const Face& f = m.faces[i];
        Triple(out, f.getEdgeVis(0) ? 1 : 0, f.getEdgeVis(1) ? 1 : 0, f.getEdgeVis(2) ? 1 : 0);
    });
    if (progress) progress->Update(0.8);
    const bool uvs = m.getNumTVerts() > 0 && m.tvFace != nullptr;
    Array(out, "tvertices", uvs ? m.getNumTVerts() : 0,
          [&](std::int64_t i) { Vec(out, m.tVerts[i]); });
    Array(
        out, "tvfaces", uvs ? nf : 0,
        [&](std::int64_t i) {
            const TVFace& t = m.tvFace[i];
            Triple(out, t.t[0], t.t[1], t.t[2]);
        },
        true);
    out << '}';
}

template <class Out>
void Dump(Out& out, const std::vector<EvaluatedNode>& nodes, ProgressBar* progress) {
    out << "{\"nodes\": [\n";
    for (std::size_t i = 0; i < nodes.size(); ++i) {
        if (progress) progress->SetPhase("writing " + nodes[i].name);
        Node(out, nodes[i], i == 0, progress);
    }
    out << (nodes.empty() ? "]}\n" : "\n]}\n");
}

}  // namespace

std::string MeshDumpText(const std::vector<EvaluatedNode>& nodes) {
    std::string text;
    StringOut out(text);
    Dump(out, nodes, nullptr);
    return text;
}

bool WriteMeshDump(const std::vector<EvaluatedNode>& nodes, const std::string& path,
                   std::string& error) {
    OutputFile file;
    if (!file.Open(path, error)) return false;
    TextOut out(file);
    ProgressBar progress("writing " + path);
    Dump(out, nodes, &progress);
    return file.Commit(error);
}

}  // namespace host
