#include "app/StateManager.h"

#include "app/RunFigures.h"
#include "app/TimeManager.h"
#include "ui/LevelLink.h"
#include "ui/MenuManager.h"
#include "ui/SoundManager.h"

namespace {

// A game paused by its key must not carry its pause into the next one.
void releaseTimePause() {
    TimeManager* time = TimeManager::existingInstance();
    if (!time || !time->paused) {
        return;
    }
    time->paused = false;
    if (SoundManager* sounds = SoundManager::existingInstance()) {
        sounds->pauseSounds(false);
    }
}

} // namespace

void StateManager::setState(int newState) {
    if (newState == state) {
        return;
    }
    if (newState == MAIN_MENU) {
        releaseTimePause();
    }
    if (newState == GAME_OVER) {
        RunFigures::get().addDeath();
    }
    if (MenuManager* menus = MenuManager::existingInstance()) {
        menus->setState(newState);
    }
    if (state == IN_GAME) {
        LevelLink::get().pauseCurrentLevel();
    }
    if (newState == IN_GAME) {
        LevelLink::get().resumeCurrentLevel();
    }
    state = newState;
}
