// Frame times of the whole game playing level 1 along its route at 1024x768, once for
// each quality preset: the autopilot's real-time run (the soak's, one round), every frame
// as long as it really took, the median and the 99th percentile of the run reported as
// counters (p50_ms, p99_ms). "auto" starts at the top of its ladder, as on a first start,
// and tunes itself during the first seconds of play. Needs a display: run it under
//   xvfb-run -a -s "-screen 0 1280x1024x24" build/bench/bench_QualityPresetBench
// One run takes the route's game time, about a minute and a half, whatever the machine.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "GameTree.h"
#include "app/Frame.h"
#include "app/RunFigures.h"
#include "core/ManagerLifetime.h"
#include "core/Settings.h"

namespace {

const Settings::Quality kPresets[] = {Settings::Quality::Low, Settings::Quality::Medium,
                                      Settings::Quality::High, Settings::Quality::Auto};

void QualityPreset(benchmark::State& state) {
    static GameTree tree;
    const Settings::Quality preset = kPresets[state.range(0)];
    // The player's files of these runs stay in the copy.
    for (const char* folder : {"CONFIG", "DATA", "STATE", "CACHE"}) {
        const std::filesystem::path path = tree.root() / "xdg" / folder;
        setenv((std::string("XDG_") + folder + "_HOME").c_str(), path.c_str(), 1);
    }
    setenv("VORN_AUTOPILOT", "soak", 1);
    setenv("VORN_SOAK_MINUTES", "0.01", 1);
    for (auto _ : state) {
        Settings settings;
        settings.width = 1024;
        settings.height = 768;
        settings.vsync = false;
        settings.choose(preset);
        settings.save(Settings::defaultFile());
        RunFigures::get().reset();
        runGameMode();
        ManagerLifetime::allowCreation();
    }
    const FrameTimeHistogram& frames = RunFigures::get().getFrameTimes();
    state.counters["p50_ms"] = static_cast<double>(frames.percentile(0.5));
    state.counters["p99_ms"] = static_cast<double>(frames.percentile(0.99));
    state.counters["frames"] = static_cast<double>(frames.count());
    const Settings chosen = Settings::load(Settings::defaultFile(), Settings{});
    state.SetLabel(
        std::string(Settings::nameOf(preset)) +
        (preset == Settings::Quality::Auto ? " settled at step " + std::to_string(chosen.autoStep) : ""));
}

} // namespace

BENCHMARK(QualityPreset)->DenseRange(0, 3)->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime();

BENCHMARK_MAIN();
