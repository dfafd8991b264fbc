#include "ui/GameoverMenu.h"

#include "core/GameState.h"
#include "ui/LevelLink.h"

GameoverMenu::GameoverMenu()
    : ChoiceMenu({{kRespawn, kRespawnHighlighted}, {kMainMenu, kMainMenuHighlighted}}) {}

void GameoverMenu::enter() {
    selection = 0;
    playSound(kGameOverSound);
}

void GameoverMenu::choose() {
    if (selection == 0) {
        LevelLink::get().respawn();
        changeState(IN_GAME);
    } else {
        changeState(MAIN_MENU);
    }
    playClick2();
}

void GameoverMenu::escape() {
    changeState(MAIN_MENU);
    playClick2();
}
