#pragma once

// Ctrl+C or a termination request from the system ends the game like closing its
// window; a second one ends the process at once.
class QuitSignal {
public:
    static void install();
    static bool raised();
};
