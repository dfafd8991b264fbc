#pragma once

#include "app/Singleton.h"

#include <list>
#include <memory>
#include <string>

#include "app/Timer.h"

// The heads-up display: status messages that vanish after three seconds and the
// switches for the frame rate and the help screen.
class HUD : public Singleton<HUD> {
    friend class Singleton<HUD>;

public:
    struct Message {
        std::string text;
        std::unique_ptr<Timer> timer;
    };

    HUD() = default;
    ~HUD();
    HUD(const HUD&) = delete;
    HUD& operator=(const HUD&) = delete;

    // Shows `text` for 3000 ms below the messages still showing.
    void showMessage(const std::string& text);

    static constexpr int kMessageDuration = 3000;

    // Oldest first; every message lives equally long, so the first expires first.
    std::list<Message> messages;
    bool showFps = false;
    bool showHelp = false;

private:
    static void expireOldestMessage(Timer* timer, void* hud);
};
