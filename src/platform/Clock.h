#pragma once

// Millisecond clock that stands in for the multimedia timer: monotonic, 32-bit,
// wrapping like the original.
class Clock {
public:
    static int milliseconds();
};
