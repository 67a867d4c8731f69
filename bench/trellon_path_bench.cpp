// Path preparation and sampling: every placement builds one working path per spline and offset,
// then samples it once per copy.
//   Build*: the working path of a 10,000-unit open path with 100 corners (straight segments, and
//           the same knots as smooth curves), offset 2 units; items are working paths built.
//   Sample*: 1,000,000 position + tangent queries per iteration on a 1,000-point working path;
//           items are queries. The host's own normalised queries on the same object are measured
//           beside the cache for comparison.
#include <benchmark/benchmark.h>

#include <cmath>
#include <memory>
#include <random>
#include <vector>

#include "distribute/working_path.h"
#include "object/trellon.h"
#include "plugin/plugin.h"
#include "scene.h"
#include "shape.h"
#include "splshape.h"

using namespace trellon;

namespace {

constexpr int kCorners = 100;
constexpr float kPathLength = 10000.0f;
constexpr int kQueries = 1000000;

struct DeleteObject {
    void operator()(Trellon* t) const { t->DeleteMe(); }
};

// A staircase of kCorners + 1 equal segments, kPathLength long: each inner knot is a right-angle
// corner, alternately to the left and to the right.
void Staircase(BezierShape& shape, int knotType) {
    shape.Init();  // default steps (6)
    Spline3D& s = *shape.NewSpline();
    const float step = kPathLength / static_cast<float>(kCorners + 1);
    Point3 p(0.0f, 0.0f, 0.0f);
    for (int k = 0; k <= kCorners + 1; ++k) {
        s.AddKnot(SplineKnot(knotType, LTYPE_CURVE, p, p, p));
        if (k % 2 == 0)
            p.x += step;
        else
            p.y += step;
    }
    s.ComputeBezPoints();
    shape.UpdateSels();
}

void BuildPath(benchmark::State& state, int knotType) {
    host::Scene scene;
    std::unique_ptr<Trellon, DeleteObject> object(
        static_cast<Trellon*>(trellon::GetTrellonDesc()->Create(FALSE)));
    BezierShape shape;
    Staircase(shape, knotType);
    for (auto _ : state) {
        trellon::WorkingPath path = trellon::WorkingPath::Build(*object, shape, 0, 2.0f, 0);
        benchmark::DoNotOptimize(path.Length());
    }
    state.SetItemsProcessed(state.iterations());
}

void BM_BuildCornerPath(benchmark::State& state) { BuildPath(state, KTYPE_CORNER); }
BENCHMARK(BM_BuildCornerPath)->Unit(benchmark::kMillisecond);

void BM_BuildCurvedPath(benchmark::State& state) { BuildPath(state, KTYPE_AUTO); }
BENCHMARK(BM_BuildCurvedPath)->Unit(benchmark::kMillisecond);

// A closed smooth decagon of radius 500 at 99 steps: 10 * 99 + 10 = 1,000 working-path points.
struct SamplingFixture {
    host::Scene scene;
    std::unique_ptr<Trellon, DeleteObject> object{
        static_cast<Trellon*>(trellon::GetTrellonDesc()->Create(FALSE))};
    trellon::WorkingPath path;
    std::vector<float> us;

    SamplingFixture() {
        BezierShape shape;
        shape.steps = 99;
        Spline3D& s = *shape.NewSpline();
        for (int k = 0; k < 10; ++k) {
            const float a = 0.62831855f * static_cast<float>(k);
            const Point3 p(500.0f * std::cos(a), 500.0f * std::sin(a), 0.0f);
            s.AddKnot(SplineKnot(KTYPE_AUTO, LTYPE_CURVE, p, p, p));
        }
        s.SetClosed(1);
        s.ComputeBezPoints();
        path = trellon::WorkingPath::Build(*object, shape, 0, 5.0f, 0);
        std::mt19937 rng(7);
        std::uniform_real_distribution<float> dist(0.0f, 1.0f);
        us.resize(kQueries);
        for (float& u : us) u = dist(rng);
    }
};

void BM_SampleWorkingPath(benchmark::State& state) {
    SamplingFixture f;
    if (f.path.Points().size() != 1000u) state.SkipWithError("expected 1,000 points");
    for (auto _ : state) {
        Point3 position, tangent;
        for (float u : f.us) {
            f.path.Sample(u, position, tangent);
            benchmark::DoNotOptimize(position);
            benchmark::DoNotOptimize(tangent);
        }
    }
    state.SetItemsProcessed(state.iterations() * kQueries);
}
BENCHMARK(BM_SampleWorkingPath)->Unit(benchmark::kMillisecond);

void BM_SampleHostShape(benchmark::State& state) {
    SamplingFixture f;
    SplineShape* shape = f.path.Shape();
    for (auto _ : state) {
        for (float u : f.us) {
            benchmark::DoNotOptimize(shape->InterpCurve3D(0, 0, u, PARAM_NORMALIZED));
            benchmark::DoNotOptimize(shape->TangentCurve3D(0, 0, u, PARAM_NORMALIZED));
        }
    }
    state.SetItemsProcessed(state.iterations() * kQueries);
}
BENCHMARK(BM_SampleHostShape)->Unit(benchmark::kMillisecond);

}  // namespace
