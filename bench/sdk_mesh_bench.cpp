// Mesh storage and AutoSmooth. The fill benchmarks size a mesh once and write every vertex and
// face by index, as the mesh builders do; the time includes the first touch of the memory, which
// is what the huge-page backing is for. The std::vector case is the same fill on ordinary pages.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "mesh.h"

namespace {

// AnonHugePages of this process, in kB (0 where the kernel does not report it).
long HugePagesKb() {
    std::FILE* f = std::fopen("/proc/self/smaps_rollup", "r");
    if (!f) return 0;
    char line[256];
    long kb = 0;
    while (std::fgets(line, sizeof line, f))
        if (std::strncmp(line, "AnonHugePages:", 14) == 0) kb = std::atol(line + 14);
    std::fclose(f);
    return kb;
}

void FillMesh(Mesh& m, int n) {
    m.setNumVerts(n);
    m.setNumFaces(n);
    for (int i = 0; i < n; ++i) m.verts[i] = Point3(float(i), 1.0f, 2.0f);
    for (int i = 0; i < n; ++i) {
        Face& f = m.faces[i];
        f.setVerts(DWORD(i), DWORD((i + 1) % n), DWORD((i + 2) % n));
        f.setEdgeVisFlags(1, 1, 0);
        f.setSmGroup(1);
        f.setMatID(MtlID(i & 7));
    }
}

void BM_MeshSizeOnceAndFill(benchmark::State& state) {
    const int n = static_cast<int>(state.range(0));
    long huge = 0;
    for (auto _ : state) {
        Mesh m;
        FillMesh(m, n);
        huge = HugePagesKb();
        benchmark::DoNotOptimize(m.verts);
    }
    state.counters["huge_MiB"] = double(huge) / 1024.0;
    state.SetItemsProcessed(state.iterations() * n);
}
BENCHMARK(BM_MeshSizeOnceAndFill)->Arg(1 << 20)->Arg(10'000'000)->Unit(benchmark::kMillisecond);

// Rebuilding into the same mesh, as an object rebuilds its mesh on every change: the arrays are
// reused (and cleared), so no fresh memory is touched.
void BM_MeshRefill(benchmark::State& state) {
    const int n = static_cast<int>(state.range(0));
    Mesh m;
    FillMesh(m, n);  // the first build, outside the timing
    for (auto _ : state) {
        FillMesh(m, n);
        benchmark::DoNotOptimize(m.verts);
    }
    state.SetItemsProcessed(state.iterations() * n);
}
BENCHMARK(BM_MeshRefill)->Arg(1 << 20)->Arg(10'000'000)->Unit(benchmark::kMillisecond);

// The same bytes written into std::vector storage (value-initialised, ordinary pages).
void BM_VectorFillBaseline(benchmark::State& state) {
    const int n = static_cast<int>(state.range(0));
    for (auto _ : state) {
        std::vector<Point3> v(static_cast<std::size_t>(n));
        std::vector<Face> f(static_cast<std::size_t>(n));
        for (int i = 0; i < n; ++i) v[std::size_t(i)] = Point3(float(i), 1.0f, 2.0f);
        for (int i = 0; i < n; ++i) {
            Face& fc = f[std::size_t(i)];
            fc.setVerts(DWORD(i), DWORD((i + 1) % n), DWORD((i + 2) % n));
            fc.setEdgeVisFlags(1, 1, 0);
            fc.setSmGroup(1);
            fc.setMatID(MtlID(i & 7));
        }
        benchmark::DoNotOptimize(v.data());
        benchmark::DoNotOptimize(f.data());
    }
    state.SetItemsProcessed(state.iterations() * n);
}
BENCHMARK(BM_VectorFillBaseline)->Arg(1 << 20)->Arg(10'000'000)->Unit(benchmark::kMillisecond);

// Appending copy by copy (setNumVerts/setNumFaces with keep), 1000 copies of a 500-face item.
void BM_MeshAppendCopies(benchmark::State& state) {
    constexpr int kItemVerts = 252, kItemFaces = 500, kCopies = 1000;
    for (auto _ : state) {
        Mesh m;
        for (int c = 0; c < kCopies; ++c) {
            const int v0 = m.getNumVerts(), f0 = m.getNumFaces();
            m.setNumVerts(v0 + kItemVerts, TRUE);
            m.setNumFaces(f0 + kItemFaces, TRUE);
            for (int i = 0; i < kItemVerts; ++i) m.verts[v0 + i] = Point3(float(c), float(i), 0.0f);
            for (int i = 0; i < kItemFaces; ++i)
                m.faces[f0 + i].setVerts(DWORD(v0 + i / 2), DWORD(v0 + i / 2 + 1),
                                         DWORD(v0 + i / 2 + 2));
        }
        benchmark::DoNotOptimize(m.faces);
    }
    state.SetItemsProcessed(state.iterations() * kCopies * kItemFaces);
}
BENCHMARK(BM_MeshAppendCopies)->Unit(benchmark::kMillisecond);

// A swept tube: `rings` rings of `sides` vertices, quads split in two, smoothed at 30 degrees
// (a 16-sided profile turns 22.5 degrees per side, so the tube smooths round).
void BM_AutoSmoothTube(benchmark::State& state) {
    const int rings = static_cast<int>(state.range(0)), sides = 16;
    Mesh m;
    m.setNumVerts(rings * sides);
    m.setNumFaces((rings - 1) * sides * 2);
    for (int r = 0; r < rings; ++r)
        for (int s = 0; s < sides; ++s) {
            const float a = 6.2831853f * float(s) / float(sides);
            m.verts[r * sides + s] = Point3(std::cos(a), std::sin(a), float(r));
        }
    int f = 0;
    for (int r = 0; r + 1 < rings; ++r)
        for (int s = 0; s < sides; ++s) {
            const DWORD a = DWORD(r * sides + s), b = DWORD(r * sides + (s + 1) % sides);
            const DWORD c = b + DWORD(sides), d = a + DWORD(sides);
            m.faces[f++].setVerts(a, b, c);
            m.faces[f++].setVerts(c, d, a);
        }
    for (auto _ : state) m.AutoSmooth(0.5235988f, FALSE, state.range(1) ? TRUE : FALSE);
    state.SetItemsProcessed(state.iterations() * m.getNumFaces());
}
BENCHMARK(BM_AutoSmoothTube)->Args({10000, 0})->Args({10000, 1})->Unit(benchmark::kMillisecond);

}  // namespace
