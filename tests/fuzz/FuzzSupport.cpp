#include "FuzzSupport.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <log4cxx/logger.h>
#include <sanitizer/asan_interface.h>
#include <unistd.h>

namespace Fuzz {

void quietLogs() {
    log4cxx::Logger::getRootLogger()->setLevel(log4cxx::Level::getOff());
}

void enterScratchDataRoot() {
    const std::filesystem::path base =
        std::filesystem::is_directory("/dev/shm") ? "/dev/shm" : std::filesystem::temp_directory_path();
    std::string pattern = (base / "vorn-fuzz-XXXXXX").string();
    if (!::mkdtemp(pattern.data())) {
        std::perror("mkdtemp");
        std::abort();
    }
    const std::filesystem::path root = pattern;
    std::filesystem::create_directory(root / "bin");
    std::filesystem::current_path(root / "bin");
    // The folder goes with the process, however it ends.
    static const std::string removeAtExit = root.string();
    std::atexit([] {
        std::error_code error;
        std::filesystem::remove_all(removeAtExit, error);
    });
}

void writeFile(const std::string& path, const std::uint8_t* data, std::size_t size) {
    std::ofstream(path, std::ios::binary | std::ios::trunc)
        .write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
}

void touch(const void* data, std::size_t size) {
    // The sanitizer's own check is far quicker than reading large buffers byte by byte.
    if (const void* bad = __asan_region_is_poisoned(const_cast<void*>(data), size)) {
        std::fprintf(stderr, "touch: byte %zu of %zu is not in the buffer\n",
                     static_cast<std::size_t>(static_cast<const char*>(bad) - static_cast<const char*>(data)),
                     size);
        std::abort();
    }
}

} // namespace Fuzz
