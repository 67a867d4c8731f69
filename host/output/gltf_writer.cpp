#include "gltf_writer.h"

// The file is written here, without a glTF library: the JSON part is small (nodes, meshes,
// accessors, materials) and built with nlohmann-json; the binary part, nearly all of the file,
// is streamed from the mesh into its place in the file, never held whole in memory.
#include <stb_image.h>
#include <stb_image_write.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <limits>
#include <map>
#include <memory>
#include <new>
#include <nlohmann/json.hpp>

#include "color.h"
#include "failed_allocation.h"
#include "hugearray.h"
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

constexpr double kRoughness = 0.7;
// Two axes of a transform count as perpendicular while the cosine of their angle stays below
// this: float products of rotations and scales stay far inside it, a real shear does not.
constexpr double kShearTolerance = 1e-5;
// A .glb states its length in 32 bits; the binary chunk must leave room for the JSON.
constexpr std::uint64_t kMaxBinaryBytes = 0xFFFFFFFFull - (64ull << 20);
// Each region of the binary part is written through a buffer of at most this many bytes.
constexpr std::size_t kRegionBuffer = std::size_t{1} << 20;

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

using json = nlohmann::ordered_json;

// The images the materials' textures show, embedded at the start of the binary part. A PNG or
// JPEG file goes in as it is; any other image the host reads (BMP, TGA, ...) is decoded and
// written as PNG, the formats a glTF viewer must read. A file that cannot be read any more gives
// no image, and its material shows its colour alone.
class ImageTable {
public:
    struct Image {
        std::string name;  // the file's name, without its folders
        std::string mimeType;
        std::vector<unsigned char> bytes;
        std::uint64_t at = 0;  // offset in the binary part
    };

    // The image index for a file, or -1.
    int Index(const std::string& file) {
        auto [it, added] = byFile_.try_emplace(file, -1);
        if (!added) return it->second;
        Image image;
        if (!Read(file, image)) return -1;
        image.name = std::filesystem::path(file).filename().string();
        image.at = bytes_;
        bytes_ += (image.bytes.size() + 3) & ~std::uint64_t{3};
        images_.push_back(std::move(image));
        it->second = static_cast<int>(images_.size()) - 1;
        return it->second;
    }

    const std::vector<Image>& Images() const { return images_; }
    // The bytes the images take, each padded to 4.
    std::uint64_t Bytes() const { return bytes_; }

private:
    static bool Read(const std::string& file, Image& image) {
        std::ifstream in(file, std::ios::binary);
        if (!in) return false;
        image.bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
        const auto& b = image.bytes;
        if (b.size() >= 8 && std::memcmp(b.data(), "\x89PNG\r\n\x1a\n", 8) == 0) {
            image.mimeType = "image/png";
            return true;
        }
        if (b.size() >= 3 && b[0] == 0xFF && b[1] == 0xD8 && b[2] == 0xFF) {
            image.mimeType = "image/jpeg";
            return true;
        }
        int w = 0, h = 0, channels = 0;
        unsigned char* px =
            stbi_load_from_memory(b.data(), static_cast<int>(b.size()), &w, &h, &channels, 0);
        if (!px) return false;
        std::vector<unsigned char> png;
        stbi_write_png_to_func(
            [](void* context, void* data, int size) {
                auto* out = static_cast<std::vector<unsigned char>*>(context);
                const auto* bytes = static_cast<const unsigned char*>(data);
                out->insert(out->end(), bytes, bytes + size);
            },
            &png, w, h, channels, px, w * channels);
        stbi_image_free(px);
        if (png.empty()) return false;
        image.bytes = std::move(png);
        image.mimeType = "image/png";
        return true;
    }

    std::map<std::string, int> byFile_;
    std::vector<Image> images_;
    std::uint64_t bytes_ = 0;
};

// The glTF materials: one per host material shown (under another name where a palette colour
// stands in for an item that has no material of its own), one per wire colour used without one.
//
// A host material becomes what ShowMaterial makes of it: its base colour decoded from sRGB (a
// texture's tint is decoded the same way, which keeps a tint of 1 at 1 and darkens the way the
// eye expects), its bitmap diffuse map as the base-colour texture (repeated, as the host tiles
// maps), 1 - its reflection glossiness as roughness; never metallic. A wire colour is a plain
// colour with roughness 0.7.
class MaterialTable {
public:
    explicit MaterialTable(ImageTable& images) : images_(images) {}

    // `standIn`: the name the material takes (an item's name, for a palette colour); empty keeps
    // the material's own.
    int Index(Mtl* m, DWORD wireColor, const std::string& standIn = {}) {
        if (m) {
            auto [it, added] = byMtl_.try_emplace({m, standIn}, 0);
            if (added) it->second = Add(Make(m, standIn));
            return it->second;
        }
        const DWORD rgb = wireColor & 0x00FFFFFFu;
        auto [it, added] = byWire_.try_emplace({rgb, standIn}, 0);
        if (added) {
            char name[16];
            std::snprintf(name, sizeof(name), "Wire %02X%02X%02X", GetRValue(rgb), GetGValue(rgb),
                          GetBValue(rgb));
            it->second = Add(Colour(standIn.empty() ? name : standIn, Color(rgb), kRoughness));
        }
        return it->second;
    }

    const json& Materials() const { return materials_; }
    const json& Textures() const { return textures_; }

private:
    static json Colour(const std::string& name, const Color& c, double roughness) {
        json m = json::object();
        m["name"] = name;
        m["pbrMetallicRoughness"] = {
            {"baseColorFactor", {SrgbToLinear(c.r), SrgbToLinear(c.g), SrgbToLinear(c.b), 1.0}},
            {"metallicFactor", 0.0},
            {"roughnessFactor", roughness}};
        return m;
    }

    json Make(Mtl* m, const std::string& standIn) {
        const MaterialLook look = ShowMaterial(m);
        json material =
            Colour(standIn.empty() ? look.name : standIn, look.baseColour, look.roughness);
        if (!look.textureFile.empty()) {
            if (const int texture = Texture(look.textureFile); texture >= 0)
                material["pbrMetallicRoughness"]["baseColorTexture"] = {{"index", texture}};
        }
        return material;
    }

    int Texture(const std::string& file) {
        const int image = images_.Index(file);
        if (image < 0) return -1;
        auto [it, added] = byImage_.try_emplace(image, 0);
        if (added) {
            textures_.push_back({{"sampler", 0}, {"source", image}});
            it->second = static_cast<int>(textures_.size()) - 1;
        }
        return it->second;
    }

    int Add(json material) {
        materials_.push_back(std::move(material));
        return static_cast<int>(materials_.size()) - 1;
    }

    ImageTable& images_;
    json materials_ = json::array();
    json textures_ = json::array();
    std::map<std::pair<Mtl*, std::string>, int> byMtl_;
    std::map<std::pair<DWORD, std::string>, int> byWire_;
    std::map<int, int> byImage_;
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

// The frame of an instanced source's mesh: units and axes only (its copies carry the rest).
void UnitFrame(double metres, NodeFrame& frame) {
    Matrix3 units = ZUpToYUp();
    units.PreScale(Point3(metres, metres, metres));
    frame.vertexTM = units;
    SetNormalTM(frame);
}

// One copy's glTF instance transform: translation (metres), rotation (x, y, z, w) and scale of
// C^-1 tm C, C the change to glTF's axes. False for shear, a mirror or a number that is not
// finite.
bool InstanceTRS(const Matrix3& tm, double metres, std::array<float, 3>& t, std::array<float, 4>& r,
                 std::array<float, 3>& s) {
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

// Faces must refer to vertices (and texture vertices) the mesh has, and coordinates be finite.
bool CheckMesh(const EvaluatedNode& node, bool uvs, std::string& error) {
    const Mesh& mesh = node.Geometry();
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

// ---- What the file will hold, planned before any of the binary part is written.

// One primitive: the faces of one glTF material.
struct PrimitivePlan {
    int material = -1;
    std::uint32_t faces = 0;
    // Known once the node's vertices are shared out (SharedVertices):
    std::uint32_t vertices = 0;
    std::array<float, 3> min{}, max{};
    // Accessors and their regions of the binary part (offsets from its start).
    std::uint64_t positionsAt = 0, normalsAt = 0, uvsAt = 0, indicesAt = 0;
    bool ShortIndices() const { return vertices <= 0xFFFFu; }
    std::uint64_t IndexBytes() const {
        return (static_cast<std::uint64_t>(faces) * 3 * (ShortIndices() ? 2 : 4) + 3) & ~3ull;
    }
};

struct NodePlan {
    const EvaluatedNode* node = nullptr;
    NodeFrame frame;
    bool uvs = false;
    std::vector<PrimitivePlan> prims;
    std::vector<std::pair<MtlID, int>> idPrims;  // each material ID the faces use, its primitive
    // An instanced source: its groups, each group's material per primitive, and where each
    // group's TRANSLATION, ROTATION and SCALE regions start in the binary part.
    const InstancedSource* instanced = nullptr;
    std::vector<std::vector<int>> groupMaterials;
    std::vector<std::uint64_t> groupAt;
};

// Per material ID (all 65536 of them), its primitive in the plan; -1 for an ID no face uses.
std::vector<int> PrimitiveOfId(const NodePlan& plan) {
    std::vector<int> table(std::size_t{FACE_MATID_MASK} + 1, -1);
    for (const auto& [id, prim] : plan.idPrims) table[id] = prim;
    return table;
}

// The primitives of a node: the materials its faces show, in the order the faces first use them.
// A Trellon object's faces show their item's or profile's material (`sources`, by material ID);
// where that has none, the node's palette colour stands in under the item's name.
void PlanPrimitives(NodePlan& plan, MaterialTable& materials,
                    const std::vector<FaceSource>& sources) {
    const EvaluatedNode& node = *plan.node;
    const Mesh& mesh = node.Geometry();
    std::vector<int> primOfId(std::size_t{FACE_MATID_MASK} + 1, -1);
    std::map<int, int> primOfMaterial;
    for (int f = 0; f < mesh.numFaces; ++f) {
        const MtlID id = mesh.faces[f].getMatID();
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
        ++plan.prims[static_cast<std::size_t>(prim)].faces;
    }
}

// ---- Shared vertices.
//
// A glTF vertex is a mesh vertex with one normal, one texture coordinate and one material: the
// corners of faces meeting at a mesh vertex share a glTF vertex wherever those three agree, so a
// flat or smooth surface is written once and a crease, a texture seam or a change of material
// splits it. Normals agree when no component differs by more than kSameNormal (coplanar faces
// whose normals come out a rounding apart still share). Normals follow smoothing groups: at a
// vertex, faces that share a smoothing-group bit, or are linked through faces that do, share
// one normal, the normalised sum of their unit face normals; a face with group 0 has its own
// face normal.
//
// Storage, per mesh vertex v, is a short list of classes starting at slot v: the smoothing
// clusters met at v and the glTF vertices made there. Nothing is kept per corner: the index
// pass finds each corner's class again (at once where its vertex has one class, the common
// case), so the writer's memory is a fraction of the file it writes. The slots live in lazily
// touched zeroed memory (hugearray.h), in which a zero class is an empty one.

constexpr float kSameNormal = 1e-6f;

struct VertexClass {
    std::uint32_t next;   // next class of the same mesh vertex (0: none; heads are never linked)
    float n[3];           // smoothing sum, then the unit normal in glTF space
    std::uint32_t mask;   // smoothing bits of a cluster (0: not a cluster)
    std::uint32_t index;  // its index in its primitive, once the vertices are written
    std::uint16_t prim;   // primitive + 1 once a corner uses it (0: none yet)
    bool Live() const { return mask != 0 || prim != 0; }
};

// Unit length, in float, inline (the hot loops call it per face).
inline void Unit(float& x, float& y, float& z) {
    const float len2 = x * x + y * y + z * z;
    if (len2 > 0.0f) {
        const float inv = 1.0f / std::sqrt(len2);
        x *= inv;
        y *= inv;
        z *= inv;
    }
}

class SharedVertices {
public:
    explicit SharedVertices(const NodePlan& plan)
        : plan_(plan), mesh_(plan.node->Geometry()), primOfId_(PrimitiveOfId(plan)) {
        const Matrix3& m = plan.frame.normalTM;
        for (int r = 0; r < 3; ++r)
            for (int c = 0; c < 3; ++c) tm_[r][c] = m.GetRow(r)[c];
    }
    ~SharedVertices() {
        HugeArray::Free(classes_, capacity_ * sizeof(VertexClass));
        HugeArray::Free(tvs_, tvCapacity_ * sizeof(std::uint32_t));
    }
    SharedVertices(const SharedVertices&) = delete;
    SharedVertices& operator=(const SharedVertices&) = delete;

    // Shares out every corner.
    void Build() {
        const auto nv = static_cast<std::size_t>(mesh_.numVerts);
        Grow(nv + std::max<std::size_t>(nv / 2, 1024));
        count_ = nv;
        Clusters();
        for (int f = 0; f < mesh_.numFaces; ++f) {
            for (int k = 0; k < 3; ++k) ClassOf(f, k);
        }
    }

    // The class of corner k of face f (as Build made it).
    std::uint32_t ClassOf(int f, int k) {
        const Face& face = mesh_.faces[f];
        const DWORD v = face.v[k];
        const auto prim = static_cast<std::uint16_t>(primOfId_[face.getMatID()] + 1);
        const std::uint32_t tv = plan_.uvs ? mesh_.tvFace[f].t[k] : 0u;
        if (face.smGroup != 0) return SmoothClass(v, face.smGroup, tv, prim);
        // One normal per face: worked out once for its three corners.
        if (f != flatFace_) {
            FlatNormal(face, flat_);
            flatFace_ = f;
        }
        return Find(v, flat_, tv, prim);
    }

    // The class of a corner whose vertex has a single class: that one, without a search.
    bool Single(DWORD v) const { return classes_[v].next == 0; }

    VertexClass* Classes() { return classes_; }
    std::size_t Count() const { return count_; }
    std::uint32_t Tv(std::uint32_t c) const { return tvs_ ? tvs_[c] : 0u; }

private:
    void Grow(std::size_t capacity) {
        std::size_t cap = capacity_;
        if (!HugeArray::ResizeArray(classes_, cap, count_, static_cast<long long>(capacity),
                                    true)) {
            NoteFailedAllocation(capacity * sizeof(VertexClass));
            throw std::bad_alloc();
        }
        if (plan_.uvs) {
            std::size_t tvCap = tvCapacity_;
            if (!HugeArray::ResizeArray(tvs_, tvCap, count_, static_cast<long long>(cap), true)) {
                NoteFailedAllocation(cap * sizeof(std::uint32_t));
                throw std::bad_alloc();
            }
            tvCapacity_ = tvCap;
        }
        capacity_ = cap;
    }

    std::uint32_t NewClass(std::uint32_t after) {
        if (count_ == capacity_) Grow(capacity_ + capacity_ / 2 + 1024);
        const auto index = static_cast<std::uint32_t>(count_++);
        classes_[index].next = classes_[after].next;
        classes_[after].next = index;
        return index;
    }

    // The face's unit normal in object space (zero for a degenerate face).
    void FaceNormal(const Face& face, float out[3]) const {
        const Point3& a = mesh_.verts[face.v[0]];
        const Point3& b = mesh_.verts[face.v[1]];
        const Point3& c = mesh_.verts[face.v[2]];
        const float ux = b.x - a.x, uy = b.y - a.y, uz = b.z - a.z;
        const float vx = c.x - b.x, vy = c.y - b.y, vz = c.z - b.z;
        out[0] = uy * vz - uz * vy;
        out[1] = uz * vx - ux * vz;
        out[2] = ux * vy - uy * vx;
        Unit(out[0], out[1], out[2]);
    }

    // An object-space normal as written: through the node's normal matrix, unit length, and a
    // degenerate face's zero normal as glTF's up.
    void ToOutput(float n[3]) const {
        float x = n[0] * tm_[0][0] + n[1] * tm_[1][0] + n[2] * tm_[2][0];
        float y = n[0] * tm_[0][1] + n[1] * tm_[1][1] + n[2] * tm_[2][1];
        float z = n[0] * tm_[0][2] + n[1] * tm_[1][2] + n[2] * tm_[2][2];
        Unit(x, y, z);
        if (x == 0.0f && y == 0.0f && z == 0.0f) y = 1.0f;
        n[0] = x;
        n[1] = y;
        n[2] = z;
    }

    // A face without smoothing groups: its edges' cross product taken straight to glTF space
    // and made unit there (one square root a face).
    void FlatNormal(const Face& face, float out[3]) const {
        const Point3& a = mesh_.verts[face.v[0]];
        const Point3& b = mesh_.verts[face.v[1]];
        const Point3& c = mesh_.verts[face.v[2]];
        const float ux = b.x - a.x, uy = b.y - a.y, uz = b.z - a.z;
        const float vx = c.x - b.x, vy = c.y - b.y, vz = c.z - b.z;
        out[0] = uy * vz - uz * vy;
        out[1] = uz * vx - ux * vz;
        out[2] = ux * vy - uy * vx;
        ToOutput(out);
    }

    // Pass 1: the smoothing clusters at every vertex, each with the sum of its faces' normals.
    void Clusters() {
        for (int f = 0; f < mesh_.numFaces; ++f) {
            const Face& face = mesh_.faces[f];
            if (face.smGroup == 0) continue;
            float n[3];
            FaceNormal(face, n);
            for (int k = 0; k < 3; ++k) {
                const DWORD v = face.v[k];
                // A face counts once at a vertex it names twice.
                if ((k > 0 && v == face.v[0]) || (k > 1 && v == face.v[1])) continue;
                Join(v, face.smGroup, n);
            }
        }
        for (std::size_t c = 0; c < count_; ++c) {
            VertexClass& cls = classes_[c];
            if (cls.mask == 0) continue;
            Unit(cls.n[0], cls.n[1], cls.n[2]);
            ToOutput(cls.n);
        }
    }

    // Adds a face (groups, unit normal) at v: to the cluster it shares a bit with, merging every
    // other cluster it also shares one with; or to a new cluster.
    void Join(DWORD v, DWORD groups, const float n[3]) {
        std::uint32_t into = 0;
        bool found = false;
        std::uint32_t free = 0;  // an empty slot (the head, or a cluster merged away)
        bool haveFree = false;
        for (std::uint32_t c = v;;) {
            VertexClass& cls = classes_[c];
            if (cls.mask == 0) {
                if (!haveFree) {
                    free = c;
                    haveFree = true;
                }
            } else if ((cls.mask & groups) != 0) {
                if (!found) {
                    into = c;
                    found = true;
                } else {
                    // A face bridging two clusters joins them: the later one's faces move over.
                    VertexClass& to = classes_[into];
                    to.mask |= cls.mask;
                    for (int i = 0; i < 3; ++i) to.n[i] += cls.n[i];
                    cls.mask = 0;
                    cls.n[0] = cls.n[1] = cls.n[2] = 0.0f;
                }
            }
            if (cls.next == 0) break;
            c = cls.next;
        }
        if (!found) into = haveFree ? free : NewClass(v);
        VertexClass& to = classes_[into];
        to.mask |= groups;
        for (int i = 0; i < 3; ++i) to.n[i] += n[i];
    }

    static bool SameNormal(const float a[3], const float b[3]) {
        return std::fabs(a[0] - b[0]) <= kSameNormal && std::fabs(a[1] - b[1]) <= kSameNormal &&
               std::fabs(a[2] - b[2]) <= kSameNormal;
    }

    // A class with this normal, texture vertex and primitive at v, made when there is none.
    std::uint32_t Find(DWORD v, const float n[3], std::uint32_t tv, std::uint16_t prim) {
        std::uint32_t last = v;
        for (std::uint32_t c = v;;) {
            const VertexClass& cls = classes_[c];
            if (cls.prim == prim && Tv(c) == tv && SameNormal(cls.n, n)) return c;
            last = c;
            if (cls.next == 0) break;
            c = cls.next;
        }
        const std::uint32_t index = classes_[v].Live() ? NewClass(last) : v;
        VertexClass& target = classes_[index];
        target.prim = prim;
        if (tvs_) tvs_[index] = tv;
        std::memcpy(target.n, n, sizeof(float) * 3);
        return index;
    }

    std::uint32_t SmoothClass(DWORD v, DWORD groups, std::uint32_t tv, std::uint16_t prim) {
        std::uint32_t c = v;
        while ((classes_[c].mask & groups) == 0) c = classes_[c].next;  // Clusters() made one
        VertexClass& cluster = classes_[c];
        if (cluster.prim == 0) {
            cluster.prim = prim;
            if (tvs_) tvs_[c] = tv;
            return c;
        }
        if (cluster.prim == prim && Tv(c) == tv) return c;
        const float n[3] = {cluster.n[0], cluster.n[1], cluster.n[2]};
        return Find(v, n, tv, prim);
    }

    const NodePlan& plan_;
    const Mesh& mesh_;
    std::vector<int> primOfId_;
    float tm_[3][3];
    VertexClass* classes_ = nullptr;
    std::size_t capacity_ = 0;
    std::size_t count_ = 0;
    std::uint32_t* tvs_ = nullptr;  // per class, its texture vertex (with texture coordinates)
    std::size_t tvCapacity_ = 0;
    int flatFace_ = -1;
    float flat_[3] = {0.0f, 0.0f, 0.0f};
};

// ---- The binary part.

// A region of the binary part written front to back; full buffers go to the file's writing
// thread.
class RegionWriter {
public:
    RegionWriter(OutputFile& file, std::uint64_t at, std::uint64_t bytes)
        : file_(file),
          at_(at),
          buffer_(file.NewBuffer(
              static_cast<std::size_t>(std::min<std::uint64_t>(bytes, kRegionBuffer)))) {}
    ~RegionWriter() { Flush(); }
    RegionWriter(const RegionWriter&) = delete;
    RegionWriter& operator=(const RegionWriter&) = delete;

    template <class T>
    void Put(const T& value) {
        if (used_ + sizeof(T) > buffer_.capacity) Flush();
        std::memcpy(buffer_.data.get() + used_, &value, sizeof(T));
        used_ += sizeof(T);
    }
    void Flush() {
        if (used_ == 0) return;
        const std::size_t capacity = buffer_.capacity;
        file_.Submit(at_, std::move(buffer_), used_);
        buffer_ = file_.NewBuffer(capacity);
        at_ += used_;
        used_ = 0;
    }

private:
    OutputFile& file_;
    std::uint64_t at_;
    OutputFile::Buffer buffer_;
    std::size_t used_ = 0;
};

// Writes one node's primitives at `binAt` (file offset of the binary part) + `offset`; returns
// the bytes written. The node's plan gets its vertex counts, bounds and region offsets.
std::uint64_t WriteNodeData(NodePlan& plan, OutputFile& file, std::uint64_t binAt,
                            std::uint64_t offset, ProgressBar& progress, double done,
                            double share) {
    const Mesh& mesh = plan.node->Geometry();
    SharedVertices shared(plan);
    shared.Build();
    progress.Update(done + share * 0.5);
    VertexClass* classes = shared.Classes();

    // Vertices per primitive, and each primitive's regions: positions, normals, texture
    // coordinates, indices, one after the other (each a multiple of 4 bytes).
    for (std::size_t c = 0; c < shared.Count(); ++c)
        if (classes[c].prim != 0) ++plan.prims[classes[c].prim - 1u].vertices;
    std::uint64_t at = offset;
    for (PrimitivePlan& p : plan.prims) {
        const std::uint64_t n = p.vertices;
        p.positionsAt = at;
        p.normalsAt = p.positionsAt + n * 12;
        p.uvsAt = p.normalsAt + n * 12;
        p.indicesAt = p.uvsAt + (plan.uvs ? n * 8 : 0);
        at = p.indicesAt + p.IndexBytes();
        p.min.fill(std::numeric_limits<float>::infinity());
        p.max.fill(-std::numeric_limits<float>::infinity());
    }

    // Vertex attributes, mesh vertex by mesh vertex: each class gets its index in its
    // primitive.
    {
        std::vector<std::unique_ptr<RegionWriter>> positions, normals, uvs;
        for (const PrimitivePlan& p : plan.prims) {
            const std::uint64_t n = p.vertices;
            positions.push_back(
                std::make_unique<RegionWriter>(file, binAt + p.positionsAt, n * 12));
            normals.push_back(std::make_unique<RegionWriter>(file, binAt + p.normalsAt, n * 12));
            uvs.push_back(
                std::make_unique<RegionWriter>(file, binAt + p.uvsAt, plan.uvs ? n * 8 : 0));
        }
        std::vector<std::uint32_t> count(plan.prims.size(), 0);
        const Matrix3& tm = plan.frame.vertexTM;
        for (int v = 0; v < mesh.numVerts; ++v) {
            if (!classes[v].Live() && classes[v].next == 0) continue;  // a vertex no face uses
            const Point3 p = mesh.verts[v] * tm;
            const std::array<float, 3> xyz = {p.x, p.y, p.z};
            for (std::uint32_t c = static_cast<std::uint32_t>(v);;) {
                VertexClass& cls = classes[c];
                if (cls.prim != 0) {
                    const std::size_t k = cls.prim - 1u;
                    PrimitivePlan& prim = plan.prims[k];
                    cls.index = count[k]++;
                    positions[k]->Put(xyz);
                    normals[k]->Put(cls.n);
                    for (std::size_t i = 0; i < 3; ++i) {
                        prim.min[i] = std::min(prim.min[i], xyz[i]);
                        prim.max[i] = std::max(prim.max[i], xyz[i]);
                    }
                    if (plan.uvs) {
                        const UVVert& uv = mesh.tVerts[shared.Tv(c)];
                        const std::array<float, 2> st = {uv.x, 1.0f - uv.y};
                        uvs[k]->Put(st);
                    }
                }
                if (cls.next == 0) break;
                c = cls.next;
            }
        }
    }

    // Indices, face by face, each face into its primitive's region; a mirroring frame writes
    // the corners in reverse order. Smoothing is done: a corner's class is found from its
    // vertex alone where that has one class, else by its normal, texture vertex and primitive.
    {
        std::vector<std::unique_ptr<RegionWriter>> indices;
        for (const PrimitivePlan& p : plan.prims)
            indices.push_back(
                std::make_unique<RegionWriter>(file, binAt + p.indicesAt, p.IndexBytes()));
        const std::vector<int> primOfId = PrimitiveOfId(plan);
        const std::array<int, 3> order =
            plan.frame.reverse ? std::array<int, 3>{0, 2, 1} : std::array<int, 3>{0, 1, 2};
        for (int f = 0; f < mesh.numFaces; ++f) {
            const Face& face = mesh.faces[f];
            const auto prim = static_cast<std::size_t>(primOfId[face.getMatID()]);
            const bool shorts = plan.prims[prim].ShortIndices();
            RegionWriter& out = *indices[prim];
            for (const int k : order) {
                const DWORD v = face.v[k];
                const std::uint32_t c = shared.Single(v) ? v : shared.ClassOf(f, k);
                const std::uint32_t index = classes[c].index;
                if (shorts) {
                    out.Put(static_cast<std::uint16_t>(index));
                } else {
                    out.Put(index);
                }
            }
        }
        for (std::size_t p = 0; p < plan.prims.size(); ++p) {
            const std::uint64_t used =
                std::uint64_t{plan.prims[p].faces} * 3 * (plan.prims[p].ShortIndices() ? 2 : 4);
            for (std::uint64_t pad = used; pad < plan.prims[p].IndexBytes(); ++pad)
                indices[p]->Put(std::uint8_t{0});
        }
    }
    return at - offset;
}

// Writes an instanced plan's groups after `offset`: per group the TRANSLATION, ROTATION and SCALE
// regions one after the other; returns the bytes written. The caller has kept every transform
// InstanceTRS refuses out of the groups.
std::uint64_t WriteInstances(NodePlan& plan, double metres, OutputFile& file, std::uint64_t binAt,
                             std::uint64_t offset) {
    std::uint64_t at = offset;
    for (const InstanceGroup& g : plan.instanced->groups) {
        const std::uint64_t n = g.transforms.size();
        plan.groupAt.push_back(at);
        RegionWriter translations(file, binAt + at, n * 12);
        RegionWriter rotations(file, binAt + at + n * 12, n * 16);
        RegionWriter scales(file, binAt + at + n * 28, n * 12);
        std::array<float, 3> t{}, s{};
        std::array<float, 4> r{};
        for (const Matrix3& tm : g.transforms) {
            if (!InstanceTRS(tm, metres, t, r, s)) {
                // Not an instance (the caller should have drawn it as a node): hidden at the
                // origin by a zero scale rather than drawn wrong.
                t = {0.0f, 0.0f, 0.0f};
                r = {0.0f, 0.0f, 0.0f, 1.0f};
                s = {0.0f, 0.0f, 0.0f};
            }
            translations.Put(t);
            rotations.Put(r);
            scales.Put(s);
        }
        at += n * 40;
    }
    return at - offset;
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
    auto view = [&](std::uint64_t at, std::uint64_t bytes, int target) {
        json v = {{"buffer", 0}, {"byteOffset", count(at)}, {"byteLength", count(bytes)}};
        if (target != 0) v["target"] = target;
        views.push_back(std::move(v));
        return static_cast<int>(views.size()) - 1;
    };
    auto accessor = [&](int bufferView, int componentType, std::uint64_t n, const char* type) {
        accessors.push_back({{"bufferView", bufferView},
                             {"componentType", componentType},
                             {"count", count(n)},
                             {"type", type}});
        return static_cast<int>(accessors.size()) - 1;
    };
    constexpr int kArray = 34962, kElements = 34963, kFloat = 5126;
    // The accessors of a plan's primitives (attributes and indices), made once per plan.
    auto primitiveAccessors = [&](const NodePlan& plan) {
        std::vector<std::pair<json, int>> result;
        for (const PrimitivePlan& p : plan.prims) {
            const std::uint64_t n = p.vertices;
            json attributes = json::object();
            attributes["POSITION"] =
                accessor(view(p.positionsAt, n * 12, kArray), kFloat, n, "VEC3");
            json& pos = accessors.back();
            pos["min"] = {bound(p.min[0]), bound(p.min[1]), bound(p.min[2])};
            pos["max"] = {bound(p.max[0]), bound(p.max[1]), bound(p.max[2])};
            attributes["NORMAL"] = accessor(view(p.normalsAt, n * 12, kArray), kFloat, n, "VEC3");
            if (plan.uvs) {
                attributes["TEXCOORD_0"] =
                    accessor(view(p.uvsAt, n * 8, kArray), kFloat, n, "VEC2");
            }
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
        if (!MakeFrame(node, metres, plan.frame, error) || !CheckMesh(node, plan.uvs, error))
            return false;
        PlanPrimitives(plan, materials, TrellonFaceMaterials(scene, node.node));
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
        if (!CheckMesh(source.source, plan.uvs, error)) return false;
        PlanPrimitives(plan, materials, {});
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
        binLength +=
            WriteNodeData(plan, file, binAt, binLength, progress,
                          static_cast<double>(facesDone) / all, static_cast<double>(faces) / all);
        facesDone += faces;
        if (plan.instanced) binLength += WriteInstances(plan, metres, file, binAt, binLength);
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
