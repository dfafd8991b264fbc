// Recording a run: the cost of one fixed step (aim: under 5 µs), and the size of the file a
// two-minute run leaves (aim: under 200 kB), with the controls changing as a player's do.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <random>
#include <unistd.h>

#include "game/ReplayRecorder.h"

namespace {

namespace fs = std::filesystem;

constexpr int kTwoMinutes = 2 * 60 * 60;

fs::path benchFile(const char* name) {
    const fs::path path = fs::temp_directory_path() /
                          (std::string("vorn-") + name + "-" + std::to_string(getpid()) + ".vreplay");
    fs::remove(path);
    return path;
}

ReplayHeader header() {
    return {"0.1.0", "../levels/level1/level1.scene", "First Steps", std::string(40, 'A'), 42u, 1800000000};
}

// A player's step: a few keys held for a while, the camera heading drifting with the mouse.
struct PlayerLike {
    std::mt19937 random{7};
    std::uint16_t controls = 0;
    float heading = 0.0f;
    ReplayPoint position{16.0f, 21.0f, -258.0f};

    ReplayStep next() {
        if (random() % 20 == 0) {
            controls = static_cast<std::uint16_t>(random() & 0x3F8);
        }
        heading += static_cast<float>(static_cast<int>(random() % 7) - 3) * 0.25f;
        position.z -= 0.1f;
        return {controls, heading};
    }
};

void BM_RecordStep(benchmark::State& state) {
    const fs::path path = benchFile("step");
    auto recorder = ReplayRecorder::create(path, header());
    PlayerLike player;
    for (auto _ : state) {
        recorder->step(player.next(), player.position, {0.0f, 0.0f, -6.0f});
    }
    recorder.reset();
    fs::remove(path);
}
BENCHMARK(BM_RecordStep);

void BM_TwoMinuteReplaySize(benchmark::State& state) {
    std::uintmax_t bytes = 0;
    for (auto _ : state) {
        const fs::path path = benchFile("size");
        auto recorder = ReplayRecorder::create(path, header());
        PlayerLike player;
        for (int step = 0; step < kTwoMinutes; ++step) {
            recorder->step(player.next(), player.position, {0.0f, 0.0f, -6.0f});
        }
        recorder->finish();
        recorder.reset();
        bytes = fs::file_size(path);
        fs::remove(path);
    }
    state.counters["kB"] = static_cast<double>(bytes) / 1000.0;
}
BENCHMARK(BM_TwoMinuteReplaySize)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace

BENCHMARK_MAIN();
