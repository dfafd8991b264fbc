#pragma once

#include <string>

// Where the running executable lies and where its data tree is: one level above the
// executable in a build tree (game/bin/vorn, data in game/), ../share/games/vorn from
// an installed executable (/usr/games/vorn). Both move with the tree, so a staged or
// copied installation plays as well.
class ExecutablePath {
public:
    // Absolute directory of the executable, without a trailing '/'.
    static std::string directory();
    // The data tree of the executable in `executableDirectory`, without a trailing '/'.
    static std::string dataRoot(const std::string& executableDirectory);
    // True when `executableDirectory` is laid out as an installed game.
    static bool isInstalled(const std::string& executableDirectory);
    // Makes `dataRoot`/bin the working directory, so the data's "../" paths land in the
    // data tree; false when that fails.
    static bool enterDataTree(const std::string& dataRoot);
};
