#pragma once

#include "platform/Clock.h"
#include "ui/Menu.h"

// Shown while the chosen level loads in the background, with its name; starts play once
// it is in. The loading image pulses so the player sees the game is alive.
class LoadingMenu : public Menu {
public:
    void update() override;
    void render() override;
    void enter() override;
    void keyEvent(int, int) override {}

    // Opacity of the loading image, 0.2 to 1, over the milliseconds since the menu was entered.
    static float pulse(Milliseconds elapsedMilliseconds);

private:
    Milliseconds pulseStart = 0;
    Milliseconds longestFrame = 0;
    bool firstFrame = true;
};
