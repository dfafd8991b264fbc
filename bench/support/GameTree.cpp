#include "GameTree.h"

#include <cstdlib>
#include <string>

#include "core/ConfigManager.h"

namespace {

std::filesystem::path makeRoot() {
    std::string pattern = (std::filesystem::temp_directory_path() / "vorn-bench-XXXXXX").string();
    return mkdtemp(pattern.data());
}

} // namespace

GameTree::GameTree() : rootPath(makeRoot()) {
    for (const auto& entry : std::filesystem::directory_iterator(VORN_GAME_DIR)) {
        const std::string name = entry.path().filename().string();
        if (name != "bin" && name != "Vorn.log" && name != "security") {
            std::filesystem::copy(entry.path(), rootPath / name, std::filesystem::copy_options::recursive);
        }
    }
    enter();
}

GameTree::GameTree(std::initializer_list<const char*> parts) : rootPath(makeRoot()) {
    for (const char* part : parts) {
        std::filesystem::copy(std::filesystem::path(VORN_GAME_DIR) / part, rootPath / part,
                              std::filesystem::copy_options::recursive);
    }
    enter();
}

GameTree::~GameTree() {
    // The configuration was read from this copy; the next tree reads its own.
    ConfigManager::destroy();
    std::filesystem::current_path(rootPath.parent_path());
    std::error_code error;
    std::filesystem::remove_all(rootPath, error);
}

void GameTree::enter() const {
    std::filesystem::create_directories(rootPath / "bin");
    std::filesystem::current_path(rootPath / "bin");
    // A benchmark has no use for a sound device.
    setenv("ALSOFT_DRIVERS", "null", 0);
}
