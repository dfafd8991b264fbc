#include "GameProcess.h"

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

GameProcess::GameProcess(const GameCopy& game, const std::map<std::string, std::string>& environment) {
    const std::string executable = game.executable().string();
    const std::string output = (game.root() / "output.txt").string();
    childPid = fork();
    if (childPid == 0) {
        const int input = open("/dev/null", O_RDONLY);
        const int log = open(output.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        dup2(input, STDIN_FILENO);
        dup2(log, STDOUT_FILENO);
        dup2(log, STDERR_FILENO);
        for (const auto& [name, value] : environment) {
            setenv(name.c_str(), value.c_str(), 1);
        }
        execl(executable.c_str(), executable.c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
}

GameProcess::~GameProcess() {
    if (childPid > 0) {
        waitForExit(0);
    }
}

int GameProcess::waitForExit(int timeoutMilliseconds) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMilliseconds);
    int status = 0;
    while (waitpid(childPid, &status, WNOHANG) == 0) {
        if (std::chrono::steady_clock::now() >= deadline) {
            kill(childPid, SIGKILL);
            waitpid(childPid, &status, 0);
            childPid = -1;
            return -1;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    childPid = -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}
