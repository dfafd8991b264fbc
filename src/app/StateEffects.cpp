#include "app/StateEffects.h"

#include "app/RunFigures.h"
#include "audio/SoundManager.h"
#include "core/StateManager.h"
#include "core/TimeManager.h"
#include "scene/PhysicsManager.h"
#include "ui/LevelLink.h"
#include "ui/MenuManager.h"

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

namespace StateEffects {

void install(StateManager& states) {
    // First of all, so no menu or level effect meets a step still to come.
    states.addListener([](int oldState, int) {
        PhysicsManager* physics = PhysicsManager::existingInstance();
        if (oldState == IN_GAME && physics) {
            physics->dropStep();
        }
    });
    states.addListener([](int, int newState) {
        if (newState == MAIN_MENU) {
            releaseTimePause();
        }
        if (newState == GAME_OVER) {
            RunFigures::get().addDeath();
        }
    });
    states.addListener([](int, int newState) {
        if (MenuManager* menus = MenuManager::existingInstance()) {
            menus->setState(newState);
        }
    });
    states.addListener([](int oldState, int newState) {
        if (oldState == IN_GAME) {
            LevelLink::get().pauseCurrentLevel();
        }
        if (newState == IN_GAME) {
            LevelLink::get().resumeCurrentLevel();
        }
    });
}

} // namespace StateEffects
