#include "platform/Clock.h"

#include <chrono>
#include <cstdint>

int Clock::milliseconds() {
    using namespace std::chrono;
    const auto ms = duration_cast<std::chrono::milliseconds>(steady_clock::now().time_since_epoch()).count();
    return static_cast<int>(static_cast<std::uint32_t>(ms));
}
