#include "PlayerFolders.h"

#include <cstdlib>

namespace {

constexpr const char* kVariables[][2] = {{"XDG_CONFIG_HOME", "config"},
                                         {"XDG_DATA_HOME", "data"},
                                         {"XDG_STATE_HOME", "state"},
                                         {"XDG_CACHE_HOME", "cache"}};

} // namespace

PlayerFolders::PlayerFolders(const std::filesystem::path& root) {
    for (const char* name : {"HOME", "XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_STATE_HOME", "XDG_CACHE_HOME"}) {
        const char* value = std::getenv(name);
        previous[name] = value ? std::optional<std::string>(value) : std::nullopt;
    }
    // They exist, as in a home: the OpenGL driver keeps its shader cache in the cache folder.
    for (const auto& [name, folder] : kVariables) {
        std::filesystem::create_directories(root / folder);
        setenv(name, (root / folder).c_str(), 1);
    }
}

PlayerFolders::~PlayerFolders() {
    for (const auto& [name, value] : previous) {
        if (value) {
            setenv(name.c_str(), value->c_str(), 1);
        } else {
            unsetenv(name.c_str());
        }
    }
}
