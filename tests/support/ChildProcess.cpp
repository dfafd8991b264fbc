#include "ChildProcess.h"

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <fstream>
#include <poll.h>
#include <sstream>
#include <stdexcept>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace {

void applyChildSetup(const ChildProcessOptions& options, int inputFd, int outputFd) {
    dup2(inputFd, STDIN_FILENO);
    dup2(outputFd, STDOUT_FILENO);
    dup2(outputFd, STDERR_FILENO);
    for (const auto& [name, value] : options.environment) {
        if (value.empty()) {
            unsetenv(name.c_str());
        } else {
            setenv(name.c_str(), value.c_str(), 1);
        }
    }
    if (!options.workingDirectory.empty() && chdir(options.workingDirectory.c_str()) != 0) {
        _exit(126);
    }
}

std::string drain(int fd) {
    std::string text;
    char buffer[4096];
    ssize_t count;
    while ((count = read(fd, buffer, sizeof buffer)) > 0) {
        text.append(buffer, static_cast<std::size_t>(count));
    }
    return text;
}

} // namespace

ChildProcessResult runChildProcess(const std::vector<std::string>& argv, const ChildProcessOptions& options) {
    int inputPipe[2], outputPipe[2];
    if (pipe(inputPipe) != 0 || pipe(outputPipe) != 0) {
        throw std::runtime_error("pipe failed");
    }
    const pid_t pid = fork();
    if (pid == 0) {
        close(inputPipe[1]);
        close(outputPipe[0]);
        applyChildSetup(options, inputPipe[0], outputPipe[1]);
        std::vector<char*> args;
        for (const std::string& arg : argv) {
            args.push_back(const_cast<char*>(arg.c_str()));
        }
        args.push_back(nullptr);
        execvp(args[0], args.data());
        _exit(127);
    }
    close(inputPipe[0]);
    close(outputPipe[1]);

    // Feed the input from a thread so a child that writes a lot first cannot deadlock us.
    std::thread feeder([fd = inputPipe[1], input = options.input] {
        std::signal(SIGPIPE, SIG_IGN);
        std::size_t written = 0;
        while (written < input.size()) {
            const ssize_t count = write(fd, input.data() + written, input.size() - written);
            if (count <= 0) {
                break;
            }
            written += static_cast<std::size_t>(count);
        }
        close(fd);
    });

    ChildProcessResult result;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(options.timeoutSeconds);
    fcntl(outputPipe[0], F_SETFL, O_NONBLOCK);
    int status = 0;
    while (true) {
        pollfd readable{outputPipe[0], POLLIN, 0};
        poll(&readable, 1, 50);
        result.output += drain(outputPipe[0]);
        if (waitpid(pid, &status, WNOHANG) == pid) {
            break;
        }
        if (std::chrono::steady_clock::now() > deadline) {
            kill(pid, SIGKILL);
            waitpid(pid, &status, 0);
            break;
        }
    }
    feeder.join();
    fcntl(outputPipe[0], F_SETFL, 0);
    result.output += drain(outputPipe[0]);
    close(outputPipe[0]);
    if (WIFEXITED(status)) {
        result.exitCode = WEXITSTATUS(status);
    } else if (WIFSIGNALED(status)) {
        result.signal = WTERMSIG(status);
    }
    return result;
}

GameCopy::GameCopy() {
    std::string pattern = (std::filesystem::temp_directory_path() / "vorn-game-XXXXXX").string();
    if (!mkdtemp(pattern.data())) {
        throw std::runtime_error("cannot create a temporary folder");
    }
    rootDir = pattern;
    playerFolders.emplace(rootDir / "xdg");
    const std::filesystem::path game = VORN_GAME_DIR;
    std::filesystem::create_directories(rootDir / "bin");
    std::filesystem::copy_file(VORN_EXECUTABLE, executable());
    for (const auto& entry : std::filesystem::directory_iterator(game)) {
        const std::string name = entry.path().filename().string();
        if (name == "bin" || name == "Vorn.log" || name == "security") {
            continue;
        }
        std::filesystem::copy(entry.path(), rootDir / name, std::filesystem::copy_options::recursive);
    }
    std::filesystem::create_directories(dialogFolder());
    std::ofstream(dialogFolder() / "zenity")
        << "#!/bin/sh\nprintf '%s\\n' \"$@\" >> '" << (rootDir / "dialogs.txt").string() << "'\n";
    std::filesystem::permissions(dialogFolder() / "zenity", std::filesystem::perms::owner_all);
}

GameCopy::~GameCopy() {
    std::error_code error;
    std::filesystem::remove_all(rootDir, error);
}

std::string GameCopy::readFile(const std::string& relative) const {
    std::ifstream in(rootDir / relative, std::ios::binary);
    std::ostringstream content;
    content << in.rdbuf();
    return content.str();
}
