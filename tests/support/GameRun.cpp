#include "GameRun.h"

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace fs = std::filesystem;

GameInstall::GameInstall() {
    std::string pattern = (fs::temp_directory_path() / "vorn-game-XXXXXX").string();
    if (!mkdtemp(pattern.data())) {
        throw std::runtime_error("cannot create a temporary folder");
    }
    rootDir = pattern;
    fs::copy(VORN_GAME_DIR, rootDir, fs::copy_options::recursive | fs::copy_options::overwrite_existing);
    // Left-overs of earlier runs in the build tree are not part of the install.
    for (const char* produced : {"Vorn.log", "security"}) {
        fs::remove(rootDir / produced);
    }
    for (const auto& entry : fs::directory_iterator(rootDir / "bin")) {
        if (entry.path().extension() == ".tga") {
            fs::remove(entry.path());
        }
    }
}

GameInstall::~GameInstall() {
    std::error_code error;
    fs::remove_all(rootDir, error);
}

void GameInstall::write(const std::string& relative, const std::string& content) const {
    std::ofstream(rootDir / relative, std::ios::binary) << content;
}

std::string GameInstall::read(const std::string& relative) const {
    std::ifstream in(rootDir / relative, std::ios::binary);
    std::ostringstream content;
    content << in.rdbuf();
    return content.str();
}

GameProcess::GameProcess(const GameInstall& install,
                         const std::vector<std::pair<std::string, std::string>>& environment) {
    const std::string executable = install.executable().string();
    const std::string output = (install.root() / "output.txt").string();
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
