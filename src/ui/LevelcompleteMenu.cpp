#include "ui/LevelcompleteMenu.h"

#include "core/StateManager.h"
#include "platform/GlfwKeys.h"
#include "ui/Ortho.h"

using namespace GlfwKeys;

void LevelcompleteMenu::render() {
    const Layout layout;
    drawBackground();
    const float height = static_cast<float>(Ortho::windowSize().height);
    drawCentred(kLogo, fittedSize(kLogo, 0.55f), 0.0f);
    drawCentred(kComplete, fittedSize(kComplete, 0.2f), 0.65f * height);
    drawCentred(kMainMenuHighlighted, fittedSize(kMainMenuHighlighted, 0.06f), 0.9f * height);
}

void LevelcompleteMenu::enter() {
    playSound(kGameWinSound);
}

void LevelcompleteMenu::keyEvent(int key, int action) {
    if (action != PRESS || (key != KEY_ENTER && key != KEY_KP_ENTER)) {
        return;
    }
    changeState(MAIN_MENU);
    playClick2();
}
