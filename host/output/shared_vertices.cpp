#include "shared_vertices.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <utility>

#include "failed_allocation.h"
#include "hugearray.h"

namespace host::gltf {
SharedVertices::SharedVertices(const Mesh& mesh, bool uvs, const Matrix3& normalTM,
                               std::vector<int> primOfId)
    : mesh_(mesh), uvs_(uvs), primOfId_(std::move(primOfId)) {
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 3; ++c) tm_[r][c] = normalTM.GetRow(r)[c];
}

SharedVertices::~SharedVertices() {
    HugeArray::Free(classes_, capacity_ * sizeof(VertexClass));
    HugeArray::Free(tvs_, tvCapacity_ * sizeof(std::uint32_t));
}

void SharedVertices::Prepare(bool smoothing) {
    const auto nv = static_cast<std::size_t>(mesh_.numVerts);
    Grow(nv + std::max<std::size_t>(nv / 2, 1024));
    count_ = nv;
    if (smoothing) Clusters();
}

void SharedVertices::Grow(std::size_t capacity) {
    std::size_t cap = capacity_;
    if (!HugeArray::ResizeArray(classes_, cap, count_, static_cast<long long>(capacity), true)) {
        NoteFailedAllocation(capacity * sizeof(VertexClass));
        throw std::bad_alloc();
    }
    if (uvs_) {
        std::size_t tvCap = tvCapacity_;
        if (!HugeArray::ResizeArray(tvs_, tvCap, count_, static_cast<long long>(cap), true)) {
            NoteFailedAllocation(cap * sizeof(std::uint32_t));
            throw std::bad_alloc();
        }
        tvCapacity_ = tvCap;
    }
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
    for (std::size_t c = 0; c < count_; ++c) {
        VertexClass& cls = classes_[c];
        if (cls.mask == 0) continue;
        Unit(cls.n[0], cls.n[1], cls.n[2]);
        ToOutput(cls.n);
    }
}

void SharedVertices::Join(DWORD v, DWORD groups, const float n[3]) {
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

std::uint32_t SharedVertices::SmoothClass(DWORD v, DWORD groups, std::uint32_t tv,
                                          std::uint16_t prim) {
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

}  // namespace host::gltf
