#pragma once

#include <array>
#include <string>
#include <utility>
#include <vector>

#include "platform/GlfwKeys.h"

struct GLFWwindow;

// The windowing library as the game uses it: one window, key codes of GlfwKeys,
// press/release only (no repeats), sticky keys and buttons, an absolute mouse-wheel
// position, mouse callbacks called once with the current values when installed,
// and event polling as part of the buffer swap.
class Glfw {
public:
    // The first gamepad as the library's built-in mappings see it.
    struct GamepadState {
        bool connected = false;
        std::string name;
        std::array<bool, GlfwKeys::GAMEPAD_BUTTON_COUNT> buttons{};
        std::array<float, GlfwKeys::GAMEPAD_AXIS_COUNT> axes{};
    };

    using KeyCallback = void (*)(int key, int action);
    using MousePosCallback = void (*)(int x, int y);
    using MouseWheelCallback = void (*)(int pos);
    using FocusCallback = void (*)(bool focused);
    using MouseButtonCallback = void (*)(int button, int action);

    static bool init();
    // Closes the window and releases the library; callbacks and input state are reset.
    static void terminate();
    static bool isInitialized();
    // The library's description of its most recent error, empty when there was none.
    static std::string lastError();
    // After a failed init: whether there was no display to connect to at all.
    static bool displayMissing();

    // Compatibility-profile GLX context with a 24-bit depth and an 8-bit stencil
    // buffer. A hidden window serves headless tests.
    static bool openWindow(int width, int height, bool fullscreen, bool visible = true);
    // False once the user asked to close the window (or when there is none).
    static bool isWindowOpen();
    static void setWindowTitle(const std::string& title);
    static void getWindowSize(int& width, int& height);
    // Resizes the open window, or moves it to the primary monitor's full screen and back,
    // keeping its context (and so every texture and buffer); false when there is no window.
    static bool setWindowMode(int width, int height, bool fullscreen);
    static bool isFullscreen();
    // The primary monitor's video modes, distinct sizes from the smallest.
    static std::vector<std::pair<int, int>> videoModes();
    static void setSwapInterval(int interval);
    static void swapBuffers();

    static void setKeyCallback(KeyCallback callback);
    static void setMousePosCallback(MousePosCallback callback);
    static void setMouseWheelCallback(MouseWheelCallback callback);
    static void setFocusCallback(FocusCallback callback);
    static void setMouseButtonCallback(MouseButtonCallback callback);
    static void enableStickyKeys();
    static int getKey(int key);
    static int getMouseButton(int button);
    static int getMouseWheel();
    static void getMousePos(int& x, int& y);
    // Hides the cursor and locks it to the window, where it moves without end.
    static void hideCursor();
    // Shows the cursor and frees it.
    static void showCursor();
    static bool isCursorHidden();
    // The gamepad as read at the last buffer swap (or as delivered).
    static const GamepadState& getGamepad();

    // Entry points for the library's events, in its own codes; tests use them to
    // drive input the same way the window system does.
    static void deliverKey(int libraryKey, int action);
    static void deliverMouseButton(int button, int action);
    static void deliverCursorPos(double x, double y);
    static void deliverScroll(double yOffset);
    static void deliverFocus(bool focused);
    // From then on the gamepad is the delivered one, not a plugged-in one.
    static void deliverGamepad(const GamepadState& state);

    // While off, the keys, buttons, pointer, wheel and gamepad of the window system are not
    // heard, only what is delivered: a pointer another program left over the window turns nothing.
    static void acceptDeviceInput(bool accept);

    // Translates a key code of the library into the game's key code.
    static int translateKey(int libraryKey);

private:
    static void recordPress(int& state, int action);
    static int readSticky(int& state);
    static void pollGamepad();
};
