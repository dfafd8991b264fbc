#pragma once

// The game window, the fixed OpenGL state, the projection and the keys and mouse of play.

// Render and input state of the frame, process-wide.
struct WindowState {
    bool cursorVisible = true;
    // The player wants the mouse to turn the camera in play (key 2 says no).
    bool mouseLookWanted = false;
    bool windowFocused = true;
    bool wireframe = false;
    bool transparency = true;
    float ambient[4] = {0.15f, 0.15f, 0.15f, 1.0f};
    int lastWheelPos = 0;
    bool screenshotRequested = false;
};

extern WindowState windowState;

// Opens the window from the main configuration and installs the input callbacks.
bool initGLFW();
void initOpenGL();
// Viewport and the infinite 65-degree projection for the current window size.
void setupProjection();

// Writes the requested screenshot from the finished frame, right before the swap.
void takeRequestedScreenshot();

void keyCallback(int key, int action);
void mousePosCallback(int x, int y);
void mouseWheelCallback(int pos);
// A current menu hears mouse buttons as codes of the binding table (the options wait for one).
void mouseButtonCallback(int button, int action);

constexpr float kNearPlane = 0.005f;
// Half of the 65-degree vertical field of view, in radians.
constexpr double kHalfFieldOfView = 0.5672320127487183;
