#include "app/RunFigures.h"

#include <cstdio>

#include "core/FixedStep.h"

RunFigures& RunFigures::get() {
    static RunFigures figures;
    return figures;
}

void RunFigures::addFrame(Milliseconds frameTime, int steps) {
    frameTimes.add(frameTime);
    physicsSteps += steps;
}

std::string RunFigures::summary(Milliseconds realTime, int snapshots) const {
    char line[256];
    std::snprintf(line, sizeof line,
                  "Run figures: game time %.1f s, real time %.1f s, frames %llu, frame time p50 %lld ms, "
                  "p99 %lld ms, snapshots %d, items picked up %d, deaths %d",
                  static_cast<double>(physicsSteps) * static_cast<double>(kStepSeconds),
                  static_cast<double>(realTime) / 1000.0, static_cast<unsigned long long>(frameTimes.count()),
                  static_cast<long long>(frameTimes.percentile(0.5)),
                  static_cast<long long>(frameTimes.percentile(0.99)), snapshots, pickups, deaths);
    return line;
}

void RunFigures::reset() {
    *this = RunFigures();
}
