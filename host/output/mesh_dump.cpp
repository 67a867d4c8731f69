#include "mesh_dump.h"

#include <fstream>
#include <nlohmann/json.hpp>

#include "json_number.h"

namespace host {
namespace {

using json = nlohmann::ordered_json;

json Vec(const Point3& p) {
    return json::array({JsonNumber(p.x), JsonNumber(p.y), JsonNumber(p.z)});
}

json NodeJson(const EvaluatedNode& n) {
    const Mesh& m = n.mesh;
    json transform = json::array();
    for (int r = 0; r < 4; ++r) transform.push_back(Vec(n.objectTM.GetRow(r)));
    json verts = json::array(), faces = json::array(), ids = json::array(), groups = json::array(),
         vis = json::array(), tverts = json::array(), tvfaces = json::array();
    for (int i = 0; i < m.getNumVerts(); ++i) verts.push_back(Vec(m.verts[i]));
    for (int i = 0; i < m.getNumFaces(); ++i) {
        const Face& f = m.faces[i];
        faces.push_back({f.v[0], f.v[1], f.v[2]});
        ids.push_back(f.getMatID());
        groups.push_back(f.getSmGroup());
        vis.push_back({f.getEdgeVis(0) ? 1 : 0, f.getEdgeVis(1) ? 1 : 0, f.getEdgeVis(2) ? 1 : 0});
    }
    if (m.getNumTVerts() > 0 && m.tvFace != nullptr) {
        for (int i = 0; i < m.getNumTVerts(); ++i) tverts.push_back(Vec(m.tVerts[i]));
        for (int i = 0; i < m.getNumFaces(); ++i) {
            tvfaces.push_back({m.tvFace[i].t[0], m.tvFace[i].t[1], m.tvFace[i].t[2]});
        }
    }
    json j = json::object();
    j["name"] = n.name;
    // Hidden nodes (sources of Trellon objects, mostly) are in the dump, marked.
    if (n.node && !IsShown(n.node)) j["hidden"] = true;
    j["transform"] = std::move(transform);
    j["vertices"] = std::move(verts);
    j["faces"] = std::move(faces);
    j["materialIds"] = std::move(ids);
    j["smoothingGroups"] = std::move(groups);
    j["edgeVisibility"] = std::move(vis);
    j["tvertices"] = std::move(tverts);
    j["tvfaces"] = std::move(tvfaces);
    return j;
}

}  // namespace

std::string MeshDumpText(const std::vector<EvaluatedNode>& nodes) {
    json list = json::array();
    for (const EvaluatedNode& n : nodes) list.push_back(NodeJson(n));
    json doc = json::object();
    doc["nodes"] = std::move(list);
    // Names are UTF-8 from the host's own conversion; replace rather than throw on anything else.
    return doc.dump(2, ' ', false, json::error_handler_t::replace) + "\n";
}

bool WriteMeshDump(const std::vector<EvaluatedNode>& nodes, const std::string& path,
                   std::string& error) {
    const std::string text = MeshDumpText(nodes);
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    if (out) out << text;
    if (!out) {
        error = path + ": cannot write the file";
        return false;
    }
    return true;
}

}  // namespace host
