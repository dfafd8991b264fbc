#include "ui/MainMenu.h"

#include "app/GameState.h"
#include "ui/LevelLink.h"

MainMenu::MainMenu() : ChoiceMenu({kNew, kNewHighlighted}, {kExit, kExitHighlighted}) {}

void MainMenu::enter() {
    LevelLink::get().leaveCurrentLevel();
    selection = 0;
}

void MainMenu::choose() {
    if (selection == 0) {
        changeState(LOADING);
        playSound(kStartGameSound);
    } else {
        changeState(EXIT);
        playClick2();
    }
}

void MainMenu::escape() {
    changeState(EXIT);
    playClick2();
}
