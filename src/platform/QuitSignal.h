#pragma once

// Ctrl+C or a termination request from the system ends the game like closing its window.
class QuitSignal {
public:
    static void install();
    static bool raised();
};
