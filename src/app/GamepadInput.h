#pragma once

#include "platform/Glfw.h"

// The gamepad outside of the ball's controls, once a frame: its connection (a HUD
// message either way, and the pause menu when it goes in play), menus (the D-pad or
// left stick move, A chooses, B goes back), Start for the pause menu, and the right
// stick turning the camera.
class GamepadInput {
public:
    // `frameMilliseconds` is the real length of the frame just drawn.
    void update(double frameMilliseconds);

    // Right stick fully over turns the camera as the mouse moving this far in a second.
    static constexpr float kLookPixelsPerSecond = 360.0f;
    // How far the left stick must lean to count as a menu step.
    static constexpr float kMenuLean = 0.5f;

private:
    void noticeConnection(const Glfw::GamepadState& pad);
    void navigateMenu(const Glfw::GamepadState& pad);
    void play(const Glfw::GamepadState& pad, double frameMilliseconds);
    bool pressed(const Glfw::GamepadState& pad, int button) const;
    int leanOf(const Glfw::GamepadState& pad) const;

    Glfw::GamepadState last;
};
