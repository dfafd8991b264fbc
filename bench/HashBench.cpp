// Throughput of the salted configuration hash against the system's sha1sum on one 64 MiB file.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "core/Util.h"

namespace {

constexpr std::size_t kFileSize = 64u << 20;

const std::string& testFile() {
    static const std::string path = [] {
        const std::string file = (std::filesystem::temp_directory_path() / "vorn-hashbench.bin").string();
        std::vector<char> data(kFileSize);
        std::mt19937 random(42);
        for (char& byte : data) {
            byte = static_cast<char>(random());
        }
        std::ofstream(file, std::ios::binary).write(data.data(), static_cast<std::streamsize>(data.size()));
        return file;
    }();
    return path;
}

void runSha1sum() {
    const std::string command = "sha1sum " + testFile() + " > /dev/null";
    if (std::system(command.c_str()) != 0) {
        std::fprintf(stderr, "sha1sum failed\n");
    }
}

void BM_CalcHashSalted(benchmark::State& state) {
    for (auto _ : state) {
        benchmark::DoNotOptimize(Util::calcHash(Util::kConfigSalt, testFile()));
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * kFileSize));
}
BENCHMARK(BM_CalcHashSalted)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_Sha1sum(benchmark::State& state) {
    for (auto _ : state) {
        runSha1sum();
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * kFileSize));
}
BENCHMARK(BM_Sha1sum)->Unit(benchmark::kMillisecond)->UseRealTime();

template <typename Work> double bestSeconds(Work work) {
    double best = 1e9;
    for (int run = 0; run < 5; ++run) {
        const auto start = std::chrono::steady_clock::now();
        work();
        best =
            std::min(best, std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    }
    return best;
}

} // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();

    const double ours = bestSeconds([] { Util::calcHash(Util::kConfigSalt, testFile()); });
    const double theirs = bestSeconds(runSha1sum);
    const double mib = static_cast<double>(kFileSize) / (1 << 20);
    std::printf("calcHash: %.0f MiB/s, sha1sum: %.0f MiB/s, ratio %.2f (aim: at least 0.50)\n", mib / ours,
                mib / theirs, theirs / ours);
    std::filesystem::remove(testFile());
    return 0;
}
