// The vertices of a .glb primitive, shared out among the corners of a mesh's faces.
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
// clusters met at v and the glTF vertices made there. Nothing is kept per corner: a corner's
// class is found (or made) when the writer reaches it, so the writer's memory is a fraction of
// the file it writes. The slots live in lazily touched zeroed memory (hugearray.h), in which a
// zero class is an empty one. A class names its normal by its entry in a table of normals: the
// corners of a flat panel or of one smoothing cluster all name one entry, so a class is 16 bytes
// (the memory the writer touches first is what a fresh process pays for, page by page), and two
// classes naming one entry agree without comparing floats.
#pragma once

#include <array>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "matrix3.h"
#include "mesh.h"

namespace host::gltf {

// Normals closer than this in every component are one normal.
inline constexpr float kSameNormal = 1e-6f;

struct VertexClass {
    std::uint32_t next;    // next class of the same mesh vertex (0: none; heads are never linked)
    std::uint32_t normal;  // its normal's entry in the normal table
    std::uint32_t index;   // its vertex number in its primitive + 1, once numbered (0: not yet)
    std::uint16_t prim;    // primitive + 1 once a corner uses it (0: none yet)
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
    // The corners of `mesh`'s faces; `uvs`: its faces' texture vertices count; `normalTM` takes
    // object-space normals to the file's frame; `primOfId`: per material ID (up to the largest
    // the faces use), the primitive its faces go to (kept by the caller while this lives).
    SharedVertices(const Mesh& mesh, bool uvs, const Matrix3& normalTM,
                   const std::vector<int>& primOfId);
    ~SharedVertices();
    SharedVertices(const SharedVertices&) = delete;
    SharedVertices& operator=(const SharedVertices&) = delete;

    // The smoothing clusters; `smoothing`: whether any face has a smoothing group (without one
    // there is nothing to cluster and every face keeps its own normal).
    void Prepare(bool smoothing);

    // The classes of face f's three corners, in corner order, made the first time they are
    // asked for (inline: the writer calls it once per face of the mesh).
    void FaceClasses(int f, std::uint32_t out[3]) {
        const Face& face = mesh_.faces[f];
        const auto prim = static_cast<std::uint16_t>(PrimitiveOf(face) + 1);
        std::uint32_t tv[3] = {0u, 0u, 0u};
        if (uvs_) {
            for (int k = 0; k < 3; ++k) tv[k] = mesh_.tvFace[f].t[k];
        }
        if (face.smGroup != 0) {
            for (int k = 0; k < 3; ++k) out[k] = SmoothClass(face.v[k], face.smGroup, tv[k], prim);
            return;
        }
        // One normal per face, worked out once for its three corners. Consecutive faces are often
        // coplanar (the two triangles of a quad, a flat panel): a face whose edges' cross product
        // is parallel to the last flat face's takes that face's normal as it stands, without the
        // transform and the square root. Within 1e-7 radians, the normals differ by less than
        // what already makes two normals one (kSameNormal).
        float cross[3];
        Cross(face, cross);
        if (!Parallel(cross, lastCross_)) {
            float n[3];
            for (int i = 0; i < 3; ++i) lastCross_[i] = n[i] = cross[i];
            ToOutput(n);
            lastNormal_ = NewNormal(n);
        }
        for (int k = 0; k < 3; ++k) out[k] = Find(face.v[k], lastNormal_, tv[k], prim);
    }

    // The primitive a face's corners go to.
    std::size_t PrimitiveOf(const Face& face) const {
        return static_cast<std::size_t>(primOfId_[face.getMatID()]);
    }

    VertexClass* Classes() { return classes_; }
    std::uint32_t Tv(std::uint32_t c) const { return tvs_ ? tvs_[c] : 0u; }
    // Class c's unit normal in the file's frame.
    const float* Normal(std::uint32_t c) const { return normals_[classes_[c].normal].data(); }

private:
    using Normal3 = std::array<float, 3>;

    void Grow(std::size_t capacity);
    std::uint32_t NewClass(std::uint32_t after);
    std::uint32_t NewNormal(const float n[3]) {
        normals_.push_back({n[0], n[1], n[2]});
        return static_cast<std::uint32_t>(normals_.size() - 1);
    }
    // Whether slot c holds a cluster or a glTF vertex.
    bool Live(std::uint32_t c) const {
        return classes_[c].prim != 0 || (masks_ != nullptr && masks_[c] != 0);
    }

    // The cross product of the face's edges, in object space: its normal times twice its area
    // (zero for a degenerate face).
    void Cross(const Face& face, float out[3]) const {
        const Point3& a = mesh_.verts[face.v[0]];
        const Point3& b = mesh_.verts[face.v[1]];
        const Point3& c = mesh_.verts[face.v[2]];
        const float ux = b.x - a.x, uy = b.y - a.y, uz = b.z - a.z;
        const float vx = c.x - b.x, vy = c.y - b.y, vz = c.z - b.z;
        out[0] = uy * vz - uz * vy;
        out[1] = uz * vx - ux * vz;
        out[2] = ux * vy - uy * vx;
    }

    // Whether two cross products point the same way within 1e-7 radians (never for a zero one):
    // |a x b| <= 1e-7 |a| |b| with a . b > 0, in double so that no square overflows.
    static bool Parallel(const float a[3], const float b[3]) {
        const double ax = a[0], ay = a[1], az = a[2], bx = b[0], by = b[1], bz = b[2];
        const double dot = ax * bx + ay * by + az * bz;
        if (!(dot > 0.0)) return false;
        const double cx = ay * bz - az * by, cy = az * bx - ax * bz, cz = ax * by - ay * bx;
        return cx * cx + cy * cy + cz * cz <=
               1e-14 * (ax * ax + ay * ay + az * az) * (bx * bx + by * by + bz * bz);
    }

    // An object-space normal (of any length) as written: through the node's normal matrix, unit
    // length, and a degenerate face's zero normal as glTF's up. A flat face's cross product goes
    // straight through, so it is made unit once, in the file's frame.
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

    // Pass 1: the smoothing clusters at every vertex, each with the sum of its faces' normals.
    void Clusters();
    // Adds a face (groups, unit normal) at v: to the cluster it shares a bit with, merging every
    // other cluster it also shares one with; or to a new cluster.
    void Join(DWORD v, DWORD groups, const float n[3]);
    bool SameNormal(std::uint32_t a, std::uint32_t b) const {
        if (a == b) return true;
        const Normal3& p = normals_[a];
        const Normal3& q = normals_[b];
        return std::fabs(p[0] - q[0]) <= kSameNormal && std::fabs(p[1] - q[1]) <= kSameNormal &&
               std::fabs(p[2] - q[2]) <= kSameNormal;
    }

    // A class with this normal (an entry of the table), texture vertex and primitive at v, made
    // when there is none (inline: every corner of a flat face comes here).
    std::uint32_t Find(DWORD v, std::uint32_t normal, std::uint32_t tv, std::uint16_t prim) {
        std::uint32_t last = v;
        for (std::uint32_t c = v;;) {
            const VertexClass& cls = classes_[c];
            if (cls.prim == prim && Tv(c) == tv && SameNormal(cls.normal, normal)) return c;
            last = c;
            if (cls.next == 0) break;
            c = cls.next;
        }
        const std::uint32_t index = Live(v) ? NewClass(last) : v;
        VertexClass& target = classes_[index];
        target.prim = prim;
        target.normal = normal;
        if (tvs_) tvs_[index] = tv;
        return index;
    }
    std::uint32_t SmoothClass(DWORD v, DWORD groups, std::uint32_t tv, std::uint16_t prim);

    const Mesh& mesh_;
    bool uvs_;
    const std::vector<int>& primOfId_;
    float tm_[3][3];
    VertexClass* classes_ = nullptr;
    std::size_t capacity_ = 0;
    std::size_t count_ = 0;
    // Per class, beside classes_ (grown with it): its texture vertex, with texture coordinates;
    // its smoothing bits as a cluster (0: not a cluster), with smoothing groups.
    std::uint32_t* tvs_ = nullptr;
    std::uint32_t* masks_ = nullptr;
    std::size_t tvCapacity_ = 0, maskCapacity_ = 0;
    // The normals the classes name: flat faces' (in the file's frame, unit length) and the
    // clusters' (sums of their faces' unit normals until Clusters() ends, then as written).
    std::vector<Normal3> normals_;
    // The last flat face's cross product (object space) and its normal's entry.
    float lastCross_[3] = {0.0f, 0.0f, 0.0f};
    std::uint32_t lastNormal_ = 0;
};

}  // namespace host::gltf
