#include "platform/DesktopMessageBox.h"

#include <cstdlib>
#include <filesystem>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace {

constexpr const char* kTools[] = {"zenity", "kdialog", "xmessage"};

struct Choice {
    const char* label;
    MessageBoxResult result;
};

std::vector<Choice> choicesOf(MessageBoxButtons buttons) {
    using R = MessageBoxResult;
    switch (buttons) {
    case MessageBoxButtons::AbortRetryIgnore:
        return {{"Abort", R::Abort}, {"Retry", R::Retry}, {"Ignore", R::Ignore}};
    case MessageBoxButtons::CancelTryContinue:
        return {{"Cancel", R::Cancel}, {"Try Again", R::TryAgain}, {"Continue", R::Continue}};
    case MessageBoxButtons::Help:
        return {{"Help", R::Ok}};
    case MessageBoxButtons::Ok:
        return {{"OK", R::Ok}};
    case MessageBoxButtons::OkCancel:
        return {{"OK", R::Ok}, {"Cancel", R::Cancel}};
    case MessageBoxButtons::RetryCancel:
        return {{"Retry", R::Retry}, {"Cancel", R::Cancel}};
    case MessageBoxButtons::YesNo:
        return {{"Yes", R::Yes}, {"No", R::No}};
    case MessageBoxButtons::YesNoCancel:
        return {{"Yes", R::Yes}, {"No", R::No}, {"Cancel", R::Cancel}};
    }
    return {{"OK", R::Ok}};
}

struct ToolRun {
    int exitCode = -1;
    std::string output; // the first line of standard output
};

// Runs the dialog with no input and collects what it prints; none when it cannot start
// or does not end normally.
std::optional<ToolRun> run(const std::vector<std::string>& argv) {
    int pipeEnds[2];
    if (::pipe(pipeEnds) != 0) {
        return std::nullopt;
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", 0, 0);
    posix_spawn_file_actions_adddup2(&actions, pipeEnds[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, pipeEnds[0]);
    posix_spawn_file_actions_addclose(&actions, pipeEnds[1]);
    std::vector<char*> args;
    for (const std::string& arg : argv) {
        args.push_back(const_cast<char*>(arg.c_str()));
    }
    args.push_back(nullptr);
    pid_t pid = -1;
    const int spawned = posix_spawn(&pid, args[0], &actions, nullptr, args.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    ::close(pipeEnds[1]);
    ToolRun result;
    char buffer[256];
    ssize_t count;
    while (spawned == 0 && (count = ::read(pipeEnds[0], buffer, sizeof buffer)) > 0) {
        result.output.append(buffer, static_cast<std::size_t>(count));
    }
    ::close(pipeEnds[0]);
    int status = 0;
    if (spawned != 0 || ::waitpid(pid, &status, 0) != pid || !WIFEXITED(status)) {
        return std::nullopt;
    }
    result.exitCode = WEXITSTATUS(status);
    result.output = result.output.substr(0, result.output.find('\n'));
    return result;
}

const char* zenityKind(MessageBoxIcon icon) {
    switch (icon) {
    case MessageBoxIcon::Stop:
        return "--error";
    case MessageBoxIcon::Exclamation:
        return "--warning";
    default:
        return "--info";
    }
}

const char* kdialogKind(MessageBoxIcon icon) {
    switch (icon) {
    case MessageBoxIcon::Stop:
        return "--error";
    case MessageBoxIcon::Exclamation:
        return "--sorry";
    default:
        return "--msgbox";
    }
}

// zenity asks with OK and Cancel relabelled and a third choice as an extra button, which
// it names on standard output; 255 is its own failure.
std::optional<MessageBoxResult> askZenity(const std::string& tool, const std::string& text,
                                          const std::string& caption, MessageBoxIcon icon,
                                          const std::vector<Choice>& choices) {
    std::vector<std::string> argv = {tool, "--title=" + caption, "--text=" + text, "--no-markup"};
    if (choices.size() == 1) {
        argv.insert(argv.begin() + 1, zenityKind(icon));
    } else {
        argv.insert(argv.begin() + 1, "--question");
        argv.push_back(std::string("--ok-label=") + choices[0].label);
        argv.push_back(std::string("--cancel-label=") + choices[1].label);
    }
    if (choices.size() == 3) {
        argv.push_back(std::string("--extra-button=") + choices[2].label);
    }
    const std::optional<ToolRun> answer = run(argv);
    if (!answer || answer->exitCode == 255) {
        return std::nullopt;
    }
    if (choices.size() == 3 && answer->output == choices[2].label) {
        return choices[2].result;
    }
    if (answer->exitCode == 1 && choices.size() > 1) {
        return choices[1].result;
    }
    return answer->exitCode == 0 ? choices[0].result : MessageBoxResult::Ok;
}

// kdialog answers with its exit code: 0, 1, 2 for the first, second and third choice.
std::optional<MessageBoxResult> askKdialog(const std::string& tool, const std::string& text,
                                           const std::string& caption, MessageBoxIcon icon,
                                           const std::vector<Choice>& choices) {
    std::vector<std::string> argv = {tool, "--title", caption};
    if (choices.size() == 1) {
        argv.insert(argv.end(), {kdialogKind(icon), text});
    } else {
        argv.insert(argv.end(), {choices.size() == 2 ? "--yesno" : "--yesnocancel", text, "--yes-label",
                                 choices[0].label, "--no-label", choices[1].label});
    }
    if (choices.size() == 3) {
        argv.insert(argv.end(), {"--cancel-label", choices[2].label});
    }
    const std::optional<ToolRun> answer = run(argv);
    if (!answer || answer->exitCode > 2) {
        return std::nullopt;
    }
    const auto index = static_cast<std::size_t>(answer->exitCode);
    return index < choices.size() ? choices[index].result : MessageBoxResult::Ok;
}

// xmessage exits with the value of the button pressed (101 and up here); 1 is its failure.
std::optional<MessageBoxResult> askXmessage(const std::string& tool, const std::string& text,
                                            const std::string& caption, const std::vector<Choice>& choices) {
    std::string buttons;
    for (std::size_t i = 0; i < choices.size(); ++i) {
        buttons += (i ? "," : "") + std::string(choices[i].label) + ":" + std::to_string(101 + i);
    }
    const std::optional<ToolRun> answer = run({tool, "-center", "-title", caption, "-buttons", buttons,
                                               "-default", choices[0].label, caption + "\n\n" + text});
    if (!answer || answer->exitCode == 1) {
        return std::nullopt;
    }
    const int index = answer->exitCode - 101;
    return index >= 0 && index < static_cast<int>(choices.size())
               ? choices[static_cast<std::size_t>(index)].result
               : MessageBoxResult::Ok;
}

} // namespace

std::string DesktopMessageBox::findTool(const std::string& searchPath) {
    for (const char* tool : kTools) {
        std::size_t start = 0;
        while (start <= searchPath.size()) {
            const std::size_t end = std::min(searchPath.find(':', start), searchPath.size());
            const std::string folder = searchPath.substr(start, end - start);
            const std::filesystem::path candidate =
                std::filesystem::path(folder.empty() ? "." : folder) / tool;
            if (::access(candidate.c_str(), X_OK) == 0) {
                return candidate.string();
            }
            start = end + 1;
        }
    }
    return "";
}

std::optional<MessageBoxResult> DesktopMessageBox::ask(const std::string& tool, const std::string& text,
                                                       const std::string& caption, MessageBoxIcon icon,
                                                       MessageBoxButtons buttons) {
    const std::vector<Choice> choices = choicesOf(buttons);
    const std::string name = std::filesystem::path(tool).filename().string();
    if (name == "zenity") {
        return askZenity(tool, text, caption, icon, choices);
    }
    if (name == "kdialog") {
        return askKdialog(tool, text, caption, icon, choices);
    }
    if (name == "xmessage") {
        return askXmessage(tool, text, caption, choices);
    }
    return std::nullopt;
}

std::optional<MessageBoxResult> DesktopMessageBox::ask(const std::string& text, const std::string& caption,
                                                       MessageBoxIcon icon, MessageBoxButtons buttons) {
    const char* display = std::getenv("DISPLAY");
    const char* wayland = std::getenv("WAYLAND_DISPLAY");
    const char* path = std::getenv("PATH");
    if (!(display && *display) && !(wayland && *wayland)) {
        return std::nullopt;
    }
    const std::string tool = findTool(path ? path : "");
    return tool.empty() ? std::nullopt : ask(tool, text, caption, icon, buttons);
}
