#include "shared_vertices.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "failed_allocation.h"
#include "hugearray.h"

namespace host::gltf {
namespace {

// Grows a zeroed array of per-class words to at least `capacity` entries, keeping `used`.
void GrowBeside(std::uint32_t*& p, std::size_t& cap, std::size_t used, std::size_t capacity) {
    if (!HugeArray::ResizeArray(p, cap, used, static_cast<long long>(capacity), true)) {
        NoteFailedAllocation(capacity * sizeof(std::uint32_t));
        throw std::bad_alloc();
    }
}

}  // namespace

SharedVertices::SharedVertices(const Mesh& mesh, bool uvs, const Matrix3& normalTM,
                               const std::vector<int>& primOfId)
    : mesh_(mesh), uvs_(uvs), primOfId_(primOfId) {
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 3; ++c) tm_[r][c] = normalTM.GetRow(r)[c];
}

SharedVertices::~SharedVertices() {
    HugeArray::Free(classes_, capacity_ * sizeof(VertexClass));
    HugeArray::Free(tvs_, tvCapacity_ * sizeof(std::uint32_t));
    HugeArray::Free(masks_, maskCapacity_ * sizeof(std::uint32_t));
}

void SharedVertices::Prepare(bool smoothing) {
    const auto nv = static_cast<std::size_t>(mesh_.numVerts);
    Grow(nv + std::max<std::size_t>(nv / 2, 1024));
    count_ = nv;
    if (!smoothing) return;
    GrowBeside(masks_, maskCapacity_, 0, capacity_);
    Clusters();
}

void SharedVertices::Grow(std::size_t capacity) {
    std::size_t cap = capacity_;
    if (!HugeArray::ResizeArray(classes_, cap, count_, static_cast<long long>(capacity), true)) {
        NoteFailedAllocation(capacity * sizeof(VertexClass));
        throw std::bad_alloc();
    }
    if (uvs_) GrowBeside(tvs_, tvCapacity_, count_, cap);
    if (masks_) GrowBeside(masks_, maskCapacity_, count_, cap);
    capacity_ = cap;
}

std::uint32_t SharedVertices::NewClass(std::uint32_t after) {
    if (count_ == capacity_) Grow(capacity_ + capacity_ / 2 + 1024);
    const auto index = static_cast<std::uint32_t>(count_++);
    classes_[index].next = classes_[after].next;
    classes_[after].next = index;
    return index;
}

void SharedVertices::Clusters() {
    for (int f = 0; f < mesh_.numFaces; ++f) {
        const Face& face = mesh_.faces[f];
        if (face.smGroup == 0) continue;
        float n[3];
        Cross(face, n);
        Unit(n[0], n[1], n[2]);
        for (int k = 0; k < 3; ++k) {
            const DWORD v = face.v[k];
            // A face counts once at a vertex it names twice.
            if ((k > 0 && v == face.v[0]) || (k > 1 && v == face.v[1])) continue;
            Join(v, face.smGroup, n);
        }
    }
    // Each cluster has an entry of its own.
    for (std::size_t c = 0; c < count_; ++c) {
        if (masks_[c] == 0) continue;
        Normal3& n = normals_[classes_[c].normal];
        Unit(n[0], n[1], n[2]);
        ToOutput(n.data());
    }
}

void SharedVertices::Join(DWORD v, DWORD groups, const float n[3]) {
    std::uint32_t into = 0;
    bool found = false;
    std::uint32_t free = 0;  // an empty slot (the head, or a cluster merged away)
    bool haveFree = false;
    for (std::uint32_t c = v;;) {
        if (masks_[c] == 0) {
            if (!haveFree) {
                free = c;
                haveFree = true;
            }
        } else if ((masks_[c] & groups) != 0) {
            if (!found) {
                into = c;
                found = true;
            } else {
                // A face bridging two clusters joins them: the later one's faces move over.
                masks_[into] |= masks_[c];
                Normal3& to = normals_[classes_[into].normal];
                const Normal3& from = normals_[classes_[c].normal];
                for (int i = 0; i < 3; ++i) to[i] += from[i];
                masks_[c] = 0;
            }
        }
        if (classes_[c].next == 0) break;
        c = classes_[c].next;
    }
    if (found) {
        masks_[into] |= groups;
        Normal3& to = normals_[classes_[into].normal];
        for (int i = 0; i < 3; ++i) to[i] += n[i];
        return;
    }
    // A new cluster (in a free slot, whose old entry nothing names any more) starts its own sum.
    into = haveFree ? free : NewClass(v);
    masks_[into] = groups;
    classes_[into].normal = NewNormal(n);
}

std::uint32_t SharedVertices::SmoothClass(DWORD v, DWORD groups, std::uint32_t tv,
                                          std::uint16_t prim) {
    std::uint32_t c = v;
    while ((masks_[c] & groups) == 0) c = classes_[c].next;  // Clusters() made one
    VertexClass& cluster = classes_[c];
    if (cluster.prim == 0) {
        cluster.prim = prim;
        if (tvs_) tvs_[c] = tv;
        return c;
    }
    if (cluster.prim == prim && Tv(c) == tv) return c;
    return Find(v, cluster.normal, tv, prim);
}

}  // namespace host::gltf
