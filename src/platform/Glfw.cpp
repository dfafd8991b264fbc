#include "platform/Glfw.h"

#include <GLFW/glfw3.h>
#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>
#include <string>

#include <log4cxx/logger.h>

#include "platform/GlfwKeys.h"

namespace {

// A key released while sticky keys are on reads as pressed once more.
constexpr int kStuck = 2;

struct InputState {
    std::array<int, GlfwKeys::KEY_LAST + 1> keys{};
    std::array<int, GlfwKeys::MOUSE_BUTTON_LAST + 1> buttons{};
    bool stickyKeys = false;
    int mouseX = 0;
    int mouseY = 0;
    double scrollTotal = 0.0;
    int wheelPos = 0;
    bool cursorHidden = false;
    Glfw::GamepadState gamepad;
    bool gamepadDelivered = false;
};

bool initialized = false;
GLFWwindow* window = nullptr;
InputState input;
Glfw::KeyCallback keyCallback = nullptr;
Glfw::MousePosCallback mousePosCallback = nullptr;
Glfw::MouseWheelCallback mouseWheelCallback = nullptr;
Glfw::FocusCallback focusCallback = nullptr;
Glfw::MouseButtonCallback mouseButtonCallback = nullptr;
bool deviceInput = true;

std::string lastLibraryError;

// The platform lies below the game's logging helpers: it names its logger itself.
void logLibraryError(int code, const char* description) {
    static const log4cxx::LoggerPtr logger = log4cxx::Logger::getLogger("Glfw");
    LOG4CXX_ERROR(logger, "GLFW error " << code << ": " << description);
    lastLibraryError = description ? description : "";
}

void installEventHandlers(GLFWwindow* target) {
    glfwSetKeyCallback(target, [](GLFWwindow*, int key, int, int action, int) {
        if (deviceInput) {
            Glfw::deliverKey(key, action);
        }
    });
    glfwSetMouseButtonCallback(target, [](GLFWwindow*, int button, int action, int) {
        if (deviceInput) {
            Glfw::deliverMouseButton(button, action);
        }
    });
    glfwSetCursorPosCallback(target, [](GLFWwindow*, double x, double y) {
        if (deviceInput) {
            Glfw::deliverCursorPos(x, y);
        }
    });
    glfwSetScrollCallback(target, [](GLFWwindow*, double, double yOffset) {
        if (deviceInput) {
            Glfw::deliverScroll(yOffset);
        }
    });
    glfwSetWindowFocusCallback(target,
                               [](GLFWwindow*, int focused) { Glfw::deliverFocus(focused == GLFW_TRUE); });
}

int translateSpecialKey(int libraryKey) {
    using namespace GlfwKeys;
    if (libraryKey >= GLFW_KEY_F1 && libraryKey <= GLFW_KEY_F25) {
        return KEY_F1 + (libraryKey - GLFW_KEY_F1);
    }
    if (libraryKey >= GLFW_KEY_KP_0 && libraryKey <= GLFW_KEY_KP_9) {
        return KEY_KP_0 + (libraryKey - GLFW_KEY_KP_0);
    }
    switch (libraryKey) {
    case GLFW_KEY_ESCAPE:
        return KEY_ESC;
    case GLFW_KEY_ENTER:
        return KEY_ENTER;
    case GLFW_KEY_TAB:
        return KEY_TAB;
    case GLFW_KEY_BACKSPACE:
        return KEY_BACKSPACE;
    case GLFW_KEY_INSERT:
        return KEY_INSERT;
    case GLFW_KEY_DELETE:
        return KEY_DEL;
    case GLFW_KEY_RIGHT:
        return KEY_RIGHT;
    case GLFW_KEY_LEFT:
        return KEY_LEFT;
    case GLFW_KEY_DOWN:
        return KEY_DOWN;
    case GLFW_KEY_UP:
        return KEY_UP;
    case GLFW_KEY_PAGE_UP:
        return KEY_PAGEUP;
    case GLFW_KEY_PAGE_DOWN:
        return KEY_PAGEDOWN;
    case GLFW_KEY_HOME:
        return KEY_HOME;
    case GLFW_KEY_END:
        return KEY_END;
    case GLFW_KEY_CAPS_LOCK:
        return KEY_CAPS_LOCK;
    case GLFW_KEY_SCROLL_LOCK:
        return KEY_SCROLL_LOCK;
    case GLFW_KEY_NUM_LOCK:
        return KEY_KP_NUM_LOCK;
    case GLFW_KEY_PAUSE:
        return KEY_PAUSE;
    case GLFW_KEY_KP_DECIMAL:
        return KEY_KP_DECIMAL;
    case GLFW_KEY_KP_DIVIDE:
        return KEY_KP_DIVIDE;
    case GLFW_KEY_KP_MULTIPLY:
        return KEY_KP_MULTIPLY;
    case GLFW_KEY_KP_SUBTRACT:
        return KEY_KP_SUBTRACT;
    case GLFW_KEY_KP_ADD:
        return KEY_KP_ADD;
    case GLFW_KEY_KP_ENTER:
        return KEY_KP_ENTER;
    case GLFW_KEY_KP_EQUAL:
        return KEY_KP_EQUAL;
    case GLFW_KEY_LEFT_SHIFT:
        return KEY_LSHIFT;
    case GLFW_KEY_LEFT_CONTROL:
        return KEY_LCTRL;
    case GLFW_KEY_LEFT_ALT:
        return KEY_LALT;
    case GLFW_KEY_LEFT_SUPER:
        return KEY_LSUPER;
    case GLFW_KEY_RIGHT_SHIFT:
        return KEY_RSHIFT;
    case GLFW_KEY_RIGHT_CONTROL:
        return KEY_RCTRL;
    case GLFW_KEY_RIGHT_ALT:
        return KEY_RALT;
    case GLFW_KEY_RIGHT_SUPER:
        return KEY_RSUPER;
    case GLFW_KEY_MENU:
        return KEY_MENU;
    default:
        return KEY_UNKNOWN;
    }
}

} // namespace

int Glfw::translateKey(int libraryKey) {
    // The library's printable keys already are upper-case character codes.
    if (libraryKey >= GLFW_KEY_SPACE && libraryKey <= GLFW_KEY_GRAVE_ACCENT) {
        return libraryKey;
    }
    return translateSpecialKey(libraryKey);
}

bool Glfw::init() {
    lastLibraryError.clear();
    glfwSetErrorCallback(logLibraryError);
    initialized = glfwInit() == GLFW_TRUE;
    return initialized;
}

void Glfw::terminate() {
    glfwTerminate();
    initialized = false;
    window = nullptr;
    input = InputState{};
    keyCallback = nullptr;
    mousePosCallback = nullptr;
    mouseWheelCallback = nullptr;
    focusCallback = nullptr;
    mouseButtonCallback = nullptr;
}

bool Glfw::displayMissing() {
    const char* display = std::getenv("DISPLAY");
    return !display || !*display || lastLibraryError.find("open display") != std::string::npos ||
           lastLibraryError.find("DISPLAY environment variable") != std::string::npos;
}

std::string Glfw::lastError() {
    const char* description = nullptr;
    glfwGetError(&description);
    return description ? description : "";
}

bool Glfw::isInitialized() {
    return initialized;
}

bool Glfw::openWindow(int width, int height, bool fullscreen, bool visible) {
    glfwDefaultWindowHints();
    glfwWindowHint(GLFW_CLIENT_API, GLFW_OPENGL_API);
    glfwWindowHint(GLFW_CONTEXT_CREATION_API, GLFW_NATIVE_CONTEXT_API);
    glfwWindowHint(GLFW_DEPTH_BITS, 24);
    glfwWindowHint(GLFW_STENCIL_BITS, 8);
    glfwWindowHint(GLFW_VISIBLE, visible ? GLFW_TRUE : GLFW_FALSE);
    GLFWmonitor* monitor = fullscreen ? glfwGetPrimaryMonitor() : nullptr;
    window = glfwCreateWindow(width, height, "Vorn", monitor, nullptr);
    if (!window) {
        return false;
    }
    glfwMakeContextCurrent(window);
    installEventHandlers(window);
    double x = 0.0;
    double y = 0.0;
    glfwGetCursorPos(window, &x, &y);
    input.mouseX = static_cast<int>(x);
    input.mouseY = static_cast<int>(y);
    if (fullscreen) {
        hideCursor();
    }
    return true;
}

bool Glfw::isWindowOpen() {
    return window && !glfwWindowShouldClose(window);
}

void Glfw::setWindowTitle(const std::string& title) {
    if (window) {
        glfwSetWindowTitle(window, title.c_str());
    }
}

void Glfw::getWindowSize(int& width, int& height) {
    width = 0;
    height = 0;
    if (window) {
        glfwGetWindowSize(window, &width, &height);
    }
}

bool Glfw::setWindowMode(int width, int height, bool fullscreen) {
    if (!window) {
        return false;
    }
    GLFWmonitor* monitor = fullscreen ? glfwGetPrimaryMonitor() : nullptr;
    const GLFWvidmode* mode = monitor ? glfwGetVideoMode(monitor) : nullptr;
    glfwSetWindowMonitor(window, monitor, 0, 0, width, height, mode ? mode->refreshRate : GLFW_DONT_CARE);
    // The window system answers a resize with an event: wait for it, so the next frame
    // is laid out for the new size.
    for (int wait = 0; wait < 50; ++wait) {
        int now[2] = {0, 0};
        glfwGetWindowSize(window, &now[0], &now[1]);
        if (now[0] == width && now[1] == height) {
            break;
        }
        glfwWaitEventsTimeout(0.01);
    }
    if (fullscreen) {
        hideCursor();
    }
    return true;
}

bool Glfw::isFullscreen() {
    return window && glfwGetWindowMonitor(window) != nullptr;
}

std::vector<std::pair<int, int>> Glfw::videoModes() {
    std::vector<std::pair<int, int>> sizes;
    GLFWmonitor* monitor = initialized ? glfwGetPrimaryMonitor() : nullptr;
    int count = 0;
    const GLFWvidmode* modes = monitor ? glfwGetVideoModes(monitor, &count) : nullptr;
    for (int i = 0; modes && i < count; ++i) {
        const std::pair<int, int> size{modes[i].width, modes[i].height};
        if (std::find(sizes.begin(), sizes.end(), size) == sizes.end()) {
            sizes.push_back(size);
        }
    }
    std::sort(sizes.begin(), sizes.end());
    return sizes;
}

void Glfw::setSwapInterval(int interval) {
    glfwSwapInterval(interval);
}

void Glfw::swapBuffers() {
    if (window) {
        glfwSwapBuffers(window);
        glfwPollEvents();
        pollGamepad();
    }
}

// The first joystick the library has a gamepad mapping for.
void Glfw::pollGamepad() {
    if (input.gamepadDelivered || !deviceInput) {
        return;
    }
    GamepadState state;
    for (int joystick = GLFW_JOYSTICK_1; joystick <= GLFW_JOYSTICK_LAST; ++joystick) {
        GLFWgamepadstate read;
        if (glfwJoystickIsGamepad(joystick) && glfwGetGamepadState(joystick, &read)) {
            state.connected = true;
            const char* name = glfwGetGamepadName(joystick);
            state.name = name ? name : "";
            for (int button = 0; button < GlfwKeys::GAMEPAD_BUTTON_COUNT; ++button) {
                state.buttons[button] = read.buttons[button] == GLFW_PRESS;
            }
            for (int axis = 0; axis < GlfwKeys::GAMEPAD_AXIS_COUNT; ++axis) {
                state.axes[axis] = read.axes[axis];
            }
            break;
        }
    }
    input.gamepad = state;
}

const Glfw::GamepadState& Glfw::getGamepad() {
    return input.gamepad;
}

void Glfw::deliverGamepad(const GamepadState& state) {
    input.gamepadDelivered = true;
    input.gamepad = state;
}

void Glfw::setKeyCallback(KeyCallback callback) {
    keyCallback = callback;
}

void Glfw::setMousePosCallback(MousePosCallback callback) {
    mousePosCallback = callback;
    if (mousePosCallback && window) {
        mousePosCallback(input.mouseX, input.mouseY);
    }
}

void Glfw::setMouseWheelCallback(MouseWheelCallback callback) {
    mouseWheelCallback = callback;
    if (mouseWheelCallback && window) {
        mouseWheelCallback(input.wheelPos);
    }
}

void Glfw::setFocusCallback(FocusCallback callback) {
    focusCallback = callback;
}

void Glfw::setMouseButtonCallback(MouseButtonCallback callback) {
    mouseButtonCallback = callback;
}

void Glfw::enableStickyKeys() {
    input.stickyKeys = true;
}

int Glfw::readSticky(int& state) {
    if (state == kStuck) {
        state = GlfwKeys::RELEASE;
        return GlfwKeys::PRESS;
    }
    return state;
}

int Glfw::getKey(int key) {
    if (!isWindowOpen() || key < 0 || key > GlfwKeys::KEY_LAST) {
        return GlfwKeys::RELEASE;
    }
    return readSticky(input.keys[key]);
}

int Glfw::getMouseButton(int button) {
    if (!isWindowOpen() || button < 0 || button > GlfwKeys::MOUSE_BUTTON_LAST) {
        return GlfwKeys::RELEASE;
    }
    return readSticky(input.buttons[button]);
}

int Glfw::getMouseWheel() {
    return input.wheelPos;
}

void Glfw::getMousePos(int& x, int& y) {
    x = input.mouseX;
    y = input.mouseY;
}

void Glfw::hideCursor() {
    if (window) {
        glfwSetInputMode(window, GLFW_CURSOR, GLFW_CURSOR_DISABLED);
    }
    input.cursorHidden = true;
}

void Glfw::showCursor() {
    if (window) {
        glfwSetInputMode(window, GLFW_CURSOR, GLFW_CURSOR_NORMAL);
    }
    input.cursorHidden = false;
}

bool Glfw::isCursorHidden() {
    return input.cursorHidden;
}

void Glfw::recordPress(int& state, int action) {
    if (action == GlfwKeys::PRESS) {
        state = GlfwKeys::PRESS;
    } else if (state == GlfwKeys::PRESS && input.stickyKeys) {
        state = kStuck;
    } else {
        state = GlfwKeys::RELEASE;
    }
}

void Glfw::deliverKey(int libraryKey, int action) {
    const int key = translateKey(libraryKey);
    if (key == GlfwKeys::KEY_UNKNOWN || action == GLFW_REPEAT) {
        return;
    }
    recordPress(input.keys[key], action);
    if (keyCallback) {
        keyCallback(key, action);
    }
}

void Glfw::deliverMouseButton(int button, int action) {
    if (button >= 0 && button <= GlfwKeys::MOUSE_BUTTON_LAST) {
        recordPress(input.buttons[button], action);
        if (mouseButtonCallback) {
            mouseButtonCallback(button, action);
        }
    }
}

void Glfw::acceptDeviceInput(bool accept) {
    deviceInput = accept;
}

void Glfw::deliverCursorPos(double x, double y) {
    input.mouseX = static_cast<int>(std::floor(x));
    input.mouseY = static_cast<int>(std::floor(y));
    if (mousePosCallback) {
        mousePosCallback(input.mouseX, input.mouseY);
    }
}

void Glfw::deliverFocus(bool focused) {
    if (focusCallback) {
        focusCallback(focused);
    }
}

// Smooth-scrolling devices send fractions; the position moves in whole notches.
void Glfw::deliverScroll(double yOffset) {
    input.scrollTotal += yOffset;
    const int position = static_cast<int>(std::floor(input.scrollTotal));
    if (position == input.wheelPos) {
        return;
    }
    input.wheelPos = position;
    if (mouseWheelCallback) {
        mouseWheelCallback(input.wheelPos);
    }
}
