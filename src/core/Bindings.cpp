#include "core/Bindings.h"

#include "platform/Glfw.h"
#include "platform/GlfwKeys.h"

using namespace GlfwKeys;

namespace {

struct ActionInfo {
    const char* name;
    const char* setting;
    int code;
};

constexpr std::array<ActionInfo, Bindings::kActionCount> kActions = {{
    {"Roll forward", "rollforward", 'W'},
    {"Roll back", "rollback", 'S'},
    {"Roll left", "rollleft", 'A'},
    {"Roll right", "rollright", 'D'},
    {"Jump", "jump", KEY_SPACE},
    {"Boost", "boost", Bindings::kMouseButton + MOUSE_BUTTON_LEFT},
    {"Brake", "brake", Bindings::kMouseButton + MOUSE_BUTTON_RIGHT},
    {"Fire on/off", "fire", '4'},
    {"Respawn", "respawn", '5'},
    {"Pause", "pause", KEY_ESC},
    {"Screenshot", "screenshot", '1'},
}};

const char* specialKeyName(int code) {
    switch (code) {
    case KEY_SPACE:
        return "Space";
    case KEY_ESC:
        return "Escape";
    case KEY_UP:
        return "Up";
    case KEY_DOWN:
        return "Down";
    case KEY_LEFT:
        return "Left";
    case KEY_RIGHT:
        return "Right";
    case KEY_LSHIFT:
        return "Left Shift";
    case KEY_RSHIFT:
        return "Right Shift";
    case KEY_LCTRL:
        return "Left Ctrl";
    case KEY_RCTRL:
        return "Right Ctrl";
    case KEY_LALT:
        return "Left Alt";
    case KEY_RALT:
        return "Right Alt";
    case KEY_TAB:
        return "Tab";
    case KEY_ENTER:
        return "Enter";
    case KEY_BACKSPACE:
        return "Backspace";
    case KEY_INSERT:
        return "Insert";
    case KEY_DEL:
        return "Delete";
    case KEY_PAGEUP:
        return "Page Up";
    case KEY_PAGEDOWN:
        return "Page Down";
    case KEY_HOME:
        return "Home";
    case KEY_END:
        return "End";
    default:
        return nullptr;
    }
}

} // namespace

Bindings::Bindings() {
    resetToDefaults();
}

void Bindings::resetToDefaults() {
    for (int action = 0; action < kActionCount; ++action) {
        codes[action] = kActions[action].code;
    }
}

std::optional<Bindings::Action> Bindings::actionOf(int code) const {
    for (int action = 0; action < kActionCount; ++action) {
        if (codes[action] == code) {
            return static_cast<Action>(action);
        }
    }
    return std::nullopt;
}

std::optional<Bindings::Action> Bindings::bind(Action action, int code) {
    const std::optional<Action> holder = actionOf(code);
    if (holder && *holder != action) {
        return holder;
    }
    codes[action] = code;
    return std::nullopt;
}

bool Bindings::held(Action action) const {
    const int code = codes[action];
    if (code >= kMouseButton) {
        return Glfw::getMouseButton(code - kMouseButton) == PRESS;
    }
    return Glfw::getKey(code) == PRESS;
}

const char* Bindings::nameOf(Action action) {
    return kActions[action].name;
}

const char* Bindings::settingOf(Action action) {
    return kActions[action].setting;
}

bool Bindings::isValidCode(int code) {
    if (code >= kMouseButton) {
        return code - kMouseButton <= MOUSE_BUTTON_LAST;
    }
    return code >= KEY_SPACE && code <= KEY_LAST;
}

std::string Bindings::nameOfCode(int code) {
    if (code >= kMouseButton) {
        static const char* const buttons[] = {"Left mouse", "Right mouse", "Middle mouse"};
        const int button = code - kMouseButton;
        return button < 3 ? buttons[button] : "Mouse " + std::to_string(button + 1);
    }
    if (const char* name = specialKeyName(code)) {
        return name;
    }
    if (code > KEY_SPACE && code < KEY_SPECIAL) {
        return std::string(1, static_cast<char>(code));
    }
    if (code >= KEY_F1 && code <= KEY_F25) {
        return "F" + std::to_string(code - KEY_F1 + 1);
    }
    if (code >= KEY_KP_0 && code <= KEY_KP_9) {
        return "Keypad " + std::to_string(code - KEY_KP_0);
    }
    return "Key " + std::to_string(code);
}
