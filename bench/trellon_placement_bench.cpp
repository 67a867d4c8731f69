// The distribution's build: a Trellon object in a host scene with a 10,000-unit path of 20
// right-angle corners and items of 500 faces (a 25 x 10 grid, 286 vertices), built through
// Trellon::BuildMesh with ForceDisplay on, so the whole cost is the placement walk (counting and
// placing) and the mesh written.
//   PerObject/N:   Geo_Pattern 2, one item every 10,000 / N units, mode 6: int(L / spacing) + 1
//                  copies, 10,001 at N = 10,000 but 100,000 at N = 100,000 (in float, the path
//                  length over the spacing falls just short of N there).
//   Sequence/N:    Geo_Pattern 1, three items in three groups at N slots, mode 6.
//   Pyramids/N:    Geo_Pattern 2 as above in mode 4 (5 vertices, 4 faces per copy).
//   AllocateAndWrite/N: the floor under PerObject/N: a fresh mesh of the same size sized once
//                  and written by index with plain values, then freed; what only allocating and
//                  writing the output costs. Its copy count is read at set-up from a mode 4 build
//                  of the same placement (5 vertices a copy, so the set-up itself stays small),
//                  times the item's 286 vertices and 500 faces.
// Items are copies; the counters give copies, the output mesh's vertex and face bytes and output
// vertices per second.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <limits>
#include <memory>
#include <vector>

#include "iparamb2.h"
#include "mesh.h"
#include "object/item_tables.h"
#include "object/param_ids.h"
#include "object/trellon.h"
#include "plugin/plugin.h"
#include "random.h"
#include "scene.h"
#include "splshape.h"
#include "triobj.h"

using namespace trellon;

namespace {

constexpr float kPathLength = 10000.0f;
constexpr int kCorners = 20;
constexpr int kGridX = 25;
constexpr int kGridY = 10;
constexpr std::int64_t kItemVerts = (kGridX + 1) * (kGridY + 1);
constexpr std::int64_t kItemFaces = 2 * kGridX * kGridY;

// Bytes of a mesh's vertex and face arrays (the output; no map channels are written).
double MeshBytes(std::int64_t verts, std::int64_t faces) {
    return static_cast<double>(verts) * sizeof(Point3) + static_cast<double>(faces) * sizeof(Face);
}

// A flat grid of kGridX x kGridY quads standing in the XZ plane: 500 faces, 286 vertices.
TriObject* NewGrid() {
    TriObject* tri = CreateNewTriObject();
    Mesh& m = tri->GetMesh();
    m.setNumVerts((kGridX + 1) * (kGridY + 1));
    m.setNumFaces(2 * kGridX * kGridY);
    for (int j = 0; j <= kGridY; ++j)
        for (int i = 0; i <= kGridX; ++i)
            m.setVert(j * (kGridX + 1) + i,
                      Point3(static_cast<float>(i) * 0.1f, 0.0f, static_cast<float>(j) * 0.1f));
    int f = 0;
    for (int j = 0; j < kGridY; ++j) {
        for (int i = 0; i < kGridX; ++i) {
            const auto a = static_cast<DWORD>(j * (kGridX + 1) + i);
            const DWORD b = a + 1, c = a + kGridX + 2, d = a + kGridX + 1;
            m.faces[f].setVerts(a, b, c);
            m.faces[f].setEdgeVisFlags(1, 1, 0);
            m.faces[f++].setSmGroup(1);
            m.faces[f].setVerts(a, c, d);
            m.faces[f].setEdgeVisFlags(0, 1, 1);
            m.faces[f++].setSmGroup(1);
        }
    }
    return tri;
}

// A staircase of kCorners + 1 equal straight segments, kPathLength long.
SplineShape* NewStaircase() {
    auto* shape = new SplineShape();
    Spline3D* s = shape->shape.NewSpline();
    const float step = kPathLength / static_cast<float>(kCorners + 1);
    Point3 p(0.0f, 0.0f, 0.0f);
    for (int k = 0; k <= kCorners + 1; ++k) {
        s->AddKnot(SplineKnot(KTYPE_CORNER, LTYPE_LINE, p, p, p));
        if (k % 2 == 0)
            p.x += step;
        else
            p.y += step;
    }
    s->ComputeBezPoints();
    shape->shape.UpdateSels();
    shape->shape.InvalidateGeomCache();
    return shape;
}

struct Setup {
    host::Scene scene;
    Trellon* object = nullptr;
    IParamBlock2* pb = nullptr;

    Setup(int pattern, int mode, int items, float spacing) {
        object = static_cast<Trellon*>(trellon::GetTrellonDesc()->Create(FALSE));
        scene.CreateObjectNode(object);
        pb = object->GetParamBlock(0);
        object->Ready = 0;
        trellon::ItemTables tables(pb, 0);
        tables.AppendSharedEntries();
        pb->SetValue(Item_Spacing, 0, spacing, 0);
        pb->SetValue(Spline_Obj, 0, scene.CreateObjectNode(NewStaircase()));
        for (int k = 0; k < items; ++k) {
            trellon::NewItem item;
            item.node = scene.CreateObjectNode(NewGrid());
            item.name = MSTR(L"Grid");
            item.boxMax = Point3(2.5f, 0.0f, 1.0f);
            item.faceCount = 2 * kGridX * kGridY;
            tables.AddObject(item);
        }
        Random generator;
        generator.srand(1);
        tables.RegenerateTransformPools(0, generator);
        tables.RegenerateMirrorPool(0, generator);
        pb->SetValue(Geo_Pattern, 0, pattern);
        pb->SetValue(Display_Mode, 0, mode);
        pb->SetValue(ForceDisplay, 0, 1);
    }
};

void Run(benchmark::State& state, int pattern, int mode, int items) {
    const auto copies = static_cast<float>(state.range(0));
    // Patterns 0/1 lay int(L / spacing) slots, pattern 2 int(L / spacing) + 1 copies.
    Setup setup(pattern, mode, items, kPathLength / copies);
    std::int64_t verts = 0;
    for (auto _ : state) {
        setup.object->BuildMesh(0);
        verts = setup.object->mesh.getNumVerts();
        benchmark::DoNotOptimize(setup.object->mesh.verts);
    }
    const std::int64_t perCopy = mode == 4 ? 5 : kItemVerts;
    const std::int64_t placed = verts / perCopy;
    state.SetItemsProcessed(state.iterations() * placed);
    state.counters["copies"] = static_cast<double>(placed);
    state.counters["bytes"] = MeshBytes(verts, setup.object->mesh.getNumFaces());
    state.counters["verts/s"] = benchmark::Counter(static_cast<double>(verts),
                                                   benchmark::Counter::kIsIterationInvariantRate);
}

void PerObject(benchmark::State& state) { Run(state, 2, 6, 1); }
void Sequence(benchmark::State& state) { Run(state, 1, 6, 3); }
void Pyramids(benchmark::State& state) { Run(state, 2, 4, 1); }

void AllocateAndWrite(benchmark::State& state) {
    std::int64_t copies = 0;
    {
        // The placement of PerObject/N, built in mode 4: one 5-vertex pyramid per copy.
        Setup setup(2, 4, 1, kPathLength / static_cast<float>(state.range(0)));
        setup.object->BuildMesh(0);
        copies = setup.object->mesh.getNumVerts() / 5;
    }
    const std::int64_t verts64 = copies * kItemVerts;
    const std::int64_t faces64 = copies * kItemFaces;
    if (copies <= 0 || verts64 > std::numeric_limits<int>::max() ||
        faces64 > std::numeric_limits<int>::max()) {
        state.SkipWithError("the set-up build placed no copies or too many for one mesh");
        return;
    }
    const auto perVerts = static_cast<int>(kItemVerts);
    const auto perFaces = static_cast<int>(kItemFaces);
    const auto n = static_cast<int>(copies);
    for (auto _ : state) {
        Mesh mesh;
        if (!mesh.setNumVerts(n * perVerts) || !mesh.setNumFaces(n * perFaces)) {
            state.SkipWithError("no memory for the mesh");
            return;
        }
        int v = 0;
        int f = 0;
        for (int c = 0; c < n; ++c) {
            const auto base = static_cast<DWORD>(v);
            for (int k = 0; k < perVerts; ++k, ++v)
                mesh.verts[v] = Point3(static_cast<float>(k), static_cast<float>(c), 1.0f);
            for (int k = 0; k < perFaces; ++k, ++f) {
                // Two faces a quad, as the grid item: every index stays inside this copy.
                const DWORD a = base + static_cast<DWORD>(k >> 1);
                Face& face = mesh.faces[f];
                face.setVerts(a, a + 1, a + 2);
                face.setSmGroup(1);
                face.setEdgeVisFlags(1, 1, 0);
                face.setMatID(0);
            }
        }
        benchmark::DoNotOptimize(mesh.verts);
        benchmark::DoNotOptimize(mesh.faces);
        benchmark::ClobberMemory();
    }
    const double bytes = MeshBytes(verts64, faces64);
    state.SetBytesProcessed(static_cast<std::int64_t>(bytes) * state.iterations());
    state.counters["copies"] = static_cast<double>(copies);
    state.counters["bytes"] = bytes;
    state.counters["verts/s"] = benchmark::Counter(static_cast<double>(verts64),
                                                   benchmark::Counter::kIsIterationInvariantRate);
}

}  // namespace

BENCHMARK(AllocateAndWrite)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(PerObject)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(Sequence)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(Pyramids)->Arg(100000)->Unit(benchmark::kMillisecond);
