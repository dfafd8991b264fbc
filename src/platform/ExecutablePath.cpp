#include "platform/ExecutablePath.h"

#include <filesystem>
#include <system_error>

std::string ExecutablePath::directory() {
    std::error_code error;
    const std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", error);
    if (error) {
        return std::filesystem::current_path(error).string();
    }
    return exe.parent_path().string();
}

bool ExecutablePath::enterDirectory() {
    std::error_code error;
    std::filesystem::current_path(directory(), error);
    return !error;
}
