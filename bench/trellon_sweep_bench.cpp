// Sweeps: the walk and the mesh it writes, in a host scene.
//   LongLoop*: a 32-point closed circle profile (4 Bezier knots at Shape_Steps 7) swept along a
//              closed smooth path of 1,000 knots at 99 steps: 100,000 samples, a loop, so
//              3,200,000 vertices, 6,400,000 faces and texture faces, 3,300,033 texture vertices.
//              Render form (a fresh mesh each iteration, as the renderer asks for it) and viewport
//              form (the object's mesh emptied as the build driver does), and the walk alone.
//   Staircase: ten such sweeps, side offsets 0 .. 4.5, along an open staircase of 1,000 right-angle
//              corners (path steps 0: 1,002 samples, every inner one a mitred corner).
// Items are output vertices. Counters: mesh_MB, the mesh's arrays (huge-page aware storage);
// peak_RSS_MB, the process's peak resident set so far.
#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <cmath>
#include <memory>
#include <vector>

#include "hugearray.h"
#include "iparamb2.h"
#include "mesh.h"
#include "object/item_tables.h"
#include "object/param_block.h"
#include "object/param_ids.h"
#include "object/trellon.h"
#include "plugin/plugin.h"
#include "scene.h"
#include "splshape.h"
#include "sweep/sweep_builder.h"
#include "sweep/sweep_walk.h"

using namespace trellon;

namespace {

double PeakRssMB() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_maxrss) / 1024.0;  // kilobytes on Linux
}

// A counter-clockwise circle of 4 Bezier knots (quarter-circle handles).
SplineShape* Circle(float r, int steps) {
    auto* shape = new SplineShape();
    Spline3D* s = shape->shape.NewSpline();
    const float h = CIRCLE_VECTOR_LENGTH * r;
    const Point3 p[4] = {Point3(r, 0.0f, 0.0f), Point3(0.0f, r, 0.0f), Point3(-r, 0.0f, 0.0f),
                         Point3(0.0f, -r, 0.0f)};
    const Point3 d[4] = {Point3(0.0f, h, 0.0f), Point3(-h, 0.0f, 0.0f), Point3(0.0f, -h, 0.0f),
                         Point3(h, 0.0f, 0.0f)};
    for (int k = 0; k < 4; ++k)
        s->AddKnot(SplineKnot(KTYPE_BEZIER, LTYPE_CURVE, p[k], p[k] - d[k], p[k] + d[k]));
    s->SetClosed(1);
    s->ComputeBezPoints();
    shape->shape.UpdateSels();
    shape->SetSteps(steps);
    return shape;
}

// A closed smooth path of `knots` automatic knots on a circle of radius r.
SplineShape* RoundPath(int knots, float r, int steps) {
    auto* shape = new SplineShape();
    Spline3D* s = shape->shape.NewSpline();
    for (int k = 0; k < knots; ++k) {
        const double a = 6.283185307179586 * k / knots;
        const Point3 p(static_cast<float>(r * std::cos(a)), static_cast<float>(r * std::sin(a)),
                       0.0f);
        s->AddKnot(SplineKnot(KTYPE_AUTO, LTYPE_CURVE, p, p, p));
    }
    s->SetClosed(1);
    s->ComputeBezPoints();
    shape->shape.UpdateSels();
    shape->SetSteps(steps);
    return shape;
}

// An open staircase of corners + 1 segments of 10 units, alternately along +X and +Y.
SplineShape* Staircase(int corners) {
    auto* shape = new SplineShape();
    Spline3D* s = shape->shape.NewSpline();
    Point3 p(0.0f, 0.0f, 0.0f);
    for (int k = 0; k <= corners + 1; ++k) {
        s->AddKnot(SplineKnot(KTYPE_CORNER, LTYPE_CURVE, p, p, p));
        (k % 2 == 0 ? p.x : p.y) += 10.0f;
    }
    s->ComputeBezPoints();
    shape->shape.UpdateSels();
    shape->SetSteps(0);
    return shape;
}

struct SweepSetup {
    host::Scene scene;
    Trellon* object = nullptr;
    IParamBlock2* pb = nullptr;

    SweepSetup(SplineShape* path, int sweeps) {
        // The block's descriptor is a static of the module's library: referencing it links it.
        static_cast<void>(trellon::GetTrellonParamBlockDesc());
        object = static_cast<Trellon*>(trellon::GetTrellonDesc()->Create(FALSE));
        scene.CreateObjectNode(object);
        pb = object->GetParamBlock(0);
        object->Ready = 0;
        trellon::ItemTables(pb, 0).AppendSharedEntries();
        pb->SetValue(Spline_Obj, 0, scene.CreateObjectNode(path));
        for (int k = 0; k < sweeps; ++k) {
            INode* profile = scene.CreateObjectNode(Circle(1.0f, 6));
            int steps = 7, zero = 0, on = 1;
            float offset = 0.5f * static_cast<float>(k), none = 0.0f, full = 100.0f;
            pb->Append(Sweep_Nodes, 1, &profile);
            pb->Append(Shape_Steps, 1, &steps);
            for (ParamID id : {Shape_Flip_Normals, Shape_Flip_Object, Sweep_Double})
                pb->Append(id, 1, &zero);
            for (ParamID id :
                 {Sweep_Double_Offset, Sweep_Smooth_Angle, Sweep_Height_Offset, Sweep_X_Rot,
                  Sweep_Y_Rot, Sweep_Z_Rot, Sweep_Start_Trim, Sweep_End_Trim})
                pb->Append(id, 1, &none);
            pb->Append(Sweep_Side_Offset, 1, &offset);
            for (ParamID id : {Sweep_X_Scale, Sweep_Y_Scale, Sweep_Z_Scale})
                pb->Append(id, 1, &full);
            pb->Append(Sweep_Unify_Scale, 1, &on);
        }
    }
};

void Report(benchmark::State& state, const Mesh& mesh, std::int64_t verts) {
    state.SetItemsProcessed(state.iterations() * verts);
    const double bytes = static_cast<double>(mesh.getNumVerts()) * sizeof(Point3) +
                         static_cast<double>(mesh.getNumFaces()) * (sizeof(Face) + sizeof(TVFace)) +
                         static_cast<double>(mesh.getNumTVerts()) * sizeof(UVVert);
    state.counters["mesh_MB"] = bytes / (1024.0 * 1024.0);
    state.counters["peak_RSS_MB"] = PeakRssMB();
}

void BM_LongLoopRender(benchmark::State& state) {
    SweepSetup s(RoundPath(1000, 10000.0f, 99), 1);
    for (auto _ : state) {
        auto mesh = std::make_unique<Mesh>();
        trellon::BuildRenderSweeps(*s.object, *mesh, 0);
        benchmark::DoNotOptimize(mesh->verts);
        // The host frees the render mesh after use; that is not the sweep's time.
        state.PauseTiming();
        if (mesh->getNumVerts() != 3200000) state.SkipWithError("expected 3,200,000 vertices");
        mesh.reset();
        state.ResumeTiming();
    }
    Mesh check;
    trellon::BuildRenderSweeps(*s.object, check, 0);
    Report(state, check, 3200000);
}
BENCHMARK(BM_LongLoopRender)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_LongLoopViewport(benchmark::State& state) {
    SweepSetup s(RoundPath(1000, 10000.0f, 99), 1);
    Mesh& mesh = s.object->mesh;
    for (auto _ : state) {
        // The build driver empties the mesh first, freeing its arrays.
        mesh.setNumVerts(0);
        mesh.setNumFaces(0);
        mesh.setNumTVerts(0);
        mesh.setNumTVFaces(0);
        trellon::AppendSweeps(*s.object, 0, trellon::CurrentAppendPoint(mesh));
        benchmark::DoNotOptimize(mesh.verts);
    }
    if (mesh.getNumVerts() != 3200000) state.SkipWithError("expected 3,200,000 vertices");
    Report(state, mesh, 3200000);
}
BENCHMARK(BM_LongLoopViewport)->Unit(benchmark::kMillisecond)->UseRealTime();

// The walk without the mesh: offset path, samples, profile and counts.
void BM_LongLoopPrepare(benchmark::State& state) {
    SweepSetup s(RoundPath(1000, 10000.0f, 99), 1);
    trellon::SweepOptions options;
    options.seamAngle = 7.0f * trellon::kDegToRad;
    for (auto _ : state) {
        const std::vector<trellon::SweepPass> passes =
            trellon::PrepareSweepPasses(*s.object, 0, options);
        benchmark::DoNotOptimize(passes.data());
    }
}
BENCHMARK(BM_LongLoopPrepare)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_TenSweepsStaircase(benchmark::State& state) {
    SweepSetup s(Staircase(1000), 10);
    std::int64_t verts = 0;
    for (auto _ : state) {
        Mesh mesh;
        trellon::BuildRenderSweeps(*s.object, mesh, 0);
        verts = mesh.getNumVerts();
        benchmark::DoNotOptimize(mesh.verts);
    }
    if (verts != 10 * 1002 * 32) state.SkipWithError("expected 320,640 vertices");
    Mesh check;
    trellon::BuildRenderSweeps(*s.object, check, 0);
    Report(state, check, verts);
}
BENCHMARK(BM_TenSweepsStaircase)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
