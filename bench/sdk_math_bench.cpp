// Transforming points by a Matrix3: the inner loop of every copy the module places (each item
// vertex is carried by one composed affine matrix).
#include <benchmark/benchmark.h>

#include <cstddef>
#include <vector>

#include "matrix3.h"
#include "point3.h"

namespace {

void BM_Point3TimesMatrix3(benchmark::State& state) {
    const auto n = static_cast<std::size_t>(state.range(0));
    std::vector<Point3> in(n), out(n);
    for (std::size_t i = 0; i < n; ++i) {
        const float f = static_cast<float>(i);
        in[i] = Point3(f * 0.001f, 1.0f - f * 0.002f, f * 0.0005f);
    }
    Matrix3 m = ScaleMatrix({1.5f, 0.5f, 2.0f}) * RotateXMatrix(0.3f) * RotateZMatrix(1.1f);
    m.Translate({10.0f, -4.0f, 2.5f});

    for (auto _ : state) {
        for (std::size_t i = 0; i < n; ++i) out[i] = in[i] * m;
        benchmark::DoNotOptimize(out.data());
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(n));
}
BENCHMARK(BM_Point3TimesMatrix3)->Arg(1000000);

}  // namespace
