#include <GLFW/glfw3.h>
#include <gtest/gtest.h>

#include <filesystem>

#include "ChildProcess.h"
#include "GameFixture.h"
#include "core/StateManager.h"
#include "game/MainChar.h"
#include "game/SaveStateManager.h"
#include "physics/PhysicsActor.h"
#include "platform/Glfw.h"
#include "scene/OgreScene.h"
#include "scene/SceneManager.h"
#include "ui/HUD.h"

namespace {

// The generated first level, played from a copy of the game tree.
class LevelOneRunTest : public GameTest {
protected:
    LevelOneRunTest() : previous(std::filesystem::current_path()) {
        std::filesystem::current_path(game.root() / "bin");
    }
    ~LevelOneRunTest() override {
        Glfw::terminate();
        std::filesystem::current_path(previous);
    }

    GameCopy game;
    std::filesystem::path previous;
};

// W held until the checkpoint saves, Space held for a full jump just before the first gap; then
// the ball rolls out onto the pad.
TEST_F(LevelOneRunTest, AFixedRunOfControlsRollsTheBallFromItsStartOntoTheFirstCheckpointWhichSaves) {
    ASSERT_TRUE(Glfw::init());
    ASSERT_TRUE(Glfw::openWindow(640, 480, false, false));
    Glfw::enableStickyKeys();
    SceneManager* levels = SceneManager::getInstance();
    ASSERT_TRUE(levels->loadSceneBlocking(levels->getPath(0))) << levels->getLoadError(0);
    ASSERT_TRUE(levels->setCurrentLevel(0));
    StateManager::getInstance()->setState(IN_GAME);
    scene = levels->getCurrentScene();
    ball = MainChar::of(scene);
    const SaveStateManager& saves = *SaveStateManager::getInstance();
    Glfw::deliverKey(GLFW_KEY_W, GLFW_PRESS);
    int step = 0;
    for (; step < 1000 && saves.getAll().empty(); ++step) {
        if (step == 370) {
            Glfw::deliverKey(GLFW_KEY_SPACE, GLFW_PRESS);
        } else if (step == 382) {
            Glfw::deliverKey(GLFW_KEY_SPACE, GLFW_RELEASE);
        }
        run(1);
    }
    ASSERT_EQ(saves.getAll().size(), 1u) << "no checkpoint reached in " << step << " steps";
    Glfw::deliverKey(GLFW_KEY_W, GLFW_RELEASE);
    run(120);
    EXPECT_EQ(StateManager::getInstance()->getState(), IN_GAME);
    EXPECT_TRUE(ball->onCheckPoint);
    const PhysicsVec3 at = ball->getActor()->getGlobalPosition();
    EXPECT_LT((Vector3{at.x, 0.0f, at.z} - Vector3{16.0f, 0.0f, -329.0f}).length(), 4.0f)
        << "on the pad of A41_Checkpoint1";
    EXPECT_FLOAT_EQ(saves.getCurrent()->records.at("A00_Ball")->modelMatrix.at(1, 3), 26.0f + 5.0f)
        << "the respawn point is five above the checkpoint";
    EXPECT_EQ(messagesSaying("Game saved"), 1);
}

} // namespace
