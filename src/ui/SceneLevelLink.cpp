#include "ui/SceneLevelLink.h"

#include "game/MainChar.h"
#include "game/SaveStateManager.h"
#include "scene/OgreScene.h"
#include "scene/SceneManager.h"

// Pausing, resuming, leaving and loading the first level are not wired to the
// level manager yet.

void SceneLevelLink::pauseCurrentLevel() {}

void SceneLevelLink::resumeCurrentLevel() {}

void SceneLevelLink::leaveCurrentLevel() {}

void SceneLevelLink::loadFirstLevel() {}

bool SceneLevelLink::enterFirstLevel() {
    return false;
}

// Without a snapshot the level starts over; the menu then switches to play.
void SceneLevelLink::respawn() {
    SaveStateManager* saves = SaveStateManager::getInstance();
    if (saves && saves->getCurrent()) {
        saves->loadSaveState();
        return;
    }
    SceneManager* levels = SceneManager::existingInstance();
    if (OgreScene* level = levels ? levels->getCurrentScene() : nullptr) {
        level->stop();
        level->reset();
    }
}

std::optional<LevelLink::Gauges> SceneLevelLink::mainCharGauges() {
    SceneManager* levels = SceneManager::existingInstance();
    const MainChar* mainChar = levels ? levels->getMainChar() : nullptr;
    if (!mainChar) {
        return std::nullopt;
    }
    return Gauges{mainChar->energy, mainChar->turboLevel};
}
