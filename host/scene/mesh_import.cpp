#include "mesh_import.h"

#include <assimp/postprocess.h>
#include <assimp/scene.h>
#include <assimp/Importer.hpp>

#include <cmath>
#include <limits>
#include <vector>

namespace host {
namespace {

constexpr std::size_t kMaxCount = static_cast<std::size_t>(std::numeric_limits<int>::max());

class Merger {
public:
    Merger(const aiScene& scene, ImportedMesh& out)
        : scene_(scene), out_(out), ids_(scene.mNumMaterials, 0) {
        // The materials the triangle meshes use, numbered in the file's order: importers add
        // default materials of their own and may leave out the unused ones.
        std::vector<bool> used(scene.mNumMaterials, false);
        for (unsigned m = 0; m < scene.mNumMeshes; ++m) {
            const aiMesh& mesh = *scene.mMeshes[m];
            if ((mesh.mPrimitiveTypes & aiPrimitiveType_TRIANGLE) == 0) continue;
            if (mesh.HasTextureCoords(0)) hasUvs_ = true;
            if (mesh.mMaterialIndex < scene.mNumMaterials) used[mesh.mMaterialIndex] = true;
        }
        unsigned next = 0;
        for (unsigned k = 0; k < scene.mNumMaterials; ++k) {
            if (used[k]) ids_[k] = next++;
        }
    }

    // Appends the meshes of node and its children, depth first; false when the result grows
    // past the limits.
    bool Node(const aiNode& node, const aiMatrix4x4& parent) {
        const aiMatrix4x4 tm = parent * node.mTransformation;
        for (unsigned k = 0; k < node.mNumMeshes; ++k) {
            if (node.mMeshes[k] >= scene_.mNumMeshes) continue;
            if (!Mesh(*scene_.mMeshes[node.mMeshes[k]], tm)) return false;
        }
        for (unsigned c = 0; c < node.mNumChildren; ++c) {
            if (node.mChildren[c] && !Node(*node.mChildren[c], tm)) return false;
        }
        return true;
    }

private:
    bool Mesh(const aiMesh& mesh, const aiMatrix4x4& tm) {
        if ((mesh.mPrimitiveTypes & aiPrimitiveType_TRIANGLE) == 0) return true;
        const std::size_t base = out_.vertices.size();
        if (base + mesh.mNumVertices > kMaxCount ||
            out_.faces.size() + mesh.mNumFaces > kMaxCount) {
            return false;
        }
        for (unsigned v = 0; v < mesh.mNumVertices; ++v) {
            const aiVector3D p = tm * mesh.mVertices[v];
            out_.vertices.emplace_back(p.x, p.y, p.z);
            if (!hasUvs_) continue;
            if (mesh.HasTextureCoords(0)) {
                const aiVector3D& uv = mesh.mTextureCoords[0][v];
                out_.uvs.emplace_back(uv.x, uv.y, uv.z);
            } else {
                out_.uvs.emplace_back(0.0f, 0.0f, 0.0f);
            }
        }
        const bool mirrored = tm.Determinant() < 0.0f;
        const unsigned id = mesh.mMaterialIndex < ids_.size() ? ids_[mesh.mMaterialIndex] : 0;
        for (unsigned f = 0; f < mesh.mNumFaces; ++f) {
            const aiFace& face = mesh.mFaces[f];
            if (face.mNumIndices != 3) continue;
            std::array<unsigned, 3> tri{};
            for (int c = 0; c < 3; ++c) {
                tri[static_cast<std::size_t>(c)] = static_cast<unsigned>(base) + face.mIndices[c];
            }
            if (mirrored) std::swap(tri[1], tri[2]);
            out_.faces.push_back(tri);
            out_.materialIds.push_back(id);
        }
        return true;
    }

    const aiScene& scene_;
    ImportedMesh& out_;
    std::vector<unsigned> ids_;  // material ID by the importer's material index
    bool hasUvs_ = false;
};

}  // namespace

bool ImportMeshFile(const std::string& path, ImportedMesh& out, std::string& error) {
    Assimp::Importer importer;
    // Points and lines are sorted into meshes of their own, which the merge leaves out.
    importer.SetPropertyInteger(AI_CONFIG_PP_SBP_REMOVE,
                                aiPrimitiveType_POINT | aiPrimitiveType_LINE);
    const unsigned flags = aiProcess_Triangulate | aiProcess_JoinIdenticalVertices |
                           aiProcess_SortByPType | aiProcess_ValidateDataStructure;
    const aiScene* scene = importer.ReadFile(path, flags);
    if (!scene || (scene->mFlags & AI_SCENE_FLAGS_INCOMPLETE) != 0 || !scene->mRootNode) {
        const char* why = importer.GetErrorString();
        error = std::string("cannot be imported: ") + (why && *why ? why : "no scene in the file");
        return false;
    }
    ImportedMesh merged;
    Merger merger(*scene, merged);
    if (!merger.Node(*scene->mRootNode, aiMatrix4x4())) {
        error = "is too large for one mesh";
        return false;
    }
    if (merged.faces.empty()) {
        error = "has no triangles";
        return false;
    }
    for (const Point3& p : merged.vertices) {
        if (!std::isfinite(p.x) || !std::isfinite(p.y) || !std::isfinite(p.z)) {
            error = "has a vertex that is not a finite number";
            return false;
        }
    }
    out = std::move(merged);
    return true;
}

}  // namespace host
