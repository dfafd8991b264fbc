#include <GL/glew.h>
#include <gtest/gtest.h>

#include "LevelFixture.h"
#include "audio/SoundManager.h"
#include "core/StateManager.h"
#include "core/TimeManager.h"
#include "game/CheckPoint.h"
#include "game/MainChar.h"
#include "game/SaveStateManager.h"
#include "physics/PhysicsActor.h"
#include "platform/Glfw.h"
#include "platform/GlfwKeys.h"
#include "render/TextureLoader.h"
#include "scene/OgreScene.h"
#include "scene/OgreSceneEntity.h"
#include "scene/PhysicsManager.h"
#include "scene/SceneManager.h"
#include "ui/LevelLink.h"
#include "ui/Menu.h"
#include "ui/MenuManager.h"

namespace {

// The menus and the state changes over the real level manager: a level with a
// ball and a buzzing object whose sound plays only while the level is played.
// The loading screen uploads the level's textures, so there is a hidden window.
class LevelLinkTest : public LevelFixture {
protected:
    void SetUp() override {
        ASSERT_TRUE(Glfw::init()) << Glfw::lastError();
        ASSERT_TRUE(Glfw::openWindow(320, 240, false, false));
        glewExperimental = GL_TRUE;
        ASSERT_EQ(glewInit(), static_cast<GLenum>(GLEW_OK));
        data.write("objectproperties.ini", std::string(kObjectProperties) +
                                               "\n[buzzing]\nactorType = static\n"
                                               "soundFilename = ../sounds/buzz.wav\n");
        writeSound("sounds/buzz.wav", 1.0f);
        writeLevel("one", playableNodes());
        writeLevel("two", standardNodes());
        MenuManager::getInstance();
        StateManager::getInstance()->setState(MAIN_MENU);
    }

    // The fixture drops the levels before the physics manager, whose last step would report to them.
    ~LevelLinkTest() override {
        if (SceneManager* levels = SceneManager::existingInstance()) {
            levels->setCurrentLevel(-1);
        }
        MenuManager::destroy();
        TimeManager::destroy();
        TextureLoader::destroy();
        Glfw::terminate();
    }

    std::vector<TestNode> playableNodes() const {
        std::vector<TestNode> nodes = standardNodes();
        nodes.push_back({"Buzz", "Buzz[buzzing]", "cube.mesh", 5.0f, 1.0f, 0.0f});
        return nodes;
    }

    static int state() { return StateManager::getInstance()->getState(); }
    static Menu* menu() { return MenuManager::getInstance()->getCurrentMenu(); }
    static void press(int key) { menu()->keyEvent(key, GlfwKeys::PRESS); }

    // Enter on the main menu's new game, then frames of the loading screen until it is left.
    void startNewGame() {
        ASSERT_EQ(state(), MAIN_MENU);
        press(GlfwKeys::KEY_ENTER);
        ASSERT_EQ(state(), LOADING);
        SceneManager::getInstance()->waitForLoads();
        menu()->update();
    }

    // Rolls the ball off its start for a second of play, as the frame does.
    void roll() {
        OgreScene* level = SceneManager::getInstance()->getCurrentScene();
        level->getMainChar()->getActor()->setLinearVelocity({4.0f, 0.0f, 0.0f});
        PhysicsManager* physics = PhysicsManager::getInstance();
        for (int i = 0; i < 60; ++i) {
            physics->fetchResults();
            level->update();
            physics->startStep();
        }
        ASSERT_GT(ballX(), 1.0f);
    }

    static float ballX() {
        return SceneManager::getInstance()->getScene(0)->getMainChar()->getActor()->getGlobalPosition().x;
    }

    static bool buzzing() {
        const OgreScene* level = SceneManager::getInstance()->getScene(0);
        return level->nodes.at("Buzz")->entity->model->soundSource->isPlaying();
    }
};

TEST_F(LevelLinkTest, NewGamePauseAndBackToTheMainMenu) {
    startNewGame();
    ASSERT_EQ(state(), IN_GAME);
    SceneManager* levels = SceneManager::getInstance();
    EXPECT_EQ(levels->getCurrentLevel(), 0);
    EXPECT_EQ(PhysicsManager::getInstance()->getCurrentScene(), levels->getScene(0)->getPhysicsScene());
    EXPECT_TRUE(buzzing());
    roll();

    StateManager::getInstance()->setState(PAUSED);
    EXPECT_FALSE(buzzing());
    press(GlfwKeys::KEY_ESC);
    EXPECT_EQ(state(), IN_GAME);
    EXPECT_TRUE(buzzing());

    StateManager::getInstance()->setState(PAUSED);
    press(GlfwKeys::KEY_DOWN);
    press(GlfwKeys::KEY_ENTER);
    ASSERT_EQ(state(), MAIN_MENU);
    EXPECT_EQ(levels->getCurrentLevel(), -1);
    EXPECT_EQ(PhysicsManager::getInstance()->getCurrentScene(), nullptr);
    EXPECT_FALSE(buzzing());
    EXPECT_FLOAT_EQ(ballX(), 0.0f) << "the level is back at its start";

    // The level is kept: the next game starts at once, without loading it again.
    startNewGame();
    EXPECT_EQ(state(), IN_GAME);
    EXPECT_EQ(log.count("INFO", "Loading Scene:../levels/one/one.scene"), 1);
    EXPECT_TRUE(buzzing());
}

TEST_F(LevelLinkTest, AFirstLevelThatCannotBePlayedSendsThePlayerBackAndIsTriedAgain) {
    writeLevel("one", {{"Floor", "Floor[floor]", "floor.mesh"}});
    startNewGame();
    ASSERT_EQ(state(), MAIN_MENU);
    EXPECT_NE(LevelLink::get().levelError(0).find("no main character"), std::string::npos);
    EXPECT_EQ(SceneManager::getInstance()->getCurrentLevel(), -1);

    writeLevel("one", playableNodes());
    startNewGame();
    EXPECT_EQ(state(), IN_GAME);
    EXPECT_EQ(LevelLink::get().levelError(0), "");
    EXPECT_EQ(log.count("INFO", "Loading Scene:../levels/one/one.scene"), 2);
}

// Without a snapshot, respawn plays the level again from its start.
TEST_F(LevelLinkTest, RespawnWithoutASnapshotRestartsTheLevel) {
    startNewGame();
    ASSERT_EQ(state(), IN_GAME);
    roll();
    MainChar* ball = MainChar::current();
    ball->energy = 0.0f;
    StateManager::getInstance()->setState(GAME_OVER);
    EXPECT_FALSE(buzzing());

    press(GlfwKeys::KEY_ENTER);
    EXPECT_EQ(state(), IN_GAME);
    EXPECT_EQ(SceneManager::getInstance()->getCurrentLevel(), 0);
    EXPECT_FLOAT_EQ(ballX(), 0.0f);
    EXPECT_FLOAT_EQ(ball->energy, 1.0f) << "not straight back to game over";
    EXPECT_TRUE(buzzing());
}

// The last game's checkpoint, items and flags are not the new game's.
TEST_F(LevelLinkTest, ANewGameRespawnsAtItsOwnStartNotAtTheLastGamesCheckpoint) {
    startNewGame();
    OgreScene* level = SceneManager::getInstance()->getCurrentScene();
    SaveStateManager::getInstance()->createSaveState(
        dynamic_cast<CheckPoint*>(level->nodes.at("Pad")->entity->model));
    StateManager::getInstance()->setState(PAUSED);
    press(GlfwKeys::KEY_DOWN);
    press(GlfwKeys::KEY_ENTER);
    ASSERT_EQ(state(), MAIN_MENU);

    startNewGame();
    EXPECT_TRUE(SaveStateManager::getInstance()->getAll().empty());
    MainChar::current()->setEnergy(0.0f);
    ASSERT_EQ(state(), GAME_OVER);
    press(GlfwKeys::KEY_ENTER);
    EXPECT_EQ(state(), IN_GAME);
    EXPECT_FLOAT_EQ(ballX(), 0.0f) << "at the start, not above the last game's checkpoint";
}

// Paused with the ball in the fog: the step in flight would end the game. It is
// dropped, and the main menu chosen from the pause is the main menu.
TEST_F(LevelLinkTest, PausingDropsTheStepInFlightAndTheMainMenuStaysTheMainMenu) {
    startNewGame();
    PhysicsActor* ball = MainChar::current()->getActor();
    ball->setGlobalPosition({10.0f, 1.0f, -10.0f});
    ASSERT_TRUE(PhysicsManager::getInstance()->isSimulating());
    StateManager::getInstance()->setState(PAUSED);
    EXPECT_FALSE(PhysicsManager::getInstance()->isSimulating());
    EXPECT_EQ(ball->getGlobalPosition().x, 10.0f);

    press(GlfwKeys::KEY_DOWN);
    press(GlfwKeys::KEY_ENTER);
    EXPECT_EQ(state(), MAIN_MENU);
    EXPECT_EQ(menu(), MenuManager::getInstance()->menuOf(MAIN_MENU));
    press(GlfwKeys::KEY_ENTER);
    EXPECT_EQ(state(), LOADING) << "its items work";
}

} // namespace
