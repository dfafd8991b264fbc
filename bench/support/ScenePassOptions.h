#pragma once

#include <benchmark/benchmark.h>

// The arguments of a benchmark of the scene passes: path, geometry shader, z-pass,
// scissor box. Shared so every such benchmark labels its rows alike.
class ScenePassOptions {
public:
    enum Path { PLAIN, SHADOWED };

    // Sets the game's options and the row's label; false, the row skipped, when
    // the driver cannot draw that way.
    static bool apply(benchmark::State& state);
};
