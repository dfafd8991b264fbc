#include "app/StateEffects.h"

#include "app/MouseLook.h"
#include "app/RunFigures.h"
#include "audio/SoundManager.h"
#include "core/StateManager.h"
#include "core/TimeManager.h"
#include "game/Camera.h"
#include "game/MainChar.h"
#include "scene/PhysicsManager.h"
#include "scene/SceneManager.h"
#include "ui/Campaign.h"
#include "ui/HUD.h"
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

// A new game starts with the camera behind the ball, looking the way the level leads
// on, and a new player gets the hint of the controls.
void startNewGame() {
    if (HUD* hud = HUD::existingInstance()) {
        hud->controlsHint.offer();
    }
    SceneManager* levels = SceneManager::existingInstance();
    const OgreScene* level = levels ? levels->getCurrentScene() : nullptr;
    Camera* camera = Camera::existingInstance();
    if (camera && level && MainChar::of(level)) {
        camera->lookAlong(MainChar::startHeadingOf(*level));
    }
}

} // namespace

namespace StateEffects {

void install(StateManager& states, std::function<bool()> watchingReplay) {
    // First of all, so no menu or level effect meets a step still to come.
    states.addListener([](int oldState, int) {
        PhysicsManager* physics = PhysicsManager::existingInstance();
        if (oldState == IN_GAME && physics) {
            physics->dropStep();
        }
    });
    states.addListener([watchingReplay](int oldState, int newState) {
        if (newState == MAIN_MENU) {
            releaseTimePause();
        }
        if (newState == GAME_OVER) {
            RunFigures::get().addDeath();
        }
        // Before the menu shows it: only a level finished in play counts.
        if (oldState == IN_GAME && newState == LEVEL_COMPLETE && !watchingReplay()) {
            Campaign::getInstance()->finish();
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
    states.addListener([](int oldState, int newState) {
        if (oldState == LOADING && newState == IN_GAME) {
            startNewGame();
            LevelLink::get().settleAround(Campaign::getInstance()->level());
        }
        MouseLook::stateEntered(newState);
    });
}

} // namespace StateEffects
