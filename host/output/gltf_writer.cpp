#include "gltf_writer.h"

// Debian ships tinygltf as a shared library built from its header (libtinygltf), so the header is
// included here for its declarations only, without TINYGLTF_IMPLEMENTATION; its JSON (nlohmann)
// and image (stb) code live in that library.
#include <tiny_gltf.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <limits>
#include <map>
#include <unordered_map>

#include "color.h"
#include "imtl.h"
#include "inode.h"
#include "matrix3.h"
#include "quat.h"
#include "scene.h"
#include "units.h"

namespace host {
namespace {

constexpr double kRoughness = 0.7;
// Two axes of a transform count as perpendicular while the cosine of their angle stays below
// this: float products of rotations and scales stay far inside it, a real shear does not.
constexpr double kShearTolerance = 1e-5;
// Nested multi materials are followed this deep; a deeper (or cyclic) chain shows the wire colour.
constexpr int kMaxMultiDepth = 8;
// A .glb states its length in 32 bits; the binary chunk must leave room for the JSON.
constexpr std::uint64_t kMaxBinaryBytes = 0xFFFFFFFFull - (64ull << 20);

// The host's Z-up frame to glTF's Y-up frame, as a row-vector transform: (x, y, z) -> (x, z, -y).
Matrix3 ZUpToYUp() {
    return Matrix3(Point3(1.0f, 0.0f, 0.0f), Point3(0.0f, 0.0f, -1.0f), Point3(0.0f, 1.0f, 0.0f),
                   Point3(0.0f, 0.0f, 0.0f));
}

bool Finite(const Point3& p) {
    return std::isfinite(p.x) && std::isfinite(p.y) && std::isfinite(p.z);
}

double Dot(const Point3& a, const Point3& b) {
    return double(a.x) * b.x + double(a.y) * b.y + double(a.z) * b.z;
}

double SrgbToLinear(float c) {
    const double v = std::isfinite(c) ? std::clamp(static_cast<double>(c), 0.0, 1.0) : 0.0;
    return v <= 0.04045 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
}

std::string NodeLabel(const EvaluatedNode& n) { return "node '" + n.name + "'"; }

// The material a face with material ID `id` shows (null: the wire colour).
Mtl* ShownMaterial(Mtl* m, int id) {
    for (int depth = 0; m && m->IsMultiMtl(); ++depth) {
        const int n = m->NumSubMtls();
        if (n <= 0 || depth == kMaxMultiDepth) return nullptr;
        m = m->GetSubMtl(id % n);
    }
    return m;
}

// The glTF materials, one per host material shown and one per wire colour used without one.
class MaterialTable {
public:
    explicit MaterialTable(tinygltf::Model& model) : model_(model) {}

    int Index(Mtl* m, DWORD wireColor) {
        if (m) {
            auto [it, added] = byMtl_.try_emplace(m, 0);
            if (added) it->second = Add(m->GetName().ToUTF8(), m->GetDiffuse());
            return it->second;
        }
        const DWORD rgb = wireColor & 0x00FFFFFFu;
        auto [it, added] = byWire_.try_emplace(rgb, 0);
        if (added) {
            char name[16];
            std::snprintf(name, sizeof(name), "Wire %02X%02X%02X", GetRValue(rgb), GetGValue(rgb),
                          GetBValue(rgb));
            it->second = Add(name, Color(rgb));
        }
        return it->second;
    }

private:
    int Add(const std::string& name, const Color& diffuse) {
        tinygltf::Material mat;
        mat.name = name;
        mat.pbrMetallicRoughness.baseColorFactor = {
            SrgbToLinear(diffuse.r), SrgbToLinear(diffuse.g), SrgbToLinear(diffuse.b), 1.0};
        mat.pbrMetallicRoughness.metallicFactor = 0.0;
        mat.pbrMetallicRoughness.roughnessFactor = kRoughness;
        model_.materials.push_back(std::move(mat));
        return static_cast<int>(model_.materials.size()) - 1;
    }

    tinygltf::Model& model_;
    std::map<Mtl*, int> byMtl_;
    std::map<DWORD, int> byWire_;
};

// How one node's object space reaches glTF: vertices go through vertexTM (units, axes and any
// baked part), normals through normalTM, and the node carries translation, rotation and scale.
struct NodeFrame {
    Matrix3 vertexTM{1};
    Matrix3 normalTM{1};
    bool reverse = false;  // vertexTM mirrors: the corners are written in reverse order
    std::vector<double> translation;
    std::vector<double> rotation;
    std::vector<double> scale;
};

// The matrix that carries normals along with p -> p * m: for rows a, b, c its rows are b x c,
// c x a and a x b (the cofactors, which also serve a singular m), negated when m mirrors, since
// the corners are then reversed and the outside must stay outside.
void SetNormalTM(NodeFrame& frame) {
    const Point3 a = frame.vertexTM.GetRow(0);
    const Point3 b = frame.vertexTM.GetRow(1);
    const Point3 c = frame.vertexTM.GetRow(2);
    frame.reverse = Dot(a, CrossProd(b, c)) < 0.0;
    const float sign = frame.reverse ? -1.0f : 1.0f;
    frame.normalTM = Matrix3(CrossProd(b, c) * sign, CrossProd(c, a) * sign, CrossProd(a, b) * sign,
                             Point3(0.0f, 0.0f, 0.0f));
}

// Rotation and (signed) scale of a linear part whose rows are perpendicular: row i is
// scale_i * u_i with u an orthonormal right-handed frame. A mirror goes into the X scale.
void SetRotationScale(const Matrix3& world, NodeFrame& frame) {
    Point3 rows[3];
    double len[3];
    for (int i = 0; i < 3; ++i) {
        rows[i] = world.GetRow(i);
        len[i] = std::sqrt(Dot(rows[i], rows[i]));
    }
    if (Dot(rows[0], CrossProd(rows[1], rows[2])) < 0.0) len[0] = -len[0];
    Point3 u[3];
    int present = 0;
    for (int i = 0; i < 3; ++i) {
        if (len[i] != 0.0) {
            u[i] = rows[i] * static_cast<float>(1.0 / len[i]);
            ++present;
        }
    }
    // A zero scale leaves an axis without direction; any direction completing the frame will do.
    if (present == 0) {
        u[0] = Point3(1.0f, 0.0f, 0.0f);
        u[1] = Point3(0.0f, 1.0f, 0.0f);
        u[2] = Point3(0.0f, 0.0f, 1.0f);
    } else if (present < 3) {
        int i = 0;
        while (len[i] == 0.0) ++i;
        const int j = (i + 1) % 3;
        const int k = (i + 2) % 3;
        if (len[j] == 0.0 && len[k] == 0.0) {
            const Point3 other =
                std::fabs(u[i].x) < 0.9f ? Point3(1.0f, 0.0f, 0.0f) : Point3(0.0f, 1.0f, 0.0f);
            u[j] = Normalize(CrossProd(other, u[i]));
            u[k] = CrossProd(u[i], u[j]);
        } else if (len[j] == 0.0) {
            u[j] = CrossProd(u[k], u[i]);
        } else {
            u[k] = CrossProd(u[i], u[j]);
        }
    }
    // Quat(M) reads the rows as columns: it is the conjugate of the quaternion that turns the
    // axes onto the rows, which is glTF's rotation.
    Quat q(Matrix3(u[0], u[1], u[2], Point3(0.0f, 0.0f, 0.0f)));
    q.Normalize();
    if (std::fabs(q.x) > 1e-7f || std::fabs(q.y) > 1e-7f || std::fabs(q.z) > 1e-7f) {
        frame.rotation = {-q.x, -q.y, -q.z, q.w};
    }
    if (std::fabs(len[0] - 1.0) > 1e-7 || std::fabs(len[1] - 1.0) > 1e-7 ||
        std::fabs(len[2] - 1.0) > 1e-7) {
        frame.scale = {len[0], len[1], len[2]};
    }
}

bool Perpendicular(const Point3& a, const Point3& b) {
    return std::fabs(Dot(a, b)) <= kShearTolerance * std::sqrt(Dot(a, a) * Dot(b, b));
}

bool MakeFrame(const EvaluatedNode& node, double metres, NodeFrame& frame, std::string& error) {
    const Matrix3& tm = node.objectTM;
    for (int i = 0; i < 4; ++i) {
        if (!Finite(tm.GetRow(i))) {
            error = NodeLabel(node) + ": the object transform is not finite";
            return false;
        }
    }
    const Matrix3 toY = ZUpToYUp();
    Matrix3 world = TransposeMatrix(toY) * tm * toY;
    const Point3 t = world.GetTrans() * static_cast<float>(metres);
    if (!(t == Point3(0.0f, 0.0f, 0.0f))) frame.translation = {t.x, t.y, t.z};
    world.NoTrans();

    Matrix3 units = toY;
    units.PreScale(Point3(metres, metres, metres));
    const Point3 r0 = world.GetRow(0), r1 = world.GetRow(1), r2 = world.GetRow(2);
    if (Perpendicular(r0, r1) && Perpendicular(r1, r2) && Perpendicular(r0, r2)) {
        SetRotationScale(world, frame);
        frame.vertexTM = units;
    } else {
        frame.vertexTM = units * world;  // baked: the node keeps the translation only
    }
    SetNormalTM(frame);
    return true;
}

// The normals of a mesh by smoothing group: one per vertex and group of faces sharing it, and
// for each face corner the index of its normal.
struct SmoothNormals {
    std::vector<Point3> normals;
    std::vector<std::uint32_t> corner;  // face * 3 + corner
};

SmoothNormals BuildSmoothNormals(const Mesh& mesh) {
    const int nf = mesh.numFaces;
    const int nv = mesh.numVerts;
    std::vector<Point3> faceNormal(static_cast<std::size_t>(nf));
    // Faces around each vertex, each face once per vertex.
    std::vector<std::uint32_t> start(static_cast<std::size_t>(nv) + 1, 0);
    auto usesBefore = [&](const Face& f, int c) {
        return (c > 0 && f.v[c] == f.v[0]) || (c > 1 && f.v[c] == f.v[1]);
    };
    for (int f = 0; f < nf; ++f) {
        const Face& face = mesh.faces[f];
        const Point3& a = mesh.verts[face.v[0]];
        const Point3& b = mesh.verts[face.v[1]];
        const Point3& c = mesh.verts[face.v[2]];
        faceNormal[static_cast<std::size_t>(f)] = Normalize(CrossProd(b - a, c - b));
        for (int k = 0; k < 3; ++k) {
            if (!usesBefore(face, k)) ++start[face.v[k] + 1];
        }
    }
    for (int v = 0; v < nv; ++v) start[v + 1] += start[v];
    std::vector<std::uint32_t> around(start[static_cast<std::size_t>(nv)]);
    std::vector<std::uint32_t> fill(start.begin(), start.end() - 1);
    for (int f = 0; f < nf; ++f) {
        const Face& face = mesh.faces[f];
        for (int k = 0; k < 3; ++k) {
            if (!usesBefore(face, k)) around[fill[face.v[k]]++] = static_cast<std::uint32_t>(f);
        }
    }

    SmoothNormals out;
    out.corner.assign(static_cast<std::size_t>(nf) * 3, 0);
    std::vector<std::uint32_t> parent;
    std::vector<std::int64_t> groupNormal;
    auto root = [&parent](std::uint32_t j) {
        while (parent[j] != j) j = parent[j] = parent[parent[j]];
        return j;
    };
    for (int v = 0; v < nv; ++v) {
        const std::uint32_t first = start[v];
        const std::uint32_t count = start[v + 1] - first;
        parent.resize(count);
        for (std::uint32_t j = 0; j < count; ++j) parent[j] = j;
        // Faces sharing a bit join the first face that had it; group 0 joins nothing.
        std::array<std::int64_t, 32> firstWithBit;
        firstWithBit.fill(-1);
        for (std::uint32_t j = 0; j < count; ++j) {
            const DWORD groups = mesh.faces[around[first + j]].smGroup;
            for (int bit = 0; bit < 32; ++bit) {
                if (!(groups & (1u << bit))) continue;
                if (firstWithBit[bit] < 0) {
                    firstWithBit[bit] = j;
                } else {
                    parent[root(j)] = root(static_cast<std::uint32_t>(firstWithBit[bit]));
                }
            }
        }
        groupNormal.assign(count, -1);
        for (std::uint32_t j = 0; j < count; ++j) {
            const std::uint32_t r = root(j);
            if (groupNormal[r] < 0) {
                groupNormal[r] = static_cast<std::int64_t>(out.normals.size());
                out.normals.emplace_back(0.0f, 0.0f, 0.0f);
            }
            const std::uint32_t f = around[first + j];
            const auto index = static_cast<std::size_t>(groupNormal[r]);
            out.normals[index] += faceNormal[f];
            const Face& face = mesh.faces[f];
            for (int k = 0; k < 3; ++k) {
                if (face.v[k] == static_cast<DWORD>(v)) {
                    out.corner[f * 3u + static_cast<std::uint32_t>(k)] =
                        static_cast<std::uint32_t>(index);
                }
            }
        }
    }
    for (Point3& n : out.normals) n = Normalize(n);
    return out;
}

// Faces must refer to vertices (and texture vertices) the mesh has, and coordinates be finite.
bool CheckMesh(const EvaluatedNode& node, bool uvs, std::string& error) {
    const Mesh& mesh = node.mesh;
    for (int v = 0; v < mesh.numVerts; ++v) {
        if (!Finite(mesh.verts[v])) {
            error = NodeLabel(node) + ": vertex " + std::to_string(v) + " is not finite";
            return false;
        }
    }
    for (int f = 0; f < mesh.numFaces; ++f) {
        for (int k = 0; k < 3; ++k) {
            if (mesh.faces[f].v[k] >= static_cast<DWORD>(mesh.numVerts)) {
                error = NodeLabel(node) + ": face " + std::to_string(f) + " refers to vertex " +
                        std::to_string(mesh.faces[f].v[k]) + " of " + std::to_string(mesh.numVerts);
                return false;
            }
            if (uvs && mesh.tvFace[f].t[k] >= static_cast<DWORD>(mesh.numTVerts)) {
                error = NodeLabel(node) + ": face " + std::to_string(f) +
                        " refers to texture vertex " + std::to_string(mesh.tvFace[f].t[k]) +
                        " of " + std::to_string(mesh.numTVerts);
                return false;
            }
        }
    }
    for (int t = 0; uvs && t < mesh.numTVerts; ++t) {
        if (!Finite(mesh.tVerts[t])) {
            error = NodeLabel(node) + ": texture vertex " + std::to_string(t) + " is not finite";
            return false;
        }
    }
    return true;
}

struct PrimitiveData {
    int material = -1;
    std::vector<float> positions;
    std::vector<float> normals;
    std::vector<float> uvs;
    std::vector<std::uint32_t> indices;
    std::unordered_map<std::uint64_t, std::uint32_t> vertexOf;  // (normal, texture vertex)
};

std::vector<PrimitiveData> BuildPrimitives(const EvaluatedNode& node, const NodeFrame& frame,
                                           bool uvs, MaterialTable& materials) {
    const Mesh& mesh = node.mesh;
    const SmoothNormals smooth = BuildSmoothNormals(mesh);
    std::vector<PrimitiveData> prims;
    std::map<int, std::size_t> primOf;  // glTF material -> primitive
    const std::array<int, 3> order =
        frame.reverse ? std::array<int, 3>{0, 2, 1} : std::array<int, 3>{0, 1, 2};
    for (int f = 0; f < mesh.numFaces; ++f) {
        const Face& face = mesh.faces[f];
        const int mat =
            materials.Index(ShownMaterial(node.material, face.getMatID()), node.wireColor);
        auto [it, added] = primOf.try_emplace(mat, prims.size());
        if (added) {
            prims.emplace_back();
            prims.back().material = mat;
        }
        PrimitiveData& prim = prims[it->second];
        for (int k : order) {
            const std::uint32_t normal = smooth.corner[static_cast<std::size_t>(f) * 3 + k];
            const std::uint32_t tv = uvs ? mesh.tvFace[f].t[k] + 1u : 0u;
            const std::uint64_t key = (std::uint64_t{normal} << 32) | tv;
            auto [vit, fresh] =
                prim.vertexOf.try_emplace(key, static_cast<std::uint32_t>(prim.vertexOf.size()));
            prim.indices.push_back(vit->second);
            if (!fresh) continue;
            const Point3 p = mesh.verts[face.v[k]] * frame.vertexTM;
            prim.positions.insert(prim.positions.end(), {p.x, p.y, p.z});
            Point3 n = Normalize(VectorTransform(smooth.normals[normal], frame.normalTM));
            if (n == Point3(0.0f, 0.0f, 0.0f)) n = Point3(0.0f, 1.0f, 0.0f);  // degenerate faces
            prim.normals.insert(prim.normals.end(), {n.x, n.y, n.z});
            if (uvs) {
                const UVVert& uv = mesh.tVerts[tv - 1];
                prim.uvs.insert(prim.uvs.end(), {uv.x, 1.0f - uv.y});
            }
        }
    }
    return prims;
}

// Appends data to the one buffer, each view on a 4-byte boundary.
class BufferWriter {
public:
    explicit BufferWriter(tinygltf::Model& model) : model_(model) {}

    int Accessor(const void* data, std::size_t bytes, int componentType, int type,
                 std::size_t count, int target) {
        std::vector<unsigned char>& buf = model_.buffers[0].data;
        buf.resize((buf.size() + 3) & ~std::size_t{3}, 0);
        tinygltf::BufferView view;
        view.buffer = 0;
        view.byteOffset = buf.size();
        view.byteLength = bytes;
        view.target = target;
        const auto* p = static_cast<const unsigned char*>(data);
        buf.insert(buf.end(), p, p + bytes);
        model_.bufferViews.push_back(view);
        tinygltf::Accessor acc;
        acc.bufferView = static_cast<int>(model_.bufferViews.size()) - 1;
        acc.componentType = componentType;
        acc.type = type;
        acc.count = count;
        model_.accessors.push_back(acc);
        return static_cast<int>(model_.accessors.size()) - 1;
    }

    int Floats(const std::vector<float>& v, int components, int type) {
        return Accessor(v.data(), v.size() * sizeof(float), TINYGLTF_COMPONENT_TYPE_FLOAT, type,
                        v.size() / static_cast<std::size_t>(components),
                        TINYGLTF_TARGET_ARRAY_BUFFER);
    }

    // Positions with their bounds, taken from the floats as stored.
    int Positions(const std::vector<float>& v) {
        const int index = Floats(v, 3, TINYGLTF_TYPE_VEC3);
        tinygltf::Accessor& acc = model_.accessors[static_cast<std::size_t>(index)];
        acc.minValues.assign(3, std::numeric_limits<double>::infinity());
        acc.maxValues.assign(3, -std::numeric_limits<double>::infinity());
        for (std::size_t i = 0; i < v.size(); ++i) {
            acc.minValues[i % 3] = std::min(acc.minValues[i % 3], static_cast<double>(v[i]));
            acc.maxValues[i % 3] = std::max(acc.maxValues[i % 3], static_cast<double>(v[i]));
        }
        return index;
    }

    // Unsigned short indices while no index can be 65535 (the restart value), else unsigned int.
    int Indices(const std::vector<std::uint32_t>& indices, std::size_t vertexCount) {
        if (vertexCount <= 0xFFFFu) {
            std::vector<std::uint16_t> shorts(indices.begin(), indices.end());
            return Accessor(shorts.data(), shorts.size() * 2,
                            TINYGLTF_COMPONENT_TYPE_UNSIGNED_SHORT, TINYGLTF_TYPE_SCALAR,
                            shorts.size(), TINYGLTF_TARGET_ELEMENT_ARRAY_BUFFER);
        }
        return Accessor(indices.data(), indices.size() * 4, TINYGLTF_COMPONENT_TYPE_UNSIGNED_INT,
                        TINYGLTF_TYPE_SCALAR, indices.size(), TINYGLTF_TARGET_ELEMENT_ARRAY_BUFFER);
    }

private:
    tinygltf::Model& model_;
};

bool BuildModel(const std::vector<EvaluatedNode>& nodes, Scene& scene, tinygltf::Model& model,
                std::string& error) {
    const double metres = GetMasterScale(UNITS_METERS);
    if (!(metres > 0.0) || !std::isfinite(metres)) {
        error = "the system unit is not a positive length";
        return false;
    }
    model.asset.version = "2.0";
    model.asset.generator = "trellon-host";
    model.buffers.emplace_back();
    model.scenes.emplace_back();
    // Named always: a scene without nodes and name would be written as null.
    model.scenes[0].name = scene.GetCurFileName().ToUTF8();
    if (model.scenes[0].name.empty()) model.scenes[0].name = "Scene";
    model.defaultScene = 0;
    MaterialTable materials(model);
    BufferWriter buffer(model);

    for (const EvaluatedNode& node : nodes) {
        if (node.node && node.node->IsHidden(HIDE_CHECK_LAYER)) continue;
        const Mesh& mesh = node.mesh;
        const bool uvs = mesh.numTVerts > 0 && mesh.tvFace && mesh.tVerts &&
                         mesh.getNumMapFaces(1) == mesh.numFaces;
        NodeFrame frame;
        if (!MakeFrame(node, metres, frame, error) || !CheckMesh(node, uvs, error)) return false;

        tinygltf::Node out;
        out.name = node.name;
        out.translation = frame.translation;
        out.rotation = frame.rotation;
        out.scale = frame.scale;
        if (mesh.numFaces > 0) {
            tinygltf::Mesh gm;
            gm.name = node.name;
            for (const PrimitiveData& p : BuildPrimitives(node, frame, uvs, materials)) {
                tinygltf::Primitive prim;
                prim.mode = TINYGLTF_MODE_TRIANGLES;
                prim.material = p.material;
                prim.attributes["POSITION"] = buffer.Positions(p.positions);
                prim.attributes["NORMAL"] = buffer.Floats(p.normals, 3, TINYGLTF_TYPE_VEC3);
                if (uvs)
                    prim.attributes["TEXCOORD_0"] = buffer.Floats(p.uvs, 2, TINYGLTF_TYPE_VEC2);
                prim.indices = buffer.Indices(p.indices, p.vertexOf.size());
                gm.primitives.push_back(std::move(prim));
            }
            if (model.buffers[0].data.size() > kMaxBinaryBytes) {
                error = "the meshes are too large for one .glb file (4 GiB)";
                return false;
            }
            model.meshes.push_back(std::move(gm));
            out.mesh = static_cast<int>(model.meshes.size()) - 1;
        }
        model.nodes.push_back(std::move(out));
        model.scenes[0].nodes.push_back(static_cast<int>(model.nodes.size()) - 1);
    }
    // glTF forbids an empty buffer.
    if (model.buffers[0].data.empty()) model.buffers.clear();
    return true;
}

}  // namespace

bool WriteGlb(const std::vector<EvaluatedNode>& nodes, Scene& scene, const std::string& path,
              std::string& error) {
    tinygltf::Model model;
    if (!BuildModel(nodes, scene, model, error)) return false;
    // Written beside the target and renamed over it, so a failed write leaves no partial file.
    const std::string temp = path + ".part";
    {
        std::ofstream out(temp, std::ios::binary | std::ios::trunc);
        if (!out) {
            error = path + ": cannot write: " + std::strerror(errno);
            return false;
        }
        tinygltf::TinyGLTF gltf;
        const bool written = gltf.WriteGltfSceneToStream(&model, out, false, true);
        out.close();
        if (!written || !out) {
            std::remove(temp.c_str());
            error = path + ": cannot write the file";
            return false;
        }
    }
    if (std::rename(temp.c_str(), path.c_str()) != 0) {
        error = path + ": cannot write: " + std::strerror(errno);
        std::remove(temp.c_str());
        return false;
    }
    return true;
}

}  // namespace host
