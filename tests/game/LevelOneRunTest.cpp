#include <GLFW/glfw3.h>
#include <gtest/gtest.h>

#include <filesystem>

#include "ChildProcess.h"
#include "app/ConfigManager.h"
#include "app/StateManager.h"
#include "app/TimeManager.h"
#include "app/Window.h"
#include "game/MainChar.h"
#include "game/SaveStateManager.h"
#include "model/OgreLoader.h"
#include "physics/PhysicsActor.h"
#include "platform/Glfw.h"
#include "render/LightManager.h"
#include "render/TextureLoader.h"
#include "scene/OgreScene.h"
#include "scene/PhysicsManager.h"
#include "scene/SceneManager.h"
#include "ui/HUD.h"
#include "ui/SoundManager.h"

namespace {

class LevelOneRunTest : public ::testing::Test {
protected:
    LevelOneRunTest() : previous(std::filesystem::current_path()) {
        std::filesystem::current_path(game.root() / "bin");
    }
    ~LevelOneRunTest() override {
        PhysicsManager::getInstance()->setCurrentScene(nullptr, false);
        Glfw::terminate();
        SaveStateManager::destroy();
        HUD::destroy();
        SceneManager::destroy();
        PhysicsManager::destroy();
        OgreLoader::destroy();
        TextureLoader::destroy();
        SoundManager::destroy();
        LightManager::destroy();
        TimeManager::destroy();
        StateManager::destroy();
        ConfigManager::destroy();
        std::filesystem::current_path(previous);
    }

    GameCopy game;
    std::filesystem::path previous;
};

// W held all the way; Space held for three steps just before the first gap.
TEST_F(LevelOneRunTest, AFixedRunOfControlsRollsTheBallFromItsStartOntoTheFirstCheckpointWhichSaves) {
    ASSERT_TRUE(Glfw::init());
    ASSERT_TRUE(Glfw::openWindow(640, 480, false, false));
    Glfw::enableStickyKeys();
    SceneManager* levels = SceneManager::getInstance();
    ASSERT_TRUE(levels->loadSceneBlocking(levels->getPath(0))) << levels->getLoadError(0);
    ASSERT_TRUE(levels->setCurrentLevel(0));
    StateManager::getInstance()->setState(IN_GAME);
    MainChar& ball = *levels->getMainChar();
    PhysicsManager* physics = PhysicsManager::getInstance();
    const SaveStateManager& saves = *SaveStateManager::getInstance();
    Glfw::deliverKey(GLFW_KEY_W, GLFW_PRESS);
    int step = 0;
    for (; step < 600 && saves.getAll().empty(); ++step) {
        if (step == 242) {
            Glfw::deliverKey(GLFW_KEY_SPACE, GLFW_PRESS);
        } else if (step == 245) {
            Glfw::deliverKey(GLFW_KEY_SPACE, GLFW_RELEASE);
        }
        physics->fetchResults();
        levels->getCurrentScene()->update();
        pollControls();
        physics->startStep();
    }
    Glfw::deliverKey(GLFW_KEY_W, GLFW_RELEASE);
    ASSERT_EQ(saves.getAll().size(), 1u) << "no checkpoint reached in " << step << " steps";
    EXPECT_EQ(StateManager::getInstance()->getState(), IN_GAME);
    EXPECT_TRUE(ball.onCheckPoint);
    const PhysicsVec3 at = ball.getActor()->getGlobalPosition();
    EXPECT_LT((Vector3{at.x, 0.0f, at.z} - Vector3{16.0f, 0.0f, -329.0f}).length(), 4.0f)
        << "on the pad of A41_Checkpoint1";
    const Matrix44& respawn = saves.getCurrent()->records.at("A00_Ball")->modelMatrix;
    EXPECT_FLOAT_EQ(respawn.at(1, 3), 26.0f + 5.0f) << "five above the checkpoint";
    ASSERT_EQ(HUD::getInstance()->messages.size(), 1u);
    EXPECT_EQ(HUD::getInstance()->messages.front().text, "Game saved");
}

} // namespace
