#include "app/FrameTimeHistogram.h"

#include <algorithm>
#include <cmath>

void FrameTimeHistogram::add(Milliseconds frameTime) {
    ++slots[static_cast<std::size_t>(std::clamp<Milliseconds>(frameTime, 0, kLongest))];
    ++frames;
}

Milliseconds FrameTimeHistogram::percentile(double share) const {
    if (frames == 0) {
        return 0;
    }
    const double rank = std::ceil(std::clamp(share, 0.0, 1.0) * static_cast<double>(frames));
    const auto wanted = static_cast<std::uint64_t>(std::max(rank, 1.0));
    std::uint64_t seen = 0;
    for (std::size_t time = 0; time < slots.size(); ++time) {
        seen += slots[time];
        if (seen >= wanted) {
            return static_cast<Milliseconds>(time);
        }
    }
    return kLongest;
}

void FrameTimeHistogram::clear() {
    slots.fill(0);
    frames = 0;
}
