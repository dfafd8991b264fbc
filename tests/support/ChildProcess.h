#pragma once

#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "PlayerFolders.h"

// Runs a program to its end (or until the timeout kills it) with the given
// standard input, environment additions and working directory.
struct ChildProcessResult {
    int exitCode = -1;  // -1 when it ended by a signal
    int signal = 0;     // the signal that ended it, if any
    std::string output; // standard output and standard error, interleaved
};

struct ChildProcessOptions {
    std::string input;
    std::map<std::string, std::string> environment; // an empty value removes the variable
    std::filesystem::path workingDirectory;         // empty: the test's own
    int timeoutSeconds = 60;
};

ChildProcessResult runChildProcess(const std::vector<std::string>& argv,
                                   const ChildProcessOptions& options = {});

// A copy of the built game tree for one test (without its log, hash file and
// executable folder, which get a fresh copy), so runs never write into the build tree.
class GameCopy {
public:
    GameCopy();
    ~GameCopy();
    GameCopy(const GameCopy&) = delete;
    GameCopy& operator=(const GameCopy&) = delete;

    const std::filesystem::path& root() const { return rootDir; }
    std::filesystem::path executable() const { return rootDir / "bin" / "vorn"; }
    std::string readFile(const std::string& relative) const;
    // A folder with a stand-in for the first desktop dialog program the game looks for: it
    // answers OK at once and keeps its arguments, one a line, for dialogs().
    std::filesystem::path dialogFolder() const { return rootDir / "dialogs"; }
    std::string dialogs() const { return readFile("dialogs.txt"); }

private:
    std::filesystem::path rootDir;
    std::optional<PlayerFolders> playerFolders; // the game's player files go to root/xdg/
};
