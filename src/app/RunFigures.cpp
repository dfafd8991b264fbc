#include "app/RunFigures.h"
#include "core/FixedStep.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace {


} // namespace

RunFigures& RunFigures::get() {
    static RunFigures figures;
    return figures;
}

void RunFigures::addFrame(Milliseconds frameTime, int steps) {
    frameTimes.push_back(frameTime);
    physicsSteps += steps;
}

// Nearest rank: the smallest time that at least `share` of the frames do not exceed.
Milliseconds RunFigures::percentile(std::vector<Milliseconds> times, double share) {
    if (times.empty()) {
        return 0;
    }
    const double rank = std::ceil(std::clamp(share, 0.0, 1.0) * static_cast<double>(times.size()));
    const std::size_t index = static_cast<std::size_t>(std::max(rank, 1.0)) - 1;
    std::nth_element(times.begin(), times.begin() + static_cast<std::ptrdiff_t>(index), times.end());
    return times[index];
}

std::string RunFigures::summary(Milliseconds realTime, int snapshots) const {
    char line[256];
    std::snprintf(line, sizeof line,
                  "Run figures: game time %.1f s, real time %.1f s, frames %zu, frame time p50 %lld ms, "
                  "p99 %lld ms, snapshots %d, items picked up %d, deaths %d",
                  static_cast<double>(physicsSteps) * static_cast<double>(kStepSeconds), static_cast<double>(realTime) / 1000.0,
                  frameTimes.size(), static_cast<long long>(frameTimePercentile(0.5)),
                  static_cast<long long>(frameTimePercentile(0.99)), snapshots, pickups, deaths);
    return line;
}

void RunFigures::reset() {
    *this = RunFigures();
}
