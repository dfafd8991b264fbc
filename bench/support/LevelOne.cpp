#include "LevelOne.h"

#include "game/GameObjects.h"
#include "scene/OgreLoader.h"
#include "render/TextureLoader.h"
#include "scene/OgreScene.h"
#include "scene/PhysicsManager.h"
#include "scene/SceneManager.h"
#include "audio/SoundManager.h"

LevelOne::LevelOne() {
    SoundManager::getInstance();
    installGame();
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

void LevelOne::installGame() {
    static GameObjects game;
    OgreLoader::getInstance()->setGameObjectFactory(&game);
}

void LevelOne::step() const {
    physics->fetchResults();
    level->update();
    physics->startStep();
}
