#include "app/GamepadInput.h"

#include "app/Window.h"
#include "core/GameState.h"
#include "core/StateManager.h"
#include "game/Camera.h"
#include "game/Controls.h"
#include "ui/HUD.h"
#include "ui/Menu.h"
#include "ui/MenuManager.h"

using namespace GlfwKeys;

namespace {

Menu* currentMenu() {
    const MenuManager* menus = MenuManager::existingInstance();
    return menus ? menus->getCurrentMenu() : nullptr;
}

int state() {
    const StateManager* states = StateManager::existingInstance();
    return states ? states->getState() : EXIT;
}

void showMessage(const std::string& text) {
    if (HUD* hud = HUD::existingInstance()) {
        hud->showMessage(text);
    }
}

// A menu hears the gamepad as the keys that do the same.
void sendKey(int key) {
    if (Menu* menu = currentMenu()) {
        menu->keyEvent(key, PRESS);
    }
}

} // namespace

void GamepadInput::update(double frameMilliseconds) {
    const Glfw::GamepadState pad = Glfw::getGamepad();
    noticeConnection(pad);
    if (pad.connected) {
        if (currentMenu()) {
            navigateMenu(pad);
        } else if (state() == IN_GAME) {
            play(pad, frameMilliseconds);
        }
    }
    last = pad;
}

void GamepadInput::noticeConnection(const Glfw::GamepadState& pad) {
    if (pad.connected == last.connected) {
        return;
    }
    if (pad.connected) {
        showMessage("Gamepad connected" + (pad.name.empty() ? std::string() : ": " + pad.name));
        return;
    }
    showMessage("Gamepad disconnected");
    if (state() == IN_GAME) {
        StateManager::getInstance()->setState(PAUSED);
    }
}

bool GamepadInput::pressed(const Glfw::GamepadState& pad, int button) const {
    return pad.buttons[button] && !(last.connected && last.buttons[button]);
}

// -1 up, 1 down, 0 when the left stick is near the middle.
int GamepadInput::leanOf(const Glfw::GamepadState& pad) const {
    const float y = pad.axes[GAMEPAD_LEFT_Y];
    return y < -kMenuLean ? -1 : y > kMenuLean ? 1 : 0;
}

void GamepadInput::navigateMenu(const Glfw::GamepadState& pad) {
    const int lean = leanOf(pad);
    const int lastLean = last.connected ? leanOf(last) : 0;
    if (pressed(pad, GAMEPAD_DPAD_UP) || (lean == -1 && lastLean != -1)) {
        sendKey(KEY_UP);
    } else if (pressed(pad, GAMEPAD_DPAD_DOWN) || (lean == 1 && lastLean != 1)) {
        sendKey(KEY_DOWN);
    } else if (pressed(pad, GAMEPAD_DPAD_LEFT)) {
        sendKey(KEY_LEFT);
    } else if (pressed(pad, GAMEPAD_DPAD_RIGHT)) {
        sendKey(KEY_RIGHT);
    } else if (pressed(pad, GAMEPAD_A)) {
        sendKey(KEY_ENTER);
    } else if (pressed(pad, GAMEPAD_B) || pressed(pad, GAMEPAD_START)) {
        sendKey(KEY_ESC);
    }
}

void GamepadInput::play(const Glfw::GamepadState& pad, double frameMilliseconds) {
    if (pressed(pad, GAMEPAD_START)) {
        StateManager::getInstance()->setState(PAUSED);
        return;
    }
    float x = pad.axes[GAMEPAD_RIGHT_X];
    float y = pad.axes[GAMEPAD_RIGHT_Y];
    Controls::deadZone(x, y);
    if (x == 0.0f && y == 0.0f) {
        return;
    }
    const float pixels = kLookPixelsPerSecond * static_cast<float>(frameMilliseconds / 1000.0);
    Camera::getInstance()->turn(x * pixels, y * pixels);
}
