#include "GameProcess.h"

#include <IL/il.h>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

#include "XWindows.h"
#include "core/PlayerFiles.h"

namespace {

template <typename Condition> bool waitUntil(Condition condition, int timeoutMilliseconds) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMilliseconds);
    while (!condition()) {
        if (std::chrono::steady_clock::now() >= deadline) {
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return true;
}

// A screenshot is complete once its size has stopped growing.
bool waitForFile(const std::filesystem::path& path, int timeoutMilliseconds) {
    std::uintmax_t size = 0;
    return waitUntil(
        [&] {
            std::error_code error;
            const std::uintmax_t now = std::filesystem::file_size(path, error);
            const bool settled = !error && now > 0 && now == size;
            size = error ? 0 : now;
            return settled;
        },
        timeoutMilliseconds);
}

} // namespace

void keepAsPicture(const std::filesystem::path& screenshot, const std::string& name) {
    const char* chosen = std::getenv("VORN_TEST_IMAGES");
    const std::filesystem::path folder =
        chosen ? std::filesystem::path(chosen) : std::filesystem::path(VORN_TEST_OUTPUT_DIR) / "images";
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    ilInit();
    ILuint image = 0;
    ilGenImages(1, &image);
    ilBindImage(image);
    if (ilLoadImage(screenshot.c_str())) {
        ilEnable(IL_FILE_OVERWRITE);
        ilSaveImage((folder / ("game_" + name + ".png")).c_str());
    }
    ilDeleteImages(1, &image);
}

GameProcess::GameProcess(const GameCopy& game, const std::map<std::string, std::string>& environment)
    : copy(game) {
    const std::string executable = game.executable().string();
    const std::string output = (game.root() / "output.txt").string();
    childPid = fork();
    if (childPid == 0) {
        const int input = open("/dev/null", O_RDONLY);
        const int log = open(output.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        dup2(input, STDIN_FILENO);
        dup2(log, STDOUT_FILENO);
        dup2(log, STDERR_FILENO);
        const char* path = std::getenv("PATH");
        setenv("PATH", (game.dialogFolder().string() + ":" + (path ? path : "")).c_str(), 1);
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
    int status = 0;
    const bool ended =
        waitUntil([&] { return waitpid(childPid, &status, WNOHANG) != 0; }, timeoutMilliseconds);
    if (!ended) {
        kill(childPid, SIGKILL);
        waitpid(childPid, &status, 0);
    }
    childPid = -1;
    return ended && WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

unsigned long GameProcess::waitForWindow(int timeoutMilliseconds) {
    windowId = XWindows::waitForWindowOf(childPid, timeoutMilliseconds);
    return windowId;
}

void GameProcess::type(const std::string& keys) const {
    XWindows::typeKeys(windowId, keys);
}

// A key resent to a busy game may give a second picture of the last screen: it is skipped.
std::filesystem::path GameProcess::screenshot(const std::string& name) {
    const auto numbered = [&](int number) {
        return PlayerFiles::dataDir() / "screenshots" / ("screen" + std::to_string(number) + ".tga");
    };
    while (std::filesystem::exists(numbered(screenshots))) {
        ++screenshots;
    }
    const std::filesystem::path path = numbered(screenshots);
    for (int attempt = 0; attempt < 5 && !std::filesystem::exists(path); ++attempt) {
        type("1");
        waitForFile(path, 4000);
    }
    if (!waitForFile(path, 4000)) {
        return {};
    }
    ++screenshots;
    keepAsPicture(path, name);
    return path;
}

bool GameProcess::waitForLog(const std::string& text, int timeoutMilliseconds) const {
    const auto logged = [&] { return copy.readFile("Vorn.log").find(text) != std::string::npos; };
    // A game that has ended writes no more: its log is read once more and the wait ends.
    return waitUntil([&] { return logged() || !running(); }, timeoutMilliseconds) && logged();
}

std::string GameProcess::stacks() const {
    if (!running()) {
        return "(the game has ended)";
    }
    ChildProcessOptions options;
    options.timeoutSeconds = 60;
    return runChildProcess({"gdb", "-p", std::to_string(childPid), "-batch", "-ex", "thread apply all bt"},
                           options)
        .output;
}

// Looks without reaping, so that waitForExit still gets the exit status.
bool GameProcess::running() const {
    siginfo_t info{};
    return childPid > 0 &&
           waitid(P_PID, static_cast<id_t>(childPid), &info, WEXITED | WNOHANG | WNOWAIT) == 0 &&
           info.si_pid == 0;
}
