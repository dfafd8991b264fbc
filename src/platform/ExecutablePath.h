#pragma once

#include <string>

// Where the running executable lies. The data tree sits one level above it.
class ExecutablePath {
public:
    // Absolute directory of the executable, without a trailing '/'.
    static std::string directory();
    // Makes the executable's directory the working directory; false when that fails.
    static bool enterDirectory();
};
