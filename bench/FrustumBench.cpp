#include <benchmark/benchmark.h>

#include <cmath>

#include "render/Frustum.h"

// Every drawable object and torch is tested against the frustum each frame.
static void BM_SphereInFrustum(benchmark::State& state) {
    const float top = static_cast<float>(std::tan(0.5672320127487183)) * 0.005f;
    Frustum frustum;
    frustum.extract(
        Matrix44::perspective(-top * 4 / 3, top * 4 / 3, -top, top, 0.005f, Matrix44::kInfinity, false),
        Matrix44{});
    float x = 0.0f;
    for (auto _ : state) {
        x = x > 50.0f ? -50.0f : x + 0.37f;
        benchmark::DoNotOptimize(frustum.sphereInFrustum(x, 1.0f, -20.0f, 2.0f));
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_SphereInFrustum);

BENCHMARK_MAIN();
