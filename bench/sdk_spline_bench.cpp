// Sampling paths by arc length: the placement of every copy asks a path for a position and a
// tangent at a normalised u. Each benchmark iteration makes 1,000,000 position + tangent queries
// on a 1,000-point path; items are queries.
#include <benchmark/benchmark.h>

#include <cmath>
#include <random>
#include <vector>

#include "polyshp.h"
#include "spline3d.h"

namespace {

constexpr int kPathPoints = 1000;
constexpr int kQueries = 1000000;

// A widening spiral with a wobble in Z: segments of unequal length, 1,000 points.
Point3 PathPoint(int i) {
    const float a = 0.05f * static_cast<float>(i);
    const float r = 10.0f + 0.2f * static_cast<float>(i);
    return Point3(r * std::cos(a), r * std::sin(a), 3.0f * std::sin(0.37f * static_cast<float>(i)));
}

PolyLine MakePolyLine() {
    PolyLine line;
    for (int i = 0; i < kPathPoints; ++i) line.Append(PolyPt(PathPoint(i)));
    return line;
}

// The working path as the module builds it: corner knots with the handles on the knots.
Spline3D MakeLinearSpline() {
    Spline3D s;
    for (int i = 0; i < kPathPoints; ++i) {
        const Point3 p = PathPoint(i);
        s.AddKnot(SplineKnot(KTYPE_CORNER, LTYPE_CURVE, p, p, p));
    }
    return s;
}

// The same knots as a smooth (auto) spline: every segment curved.
Spline3D MakeCurvedSpline() {
    Spline3D s;
    for (int i = 0; i < kPathPoints; ++i) {
        const Point3 p = PathPoint(i);
        s.AddKnot(SplineKnot(KTYPE_AUTO, LTYPE_CURVE, p, p, p));
    }
    s.ComputeBezPoints();
    return s;
}

std::vector<float> EvenU(int n) {
    std::vector<float> u(static_cast<std::size_t>(n));
    for (int i = 0; i < n; ++i) u[i] = static_cast<float>(i) / static_cast<float>(n - 1);
    return u;
}

std::vector<float> RandomU(int n) {
    std::mt19937 rng(20200101u);
    std::uniform_real_distribution<float> dist(0.0f, 1.0f);
    std::vector<float> u(static_cast<std::size_t>(n));
    for (float& x : u) x = dist(rng);
    return u;
}

template <class Path>
void Sample(benchmark::State& state, const Path& path, const std::vector<float>& us, int ptype) {
    path.InterpCurve3D(0.5f, ptype);  // the length cache is built once, outside the timing
    for (auto _ : state) {
        Point3 sum;
        for (float u : us) {
            sum += path.InterpCurve3D(u, ptype);
            sum += path.TangentCurve3D(u, ptype);
        }
        benchmark::DoNotOptimize(sum);
    }
    state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(us.size()));
}

void BM_PolyLineArcLengthEven(benchmark::State& state) {
    Sample(state, MakePolyLine(), EvenU(kQueries), POLYSHP_INTERP_NORMALIZED);
}
void BM_PolyLineArcLengthRandom(benchmark::State& state) {
    Sample(state, MakePolyLine(), RandomU(kQueries), POLYSHP_INTERP_NORMALIZED);
}
void BM_LinearSplineArcLengthEven(benchmark::State& state) {
    Sample(state, MakeLinearSpline(), EvenU(kQueries), PARAM_NORMALIZED);
}
void BM_LinearSplineArcLengthRandom(benchmark::State& state) {
    Sample(state, MakeLinearSpline(), RandomU(kQueries), PARAM_NORMALIZED);
}
// Curved segments invert the arc length per query (table search plus Newton steps).
void BM_CurvedSplineArcLengthRandom(benchmark::State& state) {
    Sample(state, MakeCurvedSpline(), RandomU(static_cast<int>(state.range(0))), PARAM_NORMALIZED);
}

// Building the caches: cumulative lengths of the polyline; arc-length tables of the curved spline.
void BM_PolyLineLengthCache(benchmark::State& state) {
    PolyLine line = MakePolyLine();
    for (auto _ : state) {
        line.InvalidateGeomCache();
        benchmark::DoNotOptimize(line.CurveLength());
    }
    state.SetItemsProcessed(state.iterations() * kPathPoints);
}
void BM_CurvedSplineLengthCache(benchmark::State& state) {
    Spline3D s = MakeCurvedSpline();
    for (auto _ : state) {
        s.InvalidateGeomCache();
        benchmark::DoNotOptimize(s.SplineLength());
    }
    state.SetItemsProcessed(state.iterations() * kPathPoints);
}

}  // namespace

BENCHMARK(BM_PolyLineArcLengthEven)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PolyLineArcLengthRandom)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LinearSplineArcLengthEven)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LinearSplineArcLengthRandom)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CurvedSplineArcLengthRandom)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PolyLineLengthCache)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_CurvedSplineLengthCache)->Unit(benchmark::kMicrosecond);
