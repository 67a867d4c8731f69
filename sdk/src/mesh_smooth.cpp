// Mesh::AutoSmooth: smoothing groups from the angles between face normals. The rule is written
// at the top of mesh.h.
#include <bit>
#include <cmath>
#include <cstddef>
#include <numeric>
#include <vector>

#include "mesh.h"

namespace {

constexpr unsigned char kIndicesOk = 1;  // all three vertex indices name vertices
constexpr unsigned char kHasNormal = 2;  // non-degenerate
constexpr unsigned char kActive = 4;     // taking part (every face, or a selected one)

// The faces around each vertex, as one list with per-vertex start offsets.
struct VertexFaces {
    std::vector<std::size_t> start;
    std::vector<int> faces;

    const int* begin(DWORD v) const { return faces.data() + start[v]; }
    const int* end(DWORD v) const { return faces.data() + start[v + 1]; }
};

VertexFaces BuildVertexFaces(const Face* faces, const std::vector<unsigned char>& state, int nf,
                             int nv) {
    VertexFaces vf;
    vf.start.assign(static_cast<std::size_t>(nv) + 1, 0);
    for (int f = 0; f < nf; ++f)
        if (state[static_cast<std::size_t>(f)] & kIndicesOk)
            for (DWORD v : faces[f].v) ++vf.start[v + 1];
    std::partial_sum(vf.start.begin(), vf.start.end(), vf.start.begin());
    vf.faces.resize(vf.start.back());
    std::vector<std::size_t> next(vf.start.begin(), vf.start.end() - 1);
    for (int f = 0; f < nf; ++f)
        if (state[static_cast<std::size_t>(f)] & kIndicesOk)
            for (DWORD v : faces[f].v) vf.faces[next[v]++] = f;
    return vf;
}

// Connected pieces of the mesh (vertices joined by faces), by union-find.
class Pieces {
public:
    explicit Pieces(int nv) : parent_(static_cast<std::size_t>(nv)) {
        std::iota(parent_.begin(), parent_.end(), DWORD{0});
    }
    DWORD Find(DWORD v) {
        while (parent_[v] != v) {
            parent_[v] = parent_[parent_[v]];
            v = parent_[v];
        }
        return v;
    }
    void Unite(DWORD a, DWORD b) {
        a = Find(a);
        b = Find(b);
        if (a != b) parent_[b] = a;
    }

private:
    std::vector<DWORD> parent_;
};

bool HasVertex(const Face& f, DWORD v) { return f.v[0] == v || f.v[1] == v || f.v[2] == v; }

}  // namespace

void Mesh::AutoSmooth(float angle, BOOL useSel, BOOL preventIndirectSmoothing) {
    const int nf = numFaces;
    const int nv = numVerts;
    if (nf <= 0) return;
    const float cosLimit = std::cos(angle);  // smooth when cos(between normals) > cosLimit
    const auto uf = static_cast<std::size_t>(nf);

    std::vector<unsigned char> state(uf, 0);
    std::vector<Point3> normal(uf);
    for (std::size_t f = 0; f < uf; ++f) {
        Face& F = faces[f];
        unsigned char s = 0;
        if (!useSel || faceSel[static_cast<int>(f)]) {
            s |= kActive;
            F.smGroup = 0;
        }
        const auto unv = static_cast<DWORD>(nv);
        if (F.v[0] < unv && F.v[1] < unv && F.v[2] < unv) {
            s |= kIndicesOk;
            const Point3 c = (verts[F.v[1]] - verts[F.v[0]]) ^ (verts[F.v[2]] - verts[F.v[1]]);
            const float len = c.Length();
            if (len > 0.0f && std::isfinite(len)) {
                normal[f] = c / len;
                s |= kHasNormal;
            }
        }
        state[f] = s;
    }
    const VertexFaces around = BuildVertexFaces(faces, state, nf, nv);

    // Bits used so far in each piece (indexed by the piece's root vertex); untouched faces'
    // groups count from the start.
    Pieces pieces(nv);
    for (std::size_t f = 0; f < uf; ++f) {
        if (!(state[f] & kIndicesOk)) continue;
        pieces.Unite(faces[f].v[0], faces[f].v[1]);
        pieces.Unite(faces[f].v[0], faces[f].v[2]);
    }
    std::vector<DWORD> pieceBits(static_cast<std::size_t>(nv), 0);
    for (std::size_t f = 0; f < uf; ++f)
        if ((state[f] & kIndicesOk) && !(state[f] & kActive))
            pieceBits[pieces.Find(faces[f].v[0])] |= faces[f].smGroup;

    constexpr unsigned char kCandidate = kActive | kHasNormal;
    auto smooth = [&](int f, int g) {
        return DotProd(normal[static_cast<std::size_t>(f)], normal[static_cast<std::size_t>(g)]) >
               cosLimit;
    };
    std::vector<int> cluster(uf, -1);
    // With preventIndirectSmoothing: g may join cluster c only if it is within the angle of
    // every member of c that shares a vertex with it.
    auto fitsCluster = [&](int g, int c) {
        for (DWORD v : faces[g].v)
            for (const int* h = around.begin(v); h != around.end(v); ++h)
                if (*h != g && cluster[static_cast<std::size_t>(*h)] == c && !smooth(g, *h))
                    return false;
        return true;
    };

    std::vector<int> members;
    int c = 0;
    for (int seed = 0; seed < nf; ++seed) {
        const auto us = static_cast<std::size_t>(seed);
        if ((state[us] & kCandidate) != kCandidate || cluster[us] >= 0) continue;
        members.clear();
        members.push_back(seed);
        cluster[us] = c;
        for (std::size_t k = 0; k < members.size(); ++k) {
            const int f = members[k];
            const Face& F = faces[f];
            for (int e = 0; e < 3; ++e) {
                const DWORD a = F.v[e], b = F.v[(e + 1) % 3];
                if (a == b) continue;
                for (const int* h = around.begin(a); h != around.end(a); ++h) {
                    const int g = *h;
                    const auto ug = static_cast<std::size_t>(g);
                    if (cluster[ug] >= 0 || (state[ug] & kCandidate) != kCandidate) continue;
                    if (!HasVertex(faces[g], b) || !smooth(f, g)) continue;
                    if (preventIndirectSmoothing && !fitsCluster(g, c)) continue;
                    cluster[ug] = c;
                    members.push_back(g);
                }
            }
        }
        if (members.size() < 2) {  // smooths with nothing: group 0
            ++c;
            continue;
        }

        // The bits of faces outside the cluster that touch it, and how many faces use each.
        DWORD taken = 0;
        int uses[32] = {};
        for (int f : members)
            for (DWORD v : faces[f].v)
                for (const int* h = around.begin(v); h != around.end(v); ++h) {
                    if (cluster[static_cast<std::size_t>(*h)] == c) continue;
                    DWORD g = faces[*h].smGroup;
                    taken |= g;
                    for (; g; g &= g - 1) ++uses[std::countr_zero(g)];
                }
        DWORD& used = pieceBits[pieces.Find(faces[seed].v[0])];
        const DWORD fresh = ~taken & ~used;
        int bit = 0;
        if (fresh) {
            bit = std::countr_zero(fresh);
        } else if (~taken) {
            bit = std::countr_zero(static_cast<DWORD>(~taken));
        } else {
            for (int b = 1; b < 32; ++b)
                if (uses[b] < uses[bit]) bit = b;
        }
        const DWORD group = DWORD{1} << bit;
        for (int f : members) faces[f].smGroup = group;
        used |= group;
        ++c;
    }
}
