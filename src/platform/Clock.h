#pragma once

#include <cstdint>

// A count of milliseconds. 64 bits: a 32-bit count wraps after 24.8 days of uptime.
using Milliseconds = std::int64_t;

// The monotonic millisecond clock that stands in for the multimedia timer.
class Clock {
public:
    static Milliseconds milliseconds();
};
