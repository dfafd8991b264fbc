#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <future>
#include <sstream>
#include <thread>
#include <unistd.h>

#include "ChildProcess.h"
#include "XWindows.h"
#include "platform/DesktopMessageBox.h"

namespace fs = std::filesystem;

namespace {

// A folder of stand-in dialog programs: each keeps its arguments, one a line, prints the
// answer it was given and exits with the given code.
class FakeDialogs {
public:
    FakeDialogs() {
        std::string pattern = (fs::temp_directory_path() / "vorn-dialogs-XXXXXX").string();
        folder = mkdtemp(pattern.data());
    }
    ~FakeDialogs() { fs::remove_all(folder); }

    std::string make(const std::string& tool, int exitCode, const std::string& printed = "") const {
        const fs::path program = folder / tool;
        std::ofstream(program) << "#!/bin/sh\nprintf '%s\\n' \"$@\" > '" << (folder / "arguments").string()
                               << "'\nprintf '" << printed << "'\nexit " << exitCode << "\n";
        fs::permissions(program, fs::perms::owner_all);
        return program.string();
    }
    std::string arguments() const {
        std::ifstream in(folder / "arguments");
        std::stringstream text;
        text << in.rdbuf();
        return text.str();
    }

    fs::path folder;
};

std::optional<MessageBoxResult> askYesNoCancel(const std::string& tool) {
    return DesktopMessageBox::ask(tool, "Select Compression mode", "box.png", MessageBoxIcon::Question,
                                  MessageBoxButtons::YesNoCancel);
}

// The process id of our child running `name`, once it runs.
pid_t childNamed(const std::string& name) {
    for (int attempt = 0; attempt < 250; ++attempt) {
        for (const auto& entry : fs::directory_iterator("/proc")) {
            std::ifstream stat(entry.path() / "stat");
            std::string pid, command, state;
            pid_t parent = 0;
            if (stat >> pid >> command >> state >> parent && parent == getpid() &&
                command == "(" + name + ")") {
                return std::stoi(pid);
            }
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return 0;
}

} // namespace

TEST(DesktopMessageBox, FindsZenityThenKdialogThenXmessageAlongThePath) {
    const FakeDialogs first, second;
    first.make("xmessage", 0);
    first.make("kdialog", 0);
    std::ofstream(second.folder / "zenity") << "not runnable";
    const std::string path = first.folder.string() + ":" + second.folder.string();
    EXPECT_EQ(DesktopMessageBox::findTool(path), (first.folder / "kdialog").string())
        << "a program that cannot run is passed over";
    second.make("zenity", 0);
    EXPECT_EQ(DesktopMessageBox::findTool(path), (second.folder / "zenity").string())
        << "the order of the programs counts before the order of the path";
    EXPECT_EQ(DesktopMessageBox::findTool("/nonexistent:"), "");
}

TEST(DesktopMessageBox, ZenityAnswersWithItsExitCodeAndTheExtraButtonItPrints) {
    const FakeDialogs dialogs;
    EXPECT_EQ(askYesNoCancel(dialogs.make("zenity", 0)), MessageBoxResult::Yes);
    EXPECT_EQ(dialogs.arguments(),
              "--question\n--title=box.png\n--text=Select Compression mode\n--no-markup\n"
              "--ok-label=Yes\n--cancel-label=No\n--extra-button=Cancel\n");
    EXPECT_EQ(askYesNoCancel(dialogs.make("zenity", 1)), MessageBoxResult::No);
    EXPECT_EQ(askYesNoCancel(dialogs.make("zenity", 1, "Cancel\\n")), MessageBoxResult::Cancel);
    EXPECT_EQ(askYesNoCancel(dialogs.make("zenity", 255)), std::nullopt) << "zenity could not show it";

    EXPECT_EQ(DesktopMessageBox::ask(dialogs.make("zenity", 0), "Vorn must exit now.", "Shader error",
                                     MessageBoxIcon::Stop, MessageBoxButtons::Ok),
              MessageBoxResult::Ok);
    EXPECT_EQ(dialogs.arguments(),
              "--error\n--title=Shader error\n--text=Vorn must exit now.\n--no-markup\n");
}

TEST(DesktopMessageBox, KdialogAndXmessageAnswerWithTheirExitCodes) {
    const FakeDialogs dialogs;
    EXPECT_EQ(askYesNoCancel(dialogs.make("kdialog", 2)), MessageBoxResult::Cancel);
    EXPECT_EQ(dialogs.arguments(),
              "--title\nbox.png\n--yesnocancel\nSelect Compression mode\n--yes-label\nYes\n"
              "--no-label\nNo\n--cancel-label\nCancel\n");
    EXPECT_EQ(askYesNoCancel(dialogs.make("kdialog", 1)), MessageBoxResult::No);
    EXPECT_EQ(askYesNoCancel(dialogs.make("kdialog", 254)), std::nullopt);

    EXPECT_EQ(askYesNoCancel(dialogs.make("xmessage", 102)), MessageBoxResult::No);
    EXPECT_EQ(dialogs.arguments(),
              "-center\n-title\nbox.png\n-buttons\nYes:101,No:102,Cancel:103\n-default\nYes\n"
              "box.png\n\nSelect Compression mode\n");
    EXPECT_EQ(askYesNoCancel(dialogs.make("xmessage", 0)), MessageBoxResult::Ok) << "closed: as unexpected";
    EXPECT_EQ(askYesNoCancel(dialogs.make("xmessage", 1)), std::nullopt) << "xmessage could not show it";
    EXPECT_EQ(askYesNoCancel((dialogs.folder / "missing/zenity").string()), std::nullopt);
}

// The real xmessage on the test display takes our arguments and shows the box. Closed from its
// title bar it exits as it does on a failure, so the terminal is asked instead.
TEST(DesktopMessageBox, XmessageShowsTheBoxOnTheDisplay) {
    auto answer = std::async(std::launch::async, [] {
        return DesktopMessageBox::ask("/usr/bin/xmessage", "Create Mipmaps?", "Mipmaps",
                                      MessageBoxIcon::Question, MessageBoxButtons::YesNo);
    });
    const pid_t xmessage = childNamed("xmessage");
    ASSERT_NE(xmessage, 0);
    // xmessage names no process on its window: it is found by its title.
    ChildProcessOptions options;
    options.timeoutSeconds = 10;
    const ChildProcessResult search =
        runChildProcess({"xdotool", "search", "--sync", "--name", "^Mipmaps$"}, options);
    const unsigned long window = std::strtoul(search.output.c_str(), nullptr, 10);
    EXPECT_NE(window, 0ul) << search.output;
    if (!window || !XWindows::requestClose(window)) {
        kill(xmessage, SIGTERM);
    }
    ASSERT_EQ(answer.wait_for(std::chrono::seconds(10)), std::future_status::ready);
    EXPECT_EQ(answer.get(), std::nullopt);
}
