#pragma once

#include <map>
#include <string>
#include <sys/types.h>

#include "ChildProcess.h"

// The game of a GameCopy running in the background with no terminal input, for
// tests that talk to its window while it runs. Its output goes to output.txt in the copy.
class GameProcess {
public:
    explicit GameProcess(const GameCopy& game, const std::map<std::string, std::string>& environment = {});
    ~GameProcess();
    GameProcess(const GameProcess&) = delete;
    GameProcess& operator=(const GameProcess&) = delete;

    pid_t pid() const { return childPid; }
    // The exit code, or -1 when the process had to be killed after the timeout.
    int waitForExit(int timeoutMilliseconds);

private:
    pid_t childPid = -1;
};
