#include "GameFixture.h"

#include <AL/al.h>

#include "audio/SoundManager.h"
#include "core/StateManager.h"
#include "core/TimeManager.h"
#include "game/Camera.h"
#include "game/MainChar.h"
#include "game/PlaySteps.h"
#include "game/SaveStateManager.h"
#include "physics/PhysicsActor.h"
#include "scene/OgreScene.h"
#include "scene/PhysicsManager.h"
#include "scene/SceneManager.h"
#include "ui/HUD.h"

GameTest::GameTest() {
    std::string properties = kObjectProperties;
    properties.insert(properties.find("[mainChar]\n") + 11, "soundFilename = ../sounds/fire.wav\n");
    data.write("objectproperties.ini", properties);
    data.write("sound.ini",
               "[Common]\ncheckpoint = ../sounds/checkpoint.wav\npowerpickup = ../sounds/power.wav\n");
    for (const char* sound : {"sounds/fire.wav", "sounds/checkpoint.wav", "sounds/power.wav"}) {
        writeSound(sound, 1.0f);
    }
    TimeManager* time = TimeManager::getInstance();
    time->setClock([this] { return clock; });
    time->update();
    time->startTime = clock;
    SaveStateManager::getInstance()->showMessage = [](const std::string& text) {
        HUD::getInstance()->showMessage(text);
    };
}

// The step in flight is dropped while its objects still exist.
GameTest::~GameTest() {
    if (PhysicsManager* physics = PhysicsManager::existingInstance()) {
        physics->setCurrentScene(nullptr, false);
    }
    HUD::destroy();
    Camera::destroy();
    SceneManager::destroy();
    TimeManager::destroy();
}

void GameTest::play(const std::vector<TestNode>& nodes) {
    const std::string path = writeLevel("one", nodes);
    SceneManager* levels = SceneManager::getInstance();
    ASSERT_TRUE(levels->loadSceneBlocking(path)) << levels->getLoadError(0);
    ASSERT_TRUE(levels->setCurrentLevel(0));
    scene = levels->getCurrentScene();
    ball = MainChar::of(scene);
    StateManager::getInstance()->setState(IN_GAME);
}

void GameTest::run(int steps) {
    PlaySteps(controls).run(steps);
}

void GameTest::tick(int milliseconds) {
    clock += milliseconds;
    TimeManager::getInstance()->update();
}

OgreModel* GameTest::object(const std::string& node) const {
    return scene->nodes.at(node)->entity->model;
}

void GameTest::putBall(float x, float y, float z) {
    ball->getActor()->setGlobalPosition({x, y, z});
    ball->getActor()->setLinearVelocity({});
    ball->getActor()->setAngularVelocity({});
}

int GameTest::playing(const std::string& file) {
    const ALuint buffer = SoundManager::getInstance()->getBuffer(file);
    int count = 0;
    for (const SoundSource* source : SoundManager::getInstance()->getAllSources()) {
        ALint attached = 0;
        alGetSourcei(source->getSource(), AL_BUFFER, &attached);
        count += source->isPlaying() && static_cast<ALuint>(attached) == buffer ? 1 : 0;
    }
    return count;
}

int GameTest::messagesSaying(const std::string& text) {
    int count = 0;
    for (const HUD::Message& message : HUD::getInstance()->messages) {
        count += message.text == text ? 1 : 0;
    }
    return count;
}
