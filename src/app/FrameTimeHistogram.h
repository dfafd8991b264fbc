#pragma once

#include <array>
#include <cstdint>

#include "platform/Clock.h"

// Frame times counted by the millisecond in a fixed set of slots: however long the
// game runs, the memory stays the same and the percentiles stay exact to the
// millisecond. A frame of kLongest or more counts as kLongest.
class FrameTimeHistogram {
public:
    void add(Milliseconds frameTime);
    // The frame time that `share` (0..1) of the frames do not exceed, by nearest rank:
    // the smallest time that at least that share of the frames do not exceed. 0 without frames.
    Milliseconds percentile(double share) const;
    std::uint64_t count() const { return frames; }
    void clear();

    static constexpr Milliseconds kLongest = 10000;

private:
    std::array<std::uint64_t, kLongest + 1> slots{};
    std::uint64_t frames = 0;
};
