#include "LevelOne.h"

#include "model/OgreLoader.h"
#include "render/TextureLoader.h"
#include "scene/OgreScene.h"
#include "scene/PhysicsManager.h"
#include "scene/SceneManager.h"
#include "ui/SoundManager.h"

LevelOne::LevelOne() {
    SoundManager::getInstance();
    SceneManager* levels = SceneManager::getInstance();
    if (levels->loadSceneBlocking(levels->getPath(0)) && levels->setCurrentLevel(0)) {
        level = levels->getCurrentScene();
        physics = PhysicsManager::getInstance();
    }
}

LevelOne::~LevelOne() {
    unload();
    SoundManager::destroy();
}

void LevelOne::unload() {
    SceneManager::destroy();
    PhysicsManager::destroy();
    OgreLoader::destroy();
    TextureLoader::destroy();
}

void LevelOne::step() const {
    physics->fetchResults();
    level->update();
    physics->startStep();
}
