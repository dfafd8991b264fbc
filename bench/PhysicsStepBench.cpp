#include <benchmark/benchmark.h>

#include "TerrainScene.h"

// One 1/60 s step of a level-sized scene: a gently rolling terrain mesh of
// 20,000 triangles, the player's ball driven by torque and 50 loose crates.

namespace {

void PhysicsStep(benchmark::State& state) {
    TerrainScene terrain;
    for (auto _ : state) {
        terrain.step();
    }
    state.SetLabel("mean time of one 1/60 s step");
}

} // namespace

BENCHMARK(PhysicsStep)->Unit(benchmark::kMillisecond)->Iterations(600);

BENCHMARK_MAIN();
