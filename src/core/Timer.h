#pragma once

#include "platform/Clock.h"

// A one-shot or repeating millisecond timer driven by the TimeManager. The owner
// sets dueTime = TimeManager::now + duration when it starts the timer.
struct Timer {
    using Callback = void (*)(Timer* timer, void* userData);

    Callback callback = nullptr;
    void* userData = nullptr;
    bool active = false;
    bool repeating = false;
    Milliseconds period = 0;
    Milliseconds duration = 0;
    Milliseconds dueTime = 0;
};
