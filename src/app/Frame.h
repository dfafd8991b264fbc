#pragma once

#include <filesystem>

class ReplayDirector;

// The game-mode frame: start-up, one frame of logic, one frame of drawing, shutdown.
// Managers come into being in init in a fixed order and go in shutdown in another.
void init();
void update();
void render();
void shutdown();

// Game mode from the first log line to the last; returns the exit status. With a
// replay, the game plays it back and ends with it (status 1 when it is refused).
int runGameMode(const std::filesystem::path& replay = {});

// The runs recorded and played back.
ReplayDirector& replays();

// Logs at fatal level, shows the stop box with its caption and text and ends the process with code 1.
[[noreturn]] void failStartup(const char* logMessage, const char* caption, const char* text);
