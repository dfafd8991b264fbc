#include "platform/ExecutablePath.h"

#include <filesystem>
#include <system_error>

namespace fs = std::filesystem;

namespace {

// The installed data tree, seen from the installed executable's folder.
constexpr const char* kInstalledData = "../share/games/vorn";

} // namespace

std::string ExecutablePath::directory() {
    std::error_code error;
    const fs::path exe = fs::read_symlink("/proc/self/exe", error);
    if (error) {
        return fs::current_path(error).string();
    }
    return exe.parent_path().string();
}

// The main configuration marks a data tree; a folder of that name alone does not.
bool ExecutablePath::isInstalled(const std::string& executableDirectory) {
    std::error_code error;
    return fs::is_regular_file(fs::path(executableDirectory) / kInstalledData / "Vorn.ini", error);
}

std::string ExecutablePath::dataRoot(const std::string& executableDirectory) {
    const fs::path relative = isInstalled(executableDirectory) ? kInstalledData : "..";
    fs::path root = (fs::path(executableDirectory) / relative).lexically_normal();
    return (root.has_filename() ? root : root.parent_path()).string();
}

bool ExecutablePath::enterDataTree(const std::string& dataRoot) {
    std::error_code error;
    fs::current_path(fs::path(dataRoot) / "bin", error);
    return !error;
}
