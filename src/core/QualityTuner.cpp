#include "core/QualityTuner.h"

#include <algorithm>

QualityTuner::QualityTuner(int step, int steps) : current(std::clamp(step, 0, steps - 1)), steps(steps) {}

int QualityTuner::addFrame(double milliseconds) {
    if (done) {
        return current;
    }
    if (warmUpLeft > 0.0) {
        warmUpLeft -= milliseconds;
        return current;
    }
    frames.push_back(milliseconds);
    windowTime += milliseconds;
    if (windowTime >= kWindow && static_cast<int>(frames.size()) >= kMinFrames) {
        judge();
    }
    return current;
}

// After a change the next window starts with a warm-up of its own: the first frames
// at the new quality still pay for the switch.
void QualityTuner::judge() {
    const auto middle = frames.begin() + static_cast<long>(frames.size() / 2);
    std::nth_element(frames.begin(), middle, frames.end());
    const double median = *middle;
    frames.clear();
    windowTime = 0.0;
    ++windows;
    int next = current;
    if (median > kSlowFrame) {
        slowestTried = std::max(slowestTried, current);
        next = current + 1;
    } else if (median < kFastFrame && current - 1 > slowestTried) {
        next = current - 1;
    }
    if (next < 0 || next >= steps || next == current || windows >= kMaxWindows) {
        done = true;
        return;
    }
    current = next;
    warmUpLeft = kWarmUp;
}
