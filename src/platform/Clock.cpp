#include "platform/Clock.h"

#include <chrono>

Milliseconds Clock::milliseconds() {
    using namespace std::chrono;
    return duration_cast<std::chrono::milliseconds>(steady_clock::now().time_since_epoch()).count();
}
