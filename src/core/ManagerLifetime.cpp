#include "core/ManagerLifetime.h"

#include <atomic>
#include <cstdlib>
#include <cxxabi.h>
#include <string>

#include "core/Log.h"

VORN_FILE_LOGGER("ManagerLifetime")

namespace {

std::atomic<bool> ended{false};

} // namespace

namespace ManagerLifetime {

void endCreation() {
    ended = true;
}

void allowCreation() {
    ended = false;
}

bool creationEnded() {
    return ended;
}

void reportLateCreation(const char* typeName) {
    int status = 0;
    char* readable = abi::__cxa_demangle(typeName, nullptr, nullptr, &status);
    const std::string name = status == 0 && readable ? readable : typeName;
    std::free(readable);
    LOG_ERROR("Manager " << name << " asked for after shutdown began; it is not created again");
}

} // namespace ManagerLifetime
