#pragma once

#include <filesystem>
#include <map>
#include <optional>
#include <string>

// Points the player's folders (XDG_CONFIG_HOME, XDG_DATA_HOME, XDG_STATE_HOME,
// XDG_CACHE_HOME) into `root` for as long as it lives, so a test never reaches the
// real home; HOME and these variables are put back afterwards.
class PlayerFolders {
public:
    explicit PlayerFolders(const std::filesystem::path& root);
    ~PlayerFolders();
    PlayerFolders(const PlayerFolders&) = delete;
    PlayerFolders& operator=(const PlayerFolders&) = delete;

private:
    std::map<std::string, std::optional<std::string>> previous;
};
