#pragma once

#include "core/Singleton.h"

#include <list>
#include <memory>
#include <string>

#include "core/Timer.h"
#include "ui/ControlsHint.h"

// The heads-up display: the energy and turbo bars of the main character with an
// icon each, status messages that vanish after three seconds, "Paused" while the
// clock is stopped in play, a new player's hint of the controls, and on request
// the frame rate and the help screen. The level's clock shows at the right below the bars.
class HUD : public Singleton<HUD> {
    friend class Singleton<HUD>;

public:
    struct Message {
        std::string text;
        std::unique_ptr<Timer> timer;
    };

    HUD();
    ~HUD();
    HUD(const HUD&) = delete;
    HUD& operator=(const HUD&) = delete;

    // Shows `text` for 3000 ms above the messages still showing.
    void showMessage(const std::string& text);
    // Once a frame, with the physics steps it ran: the controls hint counts its time in play.
    void update(int steps);
    // Frame rate, the current main character's bars (none without one), the controls hint,
    // messages, "Paused", help.
    void render();
    // Both bars over one rectangle, each value from 0 to 1.
    void renderBars(float energy, float turbo);

    // The bars' rectangle in window pixels, from the energy image's own size.
    struct BarArea {
        float left;
        float top;
        float width;
        float height;
    };
    BarArea barArea() const;
    // Width of the fading band where a bar of `width` pixels turns from lit to dark at `value`.
    static float bandWidth(float value, float width);

    static constexpr int kMessageDuration = 3000;
    static constexpr const char* kEnergyDark = "../textures/hud/hud_energy_dark.dds";
    static constexpr const char* kTurboDark = "../textures/hud/hud_turbo_dark.dds";
    static constexpr const char* kEnergy = "../textures/hud/hud_energy.dds";
    static constexpr const char* kTurbo = "../textures/hud/hud_turbo.dds";
    static constexpr const char* kEnergyIcon = "../textures/hud/hud_energy_icon.png";
    static constexpr const char* kTurboIcon = "../textures/hud/hud_turbo_icon.png";
    static constexpr const char* kPausedText = "Paused";
    // The clock's text size in a window 480 or more pixels high; smaller in smaller windows.
    static constexpr float kClockSize = 24.0f;

    // Oldest first; every message lives equally long, so the first expires first.
    std::list<Message> messages;
    // Empty when the configuration names no help image.
    std::string helpTexture;
    bool showFps = false;
    bool showHelp = false;
    ControlsHint controlsHint;

private:
    static void expireOldestMessage(Timer* timer, void* hud);
    void renderFrameRate() const;
    void renderBar(float value, const char* lit, const char* dark, const BarArea& area) const;
    static void renderIcon(const char* icon, float centre, float size, const BarArea& area);
    void renderMessages() const;
    static void renderPaused();
    // The level's clock.
    void renderClock() const;
    void renderHelp() const;
};
