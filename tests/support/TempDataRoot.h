#pragma once

#include <filesystem>
#include <optional>
#include <string>

#include "PlayerFolders.h"

// A fresh data root for one test: <tmp>/root with the working directory moved
// into <tmp>/root/bin, so the game's "../" paths land in the root. The player's
// folders lie in root/xdg/ meanwhile.
class TempDataRoot {
public:
    TempDataRoot();
    ~TempDataRoot();
    TempDataRoot(const TempDataRoot&) = delete;
    TempDataRoot& operator=(const TempDataRoot&) = delete;

    const std::filesystem::path& root() const { return rootDir; }
    std::filesystem::path bin() const { return rootDir / "bin"; }
    // Writes `content` to root/relative (creating folders) and returns the full path.
    std::filesystem::path write(const std::string& relative, const std::string& content) const;
    std::string read(const std::string& relative) const;

private:
    std::filesystem::path previousDir;
    std::filesystem::path rootDir;
    std::optional<PlayerFolders> playerFolders;
};
