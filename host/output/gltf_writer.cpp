#include "gltf_writer.h"

// The file is written here, without a glTF library: the JSON part is small (nodes, meshes,
// accessors, materials) and built with nlohmann-json; the binary part, nearly all of the file,
// is streamed from the mesh into its place in the file, never held whole in memory.

#include <algorithm>
#include <array>
#include <cfloat>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <map>
#include <nlohmann/json.hpp>

#include "gltf_materials.h"
#include "gltf_plan.h"
#include "imtl.h"
#include "inode.h"
#include "matrix3.h"
#include "output_file.h"
#include "progress_bar.h"
#include "quat.h"
#include "scene.h"
#include "shown_material.h"
#include "units.h"

namespace host {
namespace {

using gltf::ImageTable;
using gltf::json;
using gltf::MaterialTable;
using gltf::NodeFrame;
using gltf::NodePlan;
using gltf::PrimitivePlan;

// Two axes of a transform count as perpendicular while the cosine of their angle stays below
// this: float products of rotations and scales stay far inside it, a real shear does not.
constexpr double kShearTolerance = 1e-5;
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

std::string NodeLabel(const EvaluatedNode& n) { return "node '" + n.name + "'"; }

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

// The frame of an instanced source's mesh: units and axes only (its copies carry the rest).
void UnitFrame(double metres, NodeFrame& frame) {
    Matrix3 units = ZUpToYUp();
    units.PreScale(Point3(metres, metres, metres));
    frame.vertexTM = units;
    SetNormalTM(frame);
}

// ---- What the file will hold, planned before any of the binary part is written.

// The first of `count` points that is not finite, or -1. The loop only gathers (no branch per
// point), so it runs at the speed of reading the points.
int FirstNotFinite(const Point3* points, int count) {
    bool bad = false;
    for (int i = 0; i < count; ++i) {
        const Point3& p = points[i];
        bad |= !(std::fabs(p.x) <= FLT_MAX) | !(std::fabs(p.y) <= FLT_MAX) |
               !(std::fabs(p.z) <= FLT_MAX);
    }
    if (!bad) return -1;
    for (int i = 0; i < count; ++i) {
        if (!Finite(points[i])) return i;
    }
    return -1;
}

// The first face with a corner index of `count` or more in `corners` (stride `step` DWORDs from
// the face's first), its corner in `k`; -1 when there is none.
int FirstOutOfRange(const DWORD* corners, std::size_t step, int faces, DWORD count, int& k) {
    for (int f = 0; f < faces; ++f) {
        const DWORD* c = corners + static_cast<std::size_t>(f) * step;
        for (k = 0; k < 3; ++k) {
            if (c[k] >= count) return f;
        }
    }
    return -1;
}

// The primitives of a node: the materials its faces show, in the order the faces first use them.
// A Trellon object's faces show their item's or profile's material (`sources`, by material ID);
// where that has none, the node's palette colour stands in under the item's name.
//
// The same read of the faces checks the mesh, which must be whole before anything is written:
// faces referring to vertices (and texture vertices) it has, its coordinates finite. A large
// mesh is read from memory once per pass, so the checks ride on the pass the plan needs, and
// they only gather (the largest corner index) until the end, where a culprit is looked for.
bool PlanFaces(NodePlan& plan, MaterialTable& materials, const std::vector<FaceSource>& sources,
               std::string& error) {
    const EvaluatedNode& node = *plan.node;
    const Mesh& mesh = node.Geometry();
    const std::string label = NodeLabel(node);
    if (const int v = FirstNotFinite(mesh.verts, mesh.numVerts); v >= 0) {
        error = label + ": vertex " + std::to_string(v) + " is not finite";
        return false;
    }
    std::vector<int>& primOfId = plan.primOfId;
    std::map<int, int> primOfMaterial;
    DWORD groups = 0;
    DWORD most = 0;
    // Faces come in runs of one material ID (an item's faces, a sweep's): the primitive is looked
    // up once a run and the run counted at its end.
    int f = 0;
    while (f < mesh.numFaces) {
        const MtlID id = mesh.faces[f].getMatID();
        const int start = f;
        for (; f < mesh.numFaces && mesh.faces[f].getMatID() == id; ++f) {
            const Face& face = mesh.faces[f];
            groups |= face.smGroup;
            most = std::max(most, std::max(face.v[0], std::max(face.v[1], face.v[2])));
        }
        if (id >= primOfId.size()) primOfId.resize(std::size_t{id} + 1, -1);
        int& prim = primOfId[id];
        if (prim < 0) {
            const FaceSource* source = id < sources.size() ? &sources[id] : nullptr;
            const int mat = source && source->material
                                ? materials.Index(source->material, node.wireColor)
                                : materials.Index(ShownMaterial(node.material, id), node.wireColor,
                                                  source ? source->name : std::string());
            auto [it, added] = primOfMaterial.try_emplace(mat, static_cast<int>(plan.prims.size()));
            if (added) {
                plan.prims.emplace_back();
                plan.prims.back().material = mat;
            }
            prim = it->second;
            plan.idPrims.emplace_back(id, prim);
        }
        plan.prims[static_cast<std::size_t>(prim)].faces += static_cast<std::uint32_t>(f - start);
    }
    plan.smoothing = groups != 0;
    if (mesh.numFaces == 0) return true;
    int k = 0;
    static_assert(sizeof(Face) % sizeof(DWORD) == 0 && sizeof(TVFace) % sizeof(DWORD) == 0);
    if (most >= static_cast<DWORD>(mesh.numVerts)) {
        f = FirstOutOfRange(mesh.faces[0].v, sizeof(Face) / sizeof(DWORD), mesh.numFaces,
                            static_cast<DWORD>(mesh.numVerts), k);
        error = label + ": face " + std::to_string(f) + " refers to vertex " +
                std::to_string(mesh.faces[f].v[k]) + " of " + std::to_string(mesh.numVerts);
        return false;
    }
    if (!plan.uvs) return true;  // (a mesh with texture faces has one per face)
    f = FirstOutOfRange(mesh.tvFace[0].t, sizeof(TVFace) / sizeof(DWORD), mesh.numFaces,
                        static_cast<DWORD>(mesh.numTVerts), k);
    if (f >= 0) {
        error = label + ": face " + std::to_string(f) + " refers to texture vertex " +
                std::to_string(mesh.tvFace[f].t[k]) + " of " + std::to_string(mesh.numTVerts);
        return false;
    }
    if (const int t = FirstNotFinite(mesh.tVerts, mesh.numTVerts); t >= 0) {
        error = label + ": texture vertex " + std::to_string(t) + " is not finite";
        return false;
    }
    return true;
}

// ---- The JSON part.

// The document. With `placeholders` every number the binary part decides (counts, offsets,
// lengths, bounds) is written at the widest it can be, so the text is at least as long as the
// real one: its length is the room kept for the JSON before the binary part is written.
json Document(const std::vector<NodePlan>& plans, const std::vector<std::string>& names,
              const MaterialTable& materials, const ImageTable& images,
              const std::string& sceneName, std::uint64_t binLength, bool placeholders) {
    constexpr std::uint64_t kWideInt = std::numeric_limits<std::uint64_t>::max();
    constexpr double kWideDouble = -1.2345678901234567e-300;
    auto count = [&](std::uint64_t n) { return json(placeholders ? kWideInt : n); };
    auto bound = [&](float f) { return json(placeholders ? kWideDouble : static_cast<double>(f)); };

    json doc = json::object();
    doc["asset"] = {{"generator", "trellon-host"}, {"version", "2.0"}};
    doc["scene"] = 0;
    json sceneNodes = json::array();
    json nodes = json::array(), meshes = json::array(), accessors = json::array(),
         views = json::array();
    auto view = [&](std::uint64_t at, std::uint64_t bytes, int target, std::uint64_t stride = 0) {
        json v = {{"buffer", 0}, {"byteOffset", count(at)}, {"byteLength", count(bytes)}};
        if (stride != 0) v["byteStride"] = stride;
        if (target != 0) v["target"] = target;
        views.push_back(std::move(v));
        return static_cast<int>(views.size()) - 1;
    };
    auto accessor = [&](int bufferView, int componentType, std::uint64_t n, const char* type,
                        int byteOffset = 0) {
        accessors.push_back({{"bufferView", bufferView},
                             {"componentType", componentType},
                             {"count", count(n)},
                             {"type", type}});
        if (byteOffset != 0) accessors.back()["byteOffset"] = byteOffset;
        return static_cast<int>(accessors.size()) - 1;
    };
    constexpr int kArray = 34962, kElements = 34963, kFloat = 5126;
    // The accessors of a plan's primitives (attributes and indices), made once per plan.
    auto primitiveAccessors = [&](const NodePlan& plan) {
        std::vector<std::pair<json, int>> result;
        for (const PrimitivePlan& p : plan.prims) {
            const std::uint64_t n = p.vertices;
            // One view of the interleaved vertices, an accessor per attribute within it.
            const int vertices = view(p.verticesAt, n * plan.Stride(), kArray, plan.Stride());
            json attributes = json::object();
            attributes["POSITION"] = accessor(vertices, kFloat, n, "VEC3");
            json& pos = accessors.back();
            pos["min"] = {bound(p.min[0]), bound(p.min[1]), bound(p.min[2])};
            pos["max"] = {bound(p.max[0]), bound(p.max[1]), bound(p.max[2])};
            attributes["NORMAL"] = accessor(vertices, kFloat, n, "VEC3", 12);
            if (plan.uvs) attributes["TEXCOORD_0"] = accessor(vertices, kFloat, n, "VEC2", 24);
            const std::uint64_t indexCount = std::uint64_t{p.faces} * 3;
            const int indices =
                accessor(view(p.indicesAt, indexCount * (p.ShortIndices() ? 2 : 4), kElements),
                         p.ShortIndices() ? 5123 : 5125, indexCount, "SCALAR");
            result.emplace_back(std::move(attributes), indices);
        }
        return result;
    };
    auto addMesh = [&](const std::string& name, const std::vector<std::pair<json, int>>& access,
                       const std::vector<int>& primMaterials) {
        json prims = json::array();
        for (std::size_t k = 0; k < access.size(); ++k) {
            prims.push_back({{"attributes", access[k].first},
                             {"indices", access[k].second},
                             {"material", primMaterials[k]},
                             {"mode", 4}});
        }
        meshes.push_back({{"name", name}, {"primitives", std::move(prims)}});
        return static_cast<int>(meshes.size()) - 1;
    };
    bool instancing = false;
    for (std::size_t i = 0; i < plans.size(); ++i) {
        const NodePlan& plan = plans[i];
        if (plan.instanced) {
            // One node per group: the source's mesh with the group's materials, drawn at every
            // instance transform.
            const auto access = primitiveAccessors(plan);
            const auto& groups = plan.instanced->groups;
            int shown = 0;
            for (std::size_t g = 0; g < groups.size(); ++g) {
                const std::uint64_t n = groups[g].transforms.size();
                if (n == 0) continue;
                const std::string name =
                    shown == 0 ? names[i] : names[i] + " #" + std::to_string(shown);
                ++shown;
                json node = json::object();
                node["name"] = name;
                if (!access.empty()) node["mesh"] = addMesh(name, access, plan.groupMaterials[g]);
                const std::uint64_t at = g < plan.groupAt.size() ? plan.groupAt[g] : 0;
                json attributes = json::object();
                attributes["TRANSLATION"] = accessor(view(at, n * 12, 0), kFloat, n, "VEC3");
                attributes["ROTATION"] = accessor(view(at + n * 12, n * 16, 0), kFloat, n, "VEC4");
                attributes["SCALE"] = accessor(view(at + n * 28, n * 12, 0), kFloat, n, "VEC3");
                node["extensions"] = {{"EXT_mesh_gpu_instancing", {{"attributes", attributes}}}};
                instancing = true;
                sceneNodes.push_back(static_cast<int>(nodes.size()));
                nodes.push_back(std::move(node));
            }
            continue;
        }
        json node = json::object();
        node["name"] = names[i];
        if (!plan.frame.translation.empty()) node["translation"] = plan.frame.translation;
        if (!plan.frame.rotation.empty()) node["rotation"] = plan.frame.rotation;
        if (!plan.frame.scale.empty()) node["scale"] = plan.frame.scale;
        if (!plan.prims.empty()) {
            std::vector<int> primMaterials;
            for (const PrimitivePlan& p : plan.prims) primMaterials.push_back(p.material);
            node["mesh"] = addMesh(names[i], primitiveAccessors(plan), primMaterials);
        }
        sceneNodes.push_back(static_cast<int>(nodes.size()));
        nodes.push_back(std::move(node));
    }
    if (instancing) {
        doc["extensionsUsed"] = json::array({"EXT_mesh_gpu_instancing"});
        doc["extensionsRequired"] = json::array({"EXT_mesh_gpu_instancing"});
    }
    // glTF has no empty arrays: a scene without nodes has no "nodes" key.
    json theScene = {{"name", sceneName}};
    if (!sceneNodes.empty()) theScene["nodes"] = std::move(sceneNodes);
    doc["scenes"] = json::array({std::move(theScene)});
    if (!nodes.empty()) doc["nodes"] = std::move(nodes);
    if (!meshes.empty()) doc["meshes"] = std::move(meshes);
    if (!materials.Materials().empty()) doc["materials"] = materials.Materials();
    if (!materials.Textures().empty()) {
        doc["textures"] = materials.Textures();
        json pictures = json::array();
        for (const ImageTable::Image& image : images.Images()) {
            pictures.push_back({{"name", image.name},
                                {"mimeType", image.mimeType},
                                {"bufferView", view(image.at, image.bytes.size(), 0)}});
        }
        doc["images"] = std::move(pictures);
        // Linear filtering with mipmaps, repeated in both directions as the host tiles a map.
        doc["samplers"] = json::array(
            {{{"magFilter", 9729}, {"minFilter", 9987}, {"wrapS", 10497}, {"wrapT", 10497}}});
    }
    if (!accessors.empty()) doc["accessors"] = std::move(accessors);
    if (!views.empty()) doc["bufferViews"] = std::move(views);
    // glTF has no empty buffers.
    if (placeholders || binLength > 0)
        doc["buffers"] = json::array({{{"byteLength", count(binLength)}}});
    return doc;
}

void PutU32(unsigned char* at, std::uint32_t v) {
    at[0] = static_cast<unsigned char>(v);
    at[1] = static_cast<unsigned char>(v >> 8);
    at[2] = static_cast<unsigned char>(v >> 16);
    at[3] = static_cast<unsigned char>(v >> 24);
}

}  // namespace

bool InstanceableTransform(const Matrix3& tm) {
    for (int i = 0; i < 4; ++i) {
        if (!Finite(tm.GetRow(i))) return false;
    }
    // Shear and mirroring do not depend on the frame: the rows of tm tell.
    const Point3 r0 = tm.GetRow(0), r1 = tm.GetRow(1), r2 = tm.GetRow(2);
    return Dot(r0, CrossProd(r1, r2)) > 0.0 && Perpendicular(r0, r1) && Perpendicular(r1, r2) &&
           Perpendicular(r0, r2);
}

// One copy's glTF instance transform: translation (metres), rotation (x, y, z, w) and scale of
// C^-1 tm C, C the change to glTF's axes. False for shear, a mirror or a number that is not
// finite.
bool gltf::InstanceTRS(const Matrix3& tm, double metres, std::array<float, 3>& t,
                       std::array<float, 4>& r, std::array<float, 3>& s) {
    for (int i = 0; i < 4; ++i) {
        if (!Finite(tm.GetRow(i))) return false;
    }
    const Matrix3 toY = ZUpToYUp();
    const Matrix3 world = TransposeMatrix(toY) * tm * toY;
    const Point3 r0 = world.GetRow(0), r1 = world.GetRow(1), r2 = world.GetRow(2);
    if (Dot(r0, CrossProd(r1, r2)) <= 0.0) return false;
    if (!Perpendicular(r0, r1) || !Perpendicular(r1, r2) || !Perpendicular(r0, r2)) return false;
    const Point3 at = world.GetTrans() * static_cast<float>(metres);
    t = {at.x, at.y, at.z};
    const float l0 = Length(r0), l1 = Length(r1), l2 = Length(r2);
    s = {l0, l1, l2};
    // Quat(M) reads the rows as columns: its conjugate turns the axes onto the rows.
    Quat q(Matrix3(r0 / l0, r1 / l1, r2 / l2, Point3(0.0f, 0.0f, 0.0f)));
    q.Normalize();
    r = {-q.x, -q.y, -q.z, q.w};
    return true;
}

bool WriteGlb(const std::vector<EvaluatedNode>& nodes, Scene& scene, const std::string& path,
              std::string& error) {
    return WriteGlb(nodes, {}, scene, path, error);
}

bool WriteGlb(const std::vector<EvaluatedNode>& nodes,
              const std::vector<InstancedSource>& instanced, Scene& scene, const std::string& path,
              std::string& error) {
    const double metres = GetMasterScale(UNITS_METERS);
    if (!(metres > 0.0) || !std::isfinite(metres)) {
        error = "the system unit is not a positive length";
        return false;
    }

    // 1. Plan: the shown nodes, their frames and primitives, checked before anything is written.
    ImageTable images;
    MaterialTable materials(images);
    std::vector<NodePlan> plans;
    std::vector<std::string> names;
    std::uint64_t facesTotal = 0;
    for (const EvaluatedNode& node : nodes) {
        if (node.node && node.node->IsHidden(HIDE_CHECK_LAYER)) continue;
        const Mesh& mesh = node.Geometry();
        NodePlan plan;
        plan.node = &node;
        plan.uvs = mesh.numTVerts > 0 && mesh.tvFace && mesh.tVerts &&
                   mesh.getNumMapFaces(1) == mesh.numFaces;
        if (!MakeFrame(node, metres, plan.frame, error) ||
            !PlanFaces(plan, materials, TrellonFaceMaterials(scene, node.node), error))
            return false;
        facesTotal += static_cast<std::uint64_t>(mesh.numFaces);
        plans.push_back(std::move(plan));
        names.push_back(node.name);
    }
    // The instanced sources: the mesh in its own space, each group's materials per primitive
    // (the material its first face ID shows in that group).
    for (const InstancedSource& source : instanced) {
        const Mesh& mesh = source.source.Geometry();
        std::uint64_t copies = 0;
        for (const InstanceGroup& g : source.groups) copies += g.transforms.size();
        if (copies == 0) continue;
        NodePlan plan;
        plan.node = &source.source;
        plan.instanced = &source;
        plan.uvs = mesh.numTVerts > 0 && mesh.tvFace && mesh.tVerts &&
                   mesh.getNumMapFaces(1) == mesh.numFaces;
        UnitFrame(metres, plan.frame);
        if (!PlanFaces(plan, materials, {}, error)) return false;
        for (const InstanceGroup& g : source.groups) {
            std::vector<int> primMaterials(plan.prims.size(), 0);
            std::vector<bool> set(plan.prims.size(), false);
            for (const auto& [id, prim] : plan.idPrims) {
                const auto k = static_cast<std::size_t>(prim);
                if (set[k]) continue;
                set[k] = true;
                Mtl* m = g.material ? g.material : source.source.material;
                primMaterials[k] = materials.Index(ShownMaterial(m, id), source.source.wireColor);
            }
            plan.groupMaterials.push_back(std::move(primMaterials));
        }
        facesTotal += static_cast<std::uint64_t>(mesh.numFaces);
        plans.push_back(std::move(plan));
        names.push_back(source.source.name);
    }
    std::string sceneName = scene.GetCurFileName().ToUTF8();
    // Named always: a scene without nodes and name would be written as null.
    if (sceneName.empty()) sceneName = "Scene";

    // 2. The room for the JSON part: the document with the widest numbers, padded to 4 bytes
    //    (JSON takes the trailing spaces as white space).
    const std::string widest = Document(plans, names, materials, images, sceneName, 0, true)
                                   .dump(-1, ' ', false, json::error_handler_t::replace);
    const std::uint64_t jsonRoom = (widest.size() + 3) & ~std::uint64_t{3};
    const std::uint64_t binAt = 12 + 8 + jsonRoom + 8;

    // 3. The binary part after that room: the images, then node by node.
    OutputFile file;
    if (!file.Open(path, error)) return false;
    ProgressBar progress("writing " + path);
    for (const ImageTable::Image& image : images.Images()) {
        std::vector<unsigned char> padded = image.bytes;
        padded.resize((padded.size() + 3) & ~std::size_t{3}, 0);
        file.WriteAt(binAt + image.at, padded.data(), padded.size());
    }
    std::uint64_t binLength = images.Bytes();
    std::uint64_t facesDone = 0;
    const double all = static_cast<double>(std::max<std::uint64_t>(facesTotal, 1));
    for (NodePlan& plan : plans) {
        const auto faces = static_cast<std::uint64_t>(plan.node->Geometry().numFaces);
        binLength += gltf::WriteNodeData(plan, file, binAt, binLength, progress,
                                         static_cast<double>(facesDone) / all,
                                         static_cast<double>(faces) / all);
        facesDone += faces;
        if (plan.instanced) binLength += gltf::WriteInstances(plan, metres, file, binAt, binLength);
        if (binLength > kMaxBinaryBytes) {
            error = path + ": the meshes are too large for one .glb file (4 GiB)";
            return false;  // the file removes its partial self
        }
        progress.Update(static_cast<double>(facesDone) /
                        static_cast<double>(std::max<std::uint64_t>(facesTotal, 1)));
    }

    // 4. The header and the JSON part in front of it.
    std::string text = Document(plans, names, materials, images, sceneName, binLength, false)
                           .dump(-1, ' ', false, json::error_handler_t::replace);
    text.resize(static_cast<std::size_t>(jsonRoom), ' ');
    // Without geometry there is no binary chunk at all.
    const std::uint64_t total = binLength > 0 ? binAt + binLength : binAt - 8;
    std::vector<unsigned char> front(20);
    std::memcpy(front.data(), "glTF", 4);
    PutU32(front.data() + 4, 2);
    PutU32(front.data() + 8, static_cast<std::uint32_t>(total));
    PutU32(front.data() + 12, static_cast<std::uint32_t>(jsonRoom));
    PutU32(front.data() + 16, 0x4E4F534Au);  // "JSON"
    front.insert(front.end(), text.begin(), text.end());
    if (binLength > 0) {
        unsigned char chunk[8];
        PutU32(chunk, static_cast<std::uint32_t>(binLength));
        PutU32(chunk + 4, 0x004E4942u);  // "BIN\0"
        front.insert(front.end(), chunk, chunk + 8);
    }
    file.WriteAt(0, front.data(), front.size());
    return file.Commit(error);
}

}  // namespace host
