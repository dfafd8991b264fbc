#include <GLFW/glfw3.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "FrameCapture.h"
#include "InProcessGame.h"
#include "app/Frame.h"
#include "app/Window.h"
#include "core/StateManager.h"
#include "core/TimeManager.h"
#include "game/Camera.h"
#include "game/MainChar.h"
#include "game/Route.h"
#include "game/SaveStateManager.h"
#include "physics/PhysicsActor.h"
#include "platform/Glfw.h"
#include "scene/OgreScene.h"
#include "scene/SceneManager.h"
#include "ui/HUD.h"

namespace {

// A key held from one physics step of play to another (the last step not included).
struct HeldKey {
    int key;
    int from;
    int to;
};

Vector3 positionOf(MainChar& ball) {
    const PhysicsVec3 at = ball.getActor()->getGlobalPosition();
    return {at.x, at.y, at.z};
}

// The game as a new player meets it: its own start-up on a copy of the game tree with
// empty player folders, keys through the window library's event path, and a clock that
// moves one physics step per frame. Frames are drawn only for pictures: the physics, the
// controls and the camera run in the frame's update.
class FirstMinuteTest : public InProcessGame {
protected:
    void SetUp() override {
        InProcessGame::SetUp();
        // Tests beside this one on the same X server move the pointer; this player uses keys only.
        Glfw::setMousePosCallback(nullptr);
        SceneManager::getInstance()->waitForLoads();
    }

    static void press(int key) { Glfw::deliverKey(key, GLFW_PRESS); }
    static void release(int key) { Glfw::deliverKey(key, GLFW_RELEASE); }
    static void tap(int key) {
        press(key);
        release(key);
    }

    // One frame's update; the physics steps it ran.
    int frame() {
        clock += TimeManager::kStepMilliseconds;
        update();
        return TimeManager::getInstance()->stepCount;
    }
    int state() const { return StateManager::getInstance()->getState(); }

    // Enter at the main menu, then frames until the loading screen lets the game begin.
    void newGame() {
        frame();
        ASSERT_EQ(state(), MAIN_MENU);
        tap(GLFW_KEY_ENTER);
        for (int i = 0; i < 600 && state() == LOADING; ++i) {
            frame();
        }
        ASSERT_EQ(state(), IN_GAME);
        // Play's clock starts from here: the next frames run a step each.
        frame();
    }

    // The next frame drawn, taken by the screenshot key and kept as NAME.png.
    static FrameCapture picture(const std::string& name) { return screenshot(name, render); }

    // F1 shows the help over the view and takes it away; P stops the clock with "Paused" in
    // the middle, and the ball where it was; P again lets the game go on.
    void lookAtHelpAndPause() {
        tap(GLFW_KEY_F1);
        const FrameCapture help = picture("game_first_minute_help");
        EXPECT_GT(help.countBrighter(help.width / 2 - 60, 15, help.width / 2 + 60, 45, 300), 50)
            << "its title";
        tap(GLFW_KEY_F1);
        EXPECT_FALSE(HUD::getInstance()->showHelp);

        tap(GLFW_KEY_P);
        MainChar& ball = *MainChar::current();
        const Vector3 before = positionOf(ball);
        for (int i = 0; i < 10; ++i) {
            ASSERT_EQ(frame(), 0);
        }
        EXPECT_EQ(positionOf(ball).z, before.z);
        const FrameCapture paused = picture("game_first_minute_paused");
        EXPECT_GT(paused.countBrighter(paused.width / 2 - 60, paused.height / 2 - 20, paused.width / 2 + 60,
                                       paused.height / 2 + 20, 600),
                  100)
            << "\"Paused\" in white";
        tap(GLFW_KEY_P);
        frame();
    }

};

// W from the start, a full jump over the first gap, W on between the crates and up the ramp.
const std::vector<HeldKey> kFirstMinute = {{GLFW_KEY_W, 0, 1000}, {GLFW_KEY_SPACE, 370, 382}};

TEST_F(FirstMinuteTest, NewGameByKeysRollsOnToTheFirstCheckpointWhichSaves) {
    ASSERT_NO_FATAL_FAILURE(newGame());
    MainChar* ball = MainChar::current();
    ASSERT_NE(ball, nullptr);
    const SaveStateManager& saves = *SaveStateManager::getInstance();
    EXPECT_TRUE(HUD::getInstance()->controlsHint.isShowing()) << "a new player's first start";

    int step = 0;
    for (; step < 1000 && saves.getAll().empty(); ++step) {
        for (const HeldKey& held : kFirstMinute) {
            if (step == held.from) {
                press(held.key);
            } else if (step == held.to) {
                release(held.key);
            }
        }
        ASSERT_EQ(frame(), 1) << "one physics step per frame";
        ASSERT_EQ(state(), IN_GAME) << "lost at step " << step << " at z " << positionOf(*ball).z;
        if (step == 30) {
            picture("game_first_minute_start");
        } else if (step == 100) {
            ASSERT_NO_FATAL_FAILURE(lookAtHelpAndPause());
        }
    }
    ASSERT_EQ(saves.getAll().size(), 1u) << "no checkpoint reached in " << step << " steps";
    const Vector3 at = positionOf(*ball);
    EXPECT_LT((Vector3{at.x, 0.0f, at.z} - Vector3{16.0f, 0.0f, -329.0f}).length(), 5.0f)
        << "at the pad of A41_Checkpoint1";
    EXPECT_FALSE(HUD::getInstance()->controlsHint.isShowing()) << "the hint ends at the first checkpoint";
    picture("game_first_minute_checkpoint");
}

// The way on from every shipped level's start: three seconds of W, as a new player's first keys.
TEST_F(FirstMinuteTest, ThreeSecondsOfWFromTheStartOfEveryLevelRollTheBallNearerItsFirstWaypoint) {
    SceneManager* levels = SceneManager::getInstance();
    ASSERT_GE(levels->getLevelCount(), 1);
    for (int index = 0; index < levels->getLevelCount(); ++index) {
        const std::string path = levels->getPath(index);
        SCOPED_TRACE(path);
        const std::optional<Route> route = Route::forScene(path);
        ASSERT_TRUE(route && !route->waypoints.empty()) << "no route beside the level";
        ASSERT_TRUE(levels->loadSceneBlocking(path)) << levels->getLoadError(index);
        // As the loading screen does it.
        StateManager::getInstance()->setState(LOADING);
        ASSERT_TRUE(levels->setCurrentLevel(index));
        StateManager::getInstance()->setState(IN_GAME);
        MainChar* ball = MainChar::current();
        ASSERT_NE(ball, nullptr);
        const Vector3 goal = route->waypoints.front().position;
        const Vector3 start = positionOf(*ball);

        press(GLFW_KEY_W);
        for (int step = 0; step < 180; ++step) {
            frame();
        }
        release(GLFW_KEY_W);
        frame();
        const Vector3 at = positionOf(*ball);
        EXPECT_EQ(state(), IN_GAME);
        EXPECT_GT(ball->energy, 0.0f);
        EXPECT_GT(at.y, goal.y - 1.0f) << "fallen";
        EXPECT_LT((at - goal).length(), (start - goal).length() - 3.0f)
            << "from " << start.z << " to " << at.z << " towards " << goal.z;
        StateManager::getInstance()->setState(MAIN_MENU);
    }
}

} // namespace
