#include "ui/PauseMenu.h"

#include "core/GameState.h"

PauseMenu::PauseMenu() : ChoiceMenu({{kContinue, kContinueHighlighted}, {kMainMenu, kMainMenuHighlighted}}) {}

void PauseMenu::enter() {
    selection = 0;
    playClick2();
}

void PauseMenu::choose() {
    changeState(selection == 0 ? IN_GAME : MAIN_MENU);
    playClick2();
}

void PauseMenu::escape() {
    changeState(IN_GAME);
    playClick2();
}
