#include "obj_writer.h"

#include <array>
#include <charconv>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <map>
#include <sstream>
#include <unordered_map>

#include "imtl.h"
#include "inode.h"
#include "materials.h"
#include "output_file.h"
#include "progress_bar.h"

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
    OutputFile file;
    if (!file.Open(path, error)) return false;
    TextOut obj(file);
    obj << "# trellon-host\nmtllib " << mtlPath.filename().string() << '\n';
    MaterialNames materials;
    std::uint64_t facesTotal = 0;
    for (const EvaluatedNode& n : nodes)
        if (IsShown(n.node)) facesTotal += static_cast<std::uint64_t>(n.Geometry().getNumFaces());
    ProgressBar progress("writing " + path);
    std::uint64_t facesDone = 0;
    // OBJ indices are 1-based and count across the whole file.
    long long vertexBase = 1;
    long long tvertBase = 1;
    for (const EvaluatedNode& n : nodes) {
        if (!IsShown(n.node)) continue;
        const Mesh& m = n.Geometry();
        const int numVerts = m.getNumVerts();
        const int numTVerts = m.tvFace ? m.getNumTVerts() : 0;
        obj << "o " << CleanName(n.name) << '\n';
        for (int i = 0; i < numVerts; ++i) {
            const Point3 p = n.objectTM.PointTransform(m.verts[i]);
            obj << "v ";
            obj.Float(p.x);
            obj << ' ';
            obj.Float(p.y);
            obj << ' ';
            obj.Float(p.z);
            obj << '\n';
        }
        for (int i = 0; i < numTVerts; ++i) {
            obj << "vt ";
            obj.Float(m.tVerts[i].x);
            obj << ' ';
            obj.Float(m.tVerts[i].y);
            obj << ' ';
            obj.Float(m.tVerts[i].z);
            obj << '\n';
        }
        const bool mirrored = n.objectTM.Parity() != 0;
        const std::array<int, 3> order =
            mirrored ? std::array<int, 3>{0, 2, 1} : std::array<int, 3>{0, 1, 2};
        // The name each material ID shows, looked up once per ID.
        std::unordered_map<MtlID, std::string> nameOfId;
        const std::string* current = nullptr;
        for (int f = 0; f < m.getNumFaces(); ++f) {
            const Face& face = m.faces[f];
            auto [it, added] = nameOfId.try_emplace(face.getMatID());
            if (added)
                it->second =
                    materials.Name(ShownMaterial(n.material, face.getMatID()), n.wireColor);
            if (current == nullptr || *current != it->second) {
                obj << "usemtl " << it->second << '\n';
                current = &it->second;
            }
            obj << 'f';
            for (const int c : order) {
                const DWORD v = face.v[c];
                if (v >= static_cast<DWORD>(numVerts)) {
                    error = path + ": node \"" + n.name + "\": face " + std::to_string(f) +
                            " refers to vertex " + std::to_string(v) + " of " +
                            std::to_string(numVerts);
                    return false;
                }
                obj << ' ';
                obj.Int(vertexBase + v);
                if (numTVerts > 0) {
                    const DWORD t = m.tvFace[f].t[c];
                    if (t >= static_cast<DWORD>(numTVerts)) {
                        error = path + ": node \"" + n.name + "\": face " + std::to_string(f) +
                                " refers to texture vertex " + std::to_string(t) + " of " +
                                std::to_string(numTVerts);
                        return false;
                    }
                    obj << '/';
                    obj.Int(tvertBase + t);
                }
            }
            obj << '\n';
            if ((f & 0xFFFF) == 0)
                progress.Update(static_cast<double>(facesDone + static_cast<std::uint64_t>(f)) /
                                static_cast<double>(facesTotal));
        }
        facesDone += static_cast<std::uint64_t>(m.getNumFaces());
        vertexBase += numVerts;
        tvertBase += numTVerts;
    }
    // The materials go beside it, written whole or not at all as well.
    std::ostringstream mtl;
    materials.WriteMtl(mtl);
    OutputFile mtlFile;
    if (!mtlFile.Open(mtlPath.string(), error)) return false;
    const std::string mtlText = mtl.str();
    mtlFile.Write(mtlText.data(), mtlText.size());
    return mtlFile.Commit(error) && file.Commit(error);
}

}  // namespace host
