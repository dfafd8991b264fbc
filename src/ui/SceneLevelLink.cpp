#include "ui/SceneLevelLink.h"

#include "game/MainChar.h"
#include "game/SaveStateManager.h"
#include "scene/OgreScene.h"
#include "scene/SceneManager.h"

namespace {

// Null while no level is current, or before there is a level manager at all.
OgreScene* currentScene() {
    SceneManager* levels = SceneManager::existingInstance();
    return levels ? levels->getCurrentScene() : nullptr;
}

} // namespace

void SceneLevelLink::pauseCurrentLevel() {
    if (OgreScene* level = currentScene()) {
        level->stop();
    }
}

void SceneLevelLink::resumeCurrentLevel() {
    if (OgreScene* level = currentScene()) {
        level->play();
    }
}

// The running physics step is dropped before the reset, so it cannot move the
// objects again once they are back at their start.
void SceneLevelLink::leaveCurrentLevel() {
    SceneManager* levels = SceneManager::existingInstance();
    if (!levels) {
        return;
    }
    OgreScene* level = levels->getCurrentScene();
    if (level) {
        level->stop();
    }
    levels->setCurrentLevel(-1);
    if (level) {
        level->reset();
    }
}

void SceneLevelLink::startNewGame() {
    if (SaveStateManager* saves = SaveStateManager::existingInstance()) {
        saves->clear();
    }
}

int SceneLevelLink::levelCount() {
    SceneManager* levels = SceneManager::getInstance();
    return levels ? levels->getLevelCount() : 0;
}

std::string SceneLevelLink::levelName(int index) {
    SceneManager* levels = SceneManager::getInstance();
    return levels ? levels->getLevelName(index) : "Level " + std::to_string(index + 1);
}

std::optional<int> SceneLevelLink::levelParTime(int index) {
    SceneManager* levels = SceneManager::getInstance();
    return levels ? levels->getParTime(index) : std::nullopt;
}

// A level already in needs no worker; one that failed is tried again.
void SceneLevelLink::loadLevel(int index) {
    SceneManager* levels = SceneManager::getInstance();
    if (levels && levels->getLevelState(index) != SceneManager::LevelState::Loaded) {
        levels->loadScene(index);
    }
}

bool SceneLevelLink::enterLevel(int index) {
    SceneManager* levels = SceneManager::getInstance();
    return levels && levels->getLevelState(index) == SceneManager::LevelState::Loaded &&
           levels->setCurrentLevel(index);
}

std::string SceneLevelLink::levelError(int index) {
    SceneManager* levels = SceneManager::existingInstance();
    if (!levels || levels->getLevelState(index) != SceneManager::LevelState::Failed) {
        return "";
    }
    return levels->getLoadError(index);
}

// Only the level played and the one after it stay in memory. Without a level manager there
// is nothing to settle, and none is made for it.
void SceneLevelLink::settleAround(int index) {
    SceneManager* levels = SceneManager::existingInstance();
    if (!levels) {
        return;
    }
    for (int other = 0; other < levels->getLevelCount(); ++other) {
        if (other != index && other != index + 1) {
            levels->unloadScene(other);
        }
    }
    if (index + 1 < levels->getLevelCount()) {
        loadLevel(index + 1);
    }
}

// Without a snapshot the level starts over; the menu then switches to play.
void SceneLevelLink::respawn() {
    SaveStateManager* saves = SaveStateManager::getInstance();
    if (saves && saves->getCurrent()) {
        saves->loadSaveState();
        return;
    }
    if (OgreScene* level = currentScene()) {
        level->stop();
        level->reset();
    }
}

std::optional<LevelLink::Gauges> SceneLevelLink::mainCharGauges() {
    const MainChar* mainChar = MainChar::current();
    if (!mainChar) {
        return std::nullopt;
    }
    return Gauges{mainChar->energy, mainChar->turboLevel};
}

bool SceneLevelLink::checkpointReached() {
    const SaveStateManager* saves = SaveStateManager::existingInstance();
    return saves && saves->getCurrent();
}
