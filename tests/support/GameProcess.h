#pragma once

#include <filesystem>
#include <map>
#include <string>
#include <sys/types.h>

#include "ChildProcess.h"

// Keeps a screenshot of the game as a PNG named "game_" + name among the test pictures.
void keepAsPicture(const std::filesystem::path& screenshot, const std::string& name);

// The game of a GameCopy running in the background with no terminal input, for
// tests that talk to its window while it runs. Its output goes to output.txt in the copy.
// With no terminal the game's message boxes are desktop dialogs: the copy's stand-in
// dialog program answers them at once (GameCopy::dialogs).
class GameProcess {
public:
    explicit GameProcess(const GameCopy& game, const std::map<std::string, std::string>& environment = {});
    ~GameProcess();
    GameProcess(const GameProcess&) = delete;
    GameProcess& operator=(const GameProcess&) = delete;

    pid_t pid() const { return childPid; }
    // The exit code, or -1 when the process had to be killed after the timeout.
    int waitForExit(int timeoutMilliseconds);

    // The game's window once it is mapped; 0 when none appears within the timeout.
    unsigned long waitForWindow(int timeoutMilliseconds);
    // Presses and releases each key ("Return", "Escape", "s") in the window, in order. The game
    // may close its window in the middle, so a failed send is not reported.
    void type(const std::string& keys) const;
    // Presses the screenshot key until the next screenshot is written and keeps a PNG of it,
    // named "game_" + name, among the test pictures. The screenshot's path; empty when none came.
    std::filesystem::path screenshot(const std::string& name);
    // Waits until the game's log holds `text`; false at once when the game ends without it.
    bool waitForLog(const std::string& text, int timeoutMilliseconds) const;
    bool running() const;
    // The stacks of the game's threads (gdb), to show where a game that does not go on waits.
    std::string stacks() const;

private:
    const GameCopy& copy;
    pid_t childPid = -1;
    unsigned long windowId = 0;
    int screenshots = 0;
};
