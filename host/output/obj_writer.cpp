#include "obj_writer.h"

#include <charconv>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

#include "imtl.h"
#include "inode.h"
#include "materials.h"

namespace host {
namespace {

// The shortest text that reads back as the same float.
void Put(std::ostream& os, float f) {
    char buf[32];
    const auto res = std::to_chars(buf, buf + sizeof buf, f == 0.0f ? 0.0f : f);
    os.write(buf, res.ptr - buf);
}

std::string CleanName(const std::string& name) {
    std::string out = name.empty() ? std::string("unnamed") : name;
    for (char& c : out) {
        if (c == ' ' || c == '\t' || c == '\r' || c == '\n') c = '_';
    }
    return out;
}

std::string WireName(DWORD wire) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "wire_%02X%02X%02X", static_cast<unsigned>(wire & 0xFF),
                  static_cast<unsigned>((wire >> 8) & 0xFF),
                  static_cast<unsigned>((wire >> 16) & 0xFF));
    return buf;
}

// The materials the faces show, each under one unique name, in the order first used.
class MaterialNames {
public:
    std::string Name(Mtl* m, DWORD wire) {
        if (!m) {
            const std::string name = WireName(wire & 0xFFFFFF);
            if (wires_.emplace(name, wire & 0xFFFFFF).second)
                order_.push_back({name, nullptr, wire});
            return name;
        }
        auto [it, added] = names_.try_emplace(m);
        if (!added) return it->second;
        std::string base = CleanName(m->GetName().ToUTF8());
        std::string name = base;
        for (int k = 2; taken_.count(name) != 0; ++k) name = base + "_" + std::to_string(k);
        taken_.insert({name, 0});
        it->second = name;
        order_.push_back({name, m, 0});
        return name;
    }

    void WriteMtl(std::ostream& os) const {
        for (const Entry& e : order_) {
            os << "newmtl " << e.name << "\nKd ";
            const auto channel = [&e](int k) { return ((e.wire >> (8 * k)) & 0xFF) / 255.0f; };
            const Color c = e.mtl ? e.mtl->GetDiffuse() : Color(channel(0), channel(1), channel(2));
            Put(os, c.r);
            os << ' ';
            Put(os, c.g);
            os << ' ';
            Put(os, c.b);
            os << '\n';
            if (auto* hm = dynamic_cast<Material*>(e.mtl)) {
                if (auto* map = dynamic_cast<BitmapMap*>(hm->DiffuseMap())) {
                    os << "map_Kd " << ToUTF8(map->File()) << '\n';
                }
            }
            os << '\n';
        }
    }

private:
    struct Entry {
        std::string name;
        Mtl* mtl;
        DWORD wire;
    };
    std::map<Mtl*, std::string> names_;
    std::map<std::string, int> taken_;
    std::map<std::string, DWORD> wires_;
    std::vector<Entry> order_;
};

}  // namespace

bool WriteObj(const std::vector<EvaluatedNode>& nodes, const std::string& path,
              std::string& error) {
    const std::filesystem::path mtlPath = std::filesystem::path(path).replace_extension(".mtl");
    std::ostringstream obj;
    obj << "# trellon-host\nmtllib " << mtlPath.filename().string() << '\n';
    MaterialNames materials;
    // OBJ indices are 1-based and count across the whole file.
    long long vertexBase = 1;
    long long tvertBase = 1;
    for (const EvaluatedNode& n : nodes) {
        if (!IsShown(n.node)) continue;
        const Mesh& m = n.mesh;
        const int numVerts = m.getNumVerts();
        const int numTVerts = m.tvFace ? m.getNumTVerts() : 0;
        obj << "o " << CleanName(n.name) << '\n';
        for (int i = 0; i < numVerts; ++i) {
            const Point3 p = n.objectTM.PointTransform(m.verts[i]);
            obj << "v ";
            Put(obj, p.x);
            obj << ' ';
            Put(obj, p.y);
            obj << ' ';
            Put(obj, p.z);
            obj << '\n';
        }
        for (int i = 0; i < numTVerts; ++i) {
            obj << "vt ";
            Put(obj, m.tVerts[i].x);
            obj << ' ';
            Put(obj, m.tVerts[i].y);
            obj << ' ';
            Put(obj, m.tVerts[i].z);
            obj << '\n';
        }
        const bool mirrored = n.objectTM.Parity() != 0;
        std::string current;
        for (int f = 0; f < m.getNumFaces(); ++f) {
            const Face& face = m.faces[f];
            const std::string mtl =
                materials.Name(ShownMaterial(n.material, face.getMatID()), n.wireColor);
            if (mtl != current) {
                obj << "usemtl " << mtl << '\n';
                current = mtl;
            }
            int order[3] = {0, 1, 2};
            if (mirrored) std::swap(order[1], order[2]);
            obj << 'f';
            for (int c : order) {
                const DWORD v = face.v[c];
                if (v >= static_cast<DWORD>(numVerts)) {
                    error = path + ": node \"" + n.name + "\": face " + std::to_string(f) +
                            " refers to vertex " + std::to_string(v) + " of " +
                            std::to_string(numVerts);
                    return false;
                }
                obj << ' ' << vertexBase + v;
                if (numTVerts > 0) {
                    const DWORD t = m.tvFace[f].t[c];
                    if (t >= static_cast<DWORD>(numTVerts)) {
                        error = path + ": node \"" + n.name + "\": face " + std::to_string(f) +
                                " refers to texture vertex " + std::to_string(t) + " of " +
                                std::to_string(numTVerts);
                        return false;
                    }
                    obj << '/' << tvertBase + t;
                }
            }
            obj << '\n';
        }
        vertexBase += numVerts;
        tvertBase += numTVerts;
    }
    std::ostringstream mtl;
    materials.WriteMtl(mtl);
    for (const auto& [file, text] :
         {std::pair{path, obj.str()}, std::pair{mtlPath.string(), mtl.str()}}) {
        std::ofstream out(file, std::ios::binary | std::ios::trunc);
        if (out) out << text;
        if (!out) {
            error = file + ": cannot write the file";
            return false;
        }
    }
    return true;
}

}  // namespace host
