#pragma once

#include <filesystem>
#include <string>
#include <vector>

// The runtime tree the build generated, as the content tests see it.
namespace game_tree {

inline std::filesystem::path root() {
    return VORN_GAME_DIR;
}

inline std::filesystem::path level() {
    return root() / "levels" / "level1";
}

// Every regular file below `dir` whose name ends in `suffix`, sorted.
inline std::vector<std::filesystem::path> filesEndingIn(const std::filesystem::path& dir,
                                                        const std::string& suffix) {
    std::vector<std::filesystem::path> found;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(dir)) {
        const std::string name = entry.path().filename().string();
        if (entry.is_regular_file() && name.size() >= suffix.size() &&
            name.compare(name.size() - suffix.size(), suffix.size(), suffix) == 0) {
            found.push_back(entry.path());
        }
    }
    std::sort(found.begin(), found.end());
    return found;
}

} // namespace game_tree
