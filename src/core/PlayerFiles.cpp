#include "core/PlayerFiles.h"

#include <cstdlib>
#include <fcntl.h>
#include <unistd.h>

#include "core/Log.h"
#include "core/Util.h"

VORN_FILE_LOGGER("PlayerFiles")

namespace fs = std::filesystem;

namespace {

// $variable when it is an absolute path, else $HOME/fallback; "vorn" below either.
fs::path xdgDir(const char* variable, const char* fallback) {
    const char* set = std::getenv(variable);
    if (set && *set == '/') {
        return fs::path(set) / "vorn";
    }
    const char* home = std::getenv("HOME");
    return fs::path(home && *home ? home : ".") / fallback / "vorn";
}

bool writeAll(int descriptor, const std::string& content) {
    std::size_t written = 0;
    while (written < content.size()) {
        const ssize_t count = ::write(descriptor, content.data() + written, content.size() - written);
        if (count < 0) {
            return false;
        }
        written += static_cast<std::size_t>(count);
    }
    return ::fsync(descriptor) == 0;
}

} // namespace

namespace PlayerFiles {

fs::path configDir() {
    return xdgDir("XDG_CONFIG_HOME", ".config");
}

fs::path dataDir() {
    return xdgDir("XDG_DATA_HOME", ".local/share");
}

fs::path stateDir() {
    return xdgDir("XDG_STATE_HOME", ".local/state");
}

fs::path cacheDir() {
    return xdgDir("XDG_CACHE_HOME", ".cache");
}

std::optional<std::string> read(const fs::path& path) {
    return Util::readFile(path.string());
}

bool replace(const fs::path& path, const std::string& content) {
    std::error_code error;
    fs::create_directories(path.parent_path(), error);
    const std::string temporary = Util::createUniqueFile(path.string());
    if (temporary.empty()) {
        LOG_WARN("Cannot write '" << path.string() << "': no file can be made beside it");
        return false;
    }
    const int descriptor = ::open(temporary.c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC);
    const bool written = descriptor >= 0 && writeAll(descriptor, content);
    const bool closed = descriptor >= 0 && ::close(descriptor) == 0;
    if (written && closed) {
        fs::rename(temporary, path, error);
        if (!error) {
            return true;
        }
    }
    LOG_WARN("Cannot write '" << path.string() << "'; the file stays as it was");
    fs::remove(temporary, error);
    return false;
}

void setAside(const fs::path& path, const std::string& why) {
    fs::path bad = path;
    bad += ".bad";
    std::error_code error;
    fs::rename(path, bad, error);
    LOG_WARN("'" << path.string() << "' " << why << "; it is kept as '" << bad.string()
                 << "' and the game starts afresh");
}

} // namespace PlayerFiles
