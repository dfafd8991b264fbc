#pragma once

// The key and button codes the game speaks: printable keys are their upper-case
// character codes, special keys start at 256. Actions are 1 for press, 0 for release.
namespace GlfwKeys {

constexpr int RELEASE = 0;
constexpr int PRESS = 1;

constexpr int KEY_UNKNOWN = -1;
constexpr int KEY_SPACE = 32;
constexpr int KEY_SPECIAL = 256;
constexpr int KEY_ESC = KEY_SPECIAL + 1;
constexpr int KEY_F1 = KEY_SPECIAL + 2;
constexpr int KEY_F2 = KEY_SPECIAL + 3;
constexpr int KEY_F3 = KEY_SPECIAL + 4;
constexpr int KEY_F4 = KEY_SPECIAL + 5;
constexpr int KEY_F5 = KEY_SPECIAL + 6;
constexpr int KEY_F6 = KEY_SPECIAL + 7;
constexpr int KEY_F7 = KEY_SPECIAL + 8;
constexpr int KEY_F8 = KEY_SPECIAL + 9;
constexpr int KEY_F9 = KEY_SPECIAL + 10;
constexpr int KEY_F25 = KEY_SPECIAL + 26;
constexpr int KEY_UP = KEY_SPECIAL + 27;
constexpr int KEY_DOWN = KEY_SPECIAL + 28;
constexpr int KEY_LEFT = KEY_SPECIAL + 29;
constexpr int KEY_RIGHT = KEY_SPECIAL + 30;
constexpr int KEY_LSHIFT = KEY_SPECIAL + 31;
constexpr int KEY_RSHIFT = KEY_SPECIAL + 32;
constexpr int KEY_LCTRL = KEY_SPECIAL + 33;
constexpr int KEY_RCTRL = KEY_SPECIAL + 34;
constexpr int KEY_LALT = KEY_SPECIAL + 35;
constexpr int KEY_RALT = KEY_SPECIAL + 36;
constexpr int KEY_TAB = KEY_SPECIAL + 37;
constexpr int KEY_ENTER = KEY_SPECIAL + 38;
constexpr int KEY_BACKSPACE = KEY_SPECIAL + 39;
constexpr int KEY_INSERT = KEY_SPECIAL + 40;
constexpr int KEY_DEL = KEY_SPECIAL + 41;
constexpr int KEY_PAGEUP = KEY_SPECIAL + 42;
constexpr int KEY_PAGEDOWN = KEY_SPECIAL + 43;
constexpr int KEY_HOME = KEY_SPECIAL + 44;
constexpr int KEY_END = KEY_SPECIAL + 45;
constexpr int KEY_KP_0 = KEY_SPECIAL + 46;
constexpr int KEY_KP_9 = KEY_SPECIAL + 55;
constexpr int KEY_KP_DIVIDE = KEY_SPECIAL + 56;
constexpr int KEY_KP_MULTIPLY = KEY_SPECIAL + 57;
constexpr int KEY_KP_SUBTRACT = KEY_SPECIAL + 58;
constexpr int KEY_KP_ADD = KEY_SPECIAL + 59;
constexpr int KEY_KP_DECIMAL = KEY_SPECIAL + 60;
constexpr int KEY_KP_EQUAL = KEY_SPECIAL + 61;
constexpr int KEY_KP_ENTER = KEY_SPECIAL + 62;
constexpr int KEY_KP_NUM_LOCK = KEY_SPECIAL + 63;
constexpr int KEY_CAPS_LOCK = KEY_SPECIAL + 64;
constexpr int KEY_SCROLL_LOCK = KEY_SPECIAL + 65;
constexpr int KEY_PAUSE = KEY_SPECIAL + 66;
constexpr int KEY_LSUPER = KEY_SPECIAL + 67;
constexpr int KEY_RSUPER = KEY_SPECIAL + 68;
constexpr int KEY_MENU = KEY_SPECIAL + 69;
constexpr int KEY_LAST = KEY_MENU;

constexpr int MOUSE_BUTTON_LEFT = 0;
constexpr int MOUSE_BUTTON_RIGHT = 1;
constexpr int MOUSE_BUTTON_MIDDLE = 2;
constexpr int MOUSE_BUTTON_LAST = 7;

// Gamepad buttons and axes in the library's standard layout.
constexpr int GAMEPAD_A = 0;
constexpr int GAMEPAD_B = 1;
constexpr int GAMEPAD_X = 2;
constexpr int GAMEPAD_Y = 3;
constexpr int GAMEPAD_BACK = 6;
constexpr int GAMEPAD_START = 7;
constexpr int GAMEPAD_DPAD_UP = 11;
constexpr int GAMEPAD_DPAD_RIGHT = 12;
constexpr int GAMEPAD_DPAD_DOWN = 13;
constexpr int GAMEPAD_DPAD_LEFT = 14;
constexpr int GAMEPAD_BUTTON_COUNT = 15;

constexpr int GAMEPAD_LEFT_X = 0;
constexpr int GAMEPAD_LEFT_Y = 1; // down is positive
constexpr int GAMEPAD_RIGHT_X = 2;
constexpr int GAMEPAD_RIGHT_Y = 3;
constexpr int GAMEPAD_LEFT_TRIGGER = 4; // -1 released, 1 fully pressed
constexpr int GAMEPAD_RIGHT_TRIGGER = 5;
constexpr int GAMEPAD_AXIS_COUNT = 6;

} // namespace GlfwKeys
