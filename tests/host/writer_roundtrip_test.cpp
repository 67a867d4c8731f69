// The writers read back: a mesh written as .glb or .obj and read again with assimp, or dumped as
// .json and parsed again, gives the same corners face for face (positions, texture
// coordinates), the same material per face, and nothing more, as floats equal to the last bit.
// The scene is in metres with identity transforms, so a .glb corner (x, y, z) is the host's
// (x, -z, y) exactly and an .obj corner is the host's own.
#include <gtest/gtest.h>

#include <assimp/postprocess.h>
#include <assimp/scene.h>
#include <assimp/Importer.hpp>

#include <algorithm>
#include <array>
#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "evaluated_scene.h"
#include "glb_file.h"
#include "gltf_writer.h"
#include "mesh_dump.h"
#include "obj_writer.h"
#include "scene.h"
#include "scene_reader.h"
#include "support/keep_units.h"
#include "support/scratch_dir.h"
#include "support/text_files.h"

namespace {

namespace fs = std::filesystem;

// One corner as read back: host position and texture coordinate (u, v).
struct Corner {
    std::array<float, 3> p;
    std::array<float, 2> uv;
    bool operator==(const Corner&) const = default;
};
struct ReadFace {
    std::array<Corner, 3> corners;
    int material;  // 0 Red, 1 Blue
    bool operator==(const ReadFace&) const = default;
};

// The meshes: `Quad` (two faces, one Red and one Blue, with texture coordinates in quarters),
// `Empty` (nothing), `Wide` (25,000 separate triangles, every tenth Blue: 22,500 Red ones with
// 67,500 vertices, past what unsigned short indices can count, and 2,500 Blue ones with 7,500,
// which can) and `Halves` (60,000 separate triangles, every other one Blue: 90,000 vertices a
// material, the Blue ones' 2.2 MB more than one write buffer).
std::string MeshJson(const std::string& which) {
    if (which == "Quad") {
        return R"({"type": "mesh", "vertices": [[0, 0, 0], [1.5, 0, 0], [1.5, 2.25, 0.5], [0, 2.25, 0.5]],
                   "faces": [[0, 1, 2], [0, 2, 3]], "materialIds": [0, 1],
                   "uvs": [[0, 0], [0.25, 0], [0.25, 0.75], [0, 0.75]], "uvFaces": [[0, 1, 2], [0, 2, 3]]})";
    }
    if (which == "Empty") return R"({"type": "mesh", "vertices": [], "faces": []})";
    const bool halves = which == "Halves";
    std::string verts, faces, ids;
    for (int f = 0; f < (halves ? 60000 : 25000); ++f) {
        const std::string x = std::to_string(f);
        verts += (f ? "," : "") + ("[" + x + ",0,0],[" + x + ".5,0,0],[" + x + ",1,0.125]");
        faces += (f ? "," : "") + ("[" + std::to_string(3 * f) + "," + std::to_string(3 * f + 1) +
                                   "," + std::to_string(3 * f + 2) + "]");
        ids += (f ? "," : "") + std::string((halves ? f % 2 == 1 : f % 10 == 9) ? "1" : "0");
    }
    return R"({"type": "mesh", "vertices": [)" + verts + R"(], "faces": [)" + faces +
           R"(], "materialIds": [)" + ids + "]}";
}

class WriterRoundTrip : public testing::TestWithParam<std::tuple<const char*, const char*>> {
protected:
    void SetUp() override {
        const std::string mesh = std::get<1>(GetParam());
        host::LoadSceneText(
            R"({"format": "trellon-scene", "version": 1, "units": "meters",
                "materials": [{"name": "Red", "class": "Standard", "diffuse": [1, 0, 0]},
                              {"name": "Blue", "class": "Standard", "diffuse": [0, 0, 1]},
                              {"name": "Both", "class": "Multi/Sub-Object", "subMaterials": ["Red", "Blue"]}],
                "nodes": [{"name": "M", "material": "Both", "object": )" +
                MeshJson(mesh) + "}]}",
            "roundtrip.scene.json", scene_);
        nodes_ = host::EvaluateScene(scene_, 0);
        ASSERT_EQ(nodes_.size(), 1u);
    }
    // The faces as the host has them.
    std::vector<ReadFace> Expected() const {
        const Mesh& m = nodes_[0].Geometry();
        std::vector<ReadFace> faces;
        for (int f = 0; f < m.getNumFaces(); ++f) {
            ReadFace face{};
            face.material = m.faces[f].getMatID();
            for (int k = 0; k < 3; ++k) {
                const Point3& p = m.verts[m.faces[f].v[k]];
                face.corners[static_cast<std::size_t>(k)].p = {p.x, p.y, p.z};
                if (m.tvFace) {
                    const UVVert& t = m.tVerts[m.tvFace[f].t[k]];
                    face.corners[static_cast<std::size_t>(k)].uv = {t.x, t.y};
                }
            }
            faces.push_back(face);
        }
        return faces;
    }

    // Faces as assimp reads them, mesh after mesh (a material each), in file order. `glb`: the
    // axes go back from glTF's (x, z, -y), and v back from the image's downward v.
    std::vector<ReadFace> Import(const std::string& path, bool glb) {
        const aiScene* s = importer_.ReadFile(path, aiProcess_ValidateDataStructure);
        EXPECT_NE(s, nullptr) << importer_.GetErrorString();
        std::vector<ReadFace> faces;
        if (!s) return faces;
        for (unsigned i = 0; i < s->mNumMeshes; ++i) {
            const aiMesh* mesh = s->mMeshes[i];
            const std::string name = s->mMaterials[mesh->mMaterialIndex]->GetName().C_Str();
            for (unsigned f = 0; f < mesh->mNumFaces; ++f) {
                ReadFace face{};
                face.material = name == "Blue" ? 1 : (name == "Red" ? 0 : -1);
                for (unsigned k = 0; k < 3; ++k) {
                    const unsigned v = mesh->mFaces[f].mIndices[k];
                    const aiVector3D& p = mesh->mVertices[v];
                    Corner& c = face.corners[k];
                    c.p = glb ? std::array<float, 3>{p.x, -p.z, p.y}
                              : std::array<float, 3>{p.x, p.y, p.z};
                    if (mesh->HasTextureCoords(0)) {
                        const aiVector3D& t = mesh->mTextureCoords[0][v];
                        c.uv = {t.x, t.y};
                    }
                }
                faces.push_back(face);
            }
        }
        return faces;
    }

    support::KeepUnits units_;
    host::Scene scene_;
    std::vector<host::EvaluatedNode> nodes_;
    support::ScratchDir dir_;
    Assimp::Importer importer_;
};

TEST_P(WriterRoundTrip, SameCornersMaterialsAndTextureCoordinates) {
    const std::string kind = std::get<0>(GetParam());
    const std::string path = (dir_ / ("out." + kind)).string();
    std::string error;
    std::vector<ReadFace> back;
    if (kind == "glb") {
        ASSERT_TRUE(host::WriteGlb(nodes_, scene_, path, error)) << error;
        // The container and accessor rules, the index type by the vertex count among them.
        glbtest::Glb glb;
        ASSERT_TRUE(glbtest::ReadGlb(path, glb, error)) << error;
        glbtest::ExpectValid(glb);
        back = Import(path, true);
    } else if (kind == "obj") {
        ASSERT_TRUE(host::WriteObj(nodes_, path, error)) << error;
        if (Expected().empty()) {
            // assimp reads no file without geometry; the object is there, with no vertex or face.
            EXPECT_EQ(support::ReadText(path), "# trellon-host\nmtllib out.mtl\no M\n");
            return;
        }
        back = Import(path, false);
    } else {
        ASSERT_TRUE(host::WriteMeshDump(nodes_, path, error)) << error;
        std::ifstream in(path);
        const nlohmann::json doc = nlohmann::json::parse(in);
        const nlohmann::json& n = doc["nodes"][0];
        const auto f32 = [](const nlohmann::json& x) {
            return static_cast<float>(x.get<double>());
        };
        for (std::size_t f = 0; f < n["faces"].size(); ++f) {
            ReadFace face{};
            face.material = n["materialIds"][f].get<int>();
            for (std::size_t k = 0; k < 3; ++k) {
                const nlohmann::json& p = n["vertices"][n["faces"][f][k].get<std::size_t>()];
                face.corners[k].p = {f32(p[0]), f32(p[1]), f32(p[2])};
                if (!n["tvfaces"].empty()) {
                    const nlohmann::json& t = n["tvertices"][n["tvfaces"][f][k].get<std::size_t>()];
                    face.corners[k].uv = {f32(t[0]), f32(t[1])};
                }
            }
            back.push_back(face);
        }
    }
    EXPECT_FALSE(fs::exists(path + ".part"));
    std::vector<ReadFace> expected = Expected();
    ASSERT_EQ(back.size(), expected.size());
    // A .glb holds a material's faces together, in their order: compare material by material.
    auto byMaterial = [](const ReadFace& a, const ReadFace& b) { return a.material < b.material; };
    std::stable_sort(expected.begin(), expected.end(), byMaterial);
    std::stable_sort(back.begin(), back.end(), byMaterial);
    for (std::size_t f = 0; f < expected.size(); ++f) {
        // glTF stores 1 - v; reading it back gives 1 - (1 - v), which is v for these quarters.
        EXPECT_EQ(back[f], expected[f]) << "face " << f;
    }
}

INSTANTIATE_TEST_SUITE_P(Writers, WriterRoundTrip,
                         testing::Combine(testing::Values("glb", "obj", "json"),
                                          testing::Values("Quad", "Empty", "Wide", "Halves")),
                         [](const auto& tp) {
                             return std::string(std::get<0>(tp.param)) + "_" +
                                    std::get<1>(tp.param);
                         });

}  // namespace
