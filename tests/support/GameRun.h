#pragma once

#include <filesystem>
#include <string>
#include <sys/types.h>
#include <utility>
#include <vector>

// A private copy of the built runtime tree, so a run never writes into build/game.
class GameInstall {
  public:
    GameInstall();
    ~GameInstall();
    GameInstall(const GameInstall&) = delete;
    GameInstall& operator=(const GameInstall&) = delete;

    const std::filesystem::path& root() const { return rootDir; }
    std::filesystem::path executable() const { return rootDir / "bin" / "vorn"; }
    void write(const std::string& relative, const std::string& content) const;
    std::string read(const std::string& relative) const;

  private:
    std::filesystem::path rootDir;
};

// The game executable running as a child process with no terminal input.
class GameProcess {
  public:
    GameProcess(const GameInstall& install,
                const std::vector<std::pair<std::string, std::string>>& environment = {});
    ~GameProcess();
    GameProcess(const GameProcess&) = delete;
    GameProcess& operator=(const GameProcess&) = delete;

    pid_t pid() const { return childPid; }
    // The exit code, or -1 when the process had to be killed after the timeout.
    int waitForExit(int timeoutMilliseconds);

  private:
    pid_t childPid = -1;
};
