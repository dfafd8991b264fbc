#include "ui/PauseMenu.h"

#include "core/GameState.h"
#include "ui/MenuManager.h"

PauseMenu::PauseMenu()
    : ChoiceMenu({{kContinue, kContinueHighlighted},
                  {kMainMenu, kMainMenuHighlighted},
                  {kOptions, kOptionsHighlighted}}) {}

void PauseMenu::enter() {
    selection = 0;
    playClick2();
}

void PauseMenu::choose() {
    if (selection == kOptionsItem) {
        MenuManager::getInstance()->openOptions();
    } else {
        changeState(selection == kContinueItem ? IN_GAME : MAIN_MENU);
    }
    playClick2();
}

void PauseMenu::escape() {
    changeState(IN_GAME);
    playClick2();
}
