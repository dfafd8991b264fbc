#include "app/MouseLook.h"

#include "app/Window.h"
#include "core/StateManager.h"
#include "game/Camera.h"
#include "platform/Glfw.h"
#include "ui/HUD.h"

namespace {

bool inPlay() {
    const StateManager* states = StateManager::existingInstance();
    return states && states->getState() == IN_GAME;
}

// Freeing the cursor puts the pointer back where it was locked, far from where the
// locked pointer went: the camera takes the next position as a new start, not as a move.
void lock(bool locked) {
    if (locked == Glfw::isCursorHidden() && locked != windowState.cursorVisible) {
        return;
    }
    if (locked) {
        Glfw::hideCursor();
    } else {
        Glfw::showCursor();
    }
    windowState.cursorVisible = !locked;
    if (Camera* camera = Camera::existingInstance()) {
        camera->mouseSeen = false;
    }
}

void apply(bool playing) {
    lock(playing && windowState.windowFocused && windowState.mouseLookWanted);
}

} // namespace

namespace MouseLook {

void stateEntered(int state) {
    if (state == IN_GAME) {
        windowState.mouseLookWanted = true;
    }
    apply(state == IN_GAME);
}

void focusChanged(bool focused) {
    windowState.windowFocused = focused;
    apply(inPlay());
}

void toggle() {
    windowState.mouseLookWanted = windowState.cursorVisible;
    apply(inPlay());
    HUD::getInstance()->showMessage(windowState.cursorVisible ? "Mouse look: free" : "Mouse look: locked");
}

} // namespace MouseLook
