#include <gtest/gtest.h>

#include "GameFixture.h"
#include "core/StateManager.h"
#include "game/Camera.h"
#include "game/MainChar.h"
#include "physics/PhysicsActor.h"
#include "scene/OgreScene.h"
#include "scene/PhysicsManager.h"

namespace {

// The ball of a level turned a quarter round +y: its -z, the way on, looks along -x.
std::vector<TestNode> turnedStart() {
    return {{"Ball", "Ball[mainChar]", "cube.mesh", 0.0f, 1.0f, 0.0f,
             "qx=\"0\" qy=\"0.70710678\" qz=\"0\" qw=\"0.70710678\"", "Ball"},
            {"Floor", "Floor[floor]", "floor.mesh"}};
}

// From the loading screen into play, with the camera turned elsewhere by an earlier game.
TEST_F(GameTest, ANewGameLooksTheWayTheSceneTurnedTheBallAndWRollsThatWay) {
    Camera* camera = Camera::getInstance();
    camera->yawTarget = 123.0f;
    camera->pitchTarget = 90.0f;
    for (int frame = 0; frame < 30; ++frame) {
        camera->follow({0, 0, 0}, 1.0f / 60.0f);
    }
    StateManager::getInstance()->setState(LOADING);
    play(turnedStart());
    EXPECT_NEAR(MainChar::startHeadingOf(*scene), -90.0f, 1e-3f);
    EXPECT_NEAR(camera->getHeading(), -90.0f, 1e-3f);
    EXPECT_FLOAT_EQ(camera->pitchTarget, camera->startPitch);

    PhysicsManager* physics = PhysicsManager::getInstance();
    HeldControls forward;
    forward.forward = true;
    for (int step = 0; step < 60; ++step) {
        physics->fetchResults();
        scene->update();
        camera->follow(*ball->getPosition(), 1.0f / 60.0f);
        controls.drive(*ball, forward, camera->getHeading());
        physics->startStep();
    }
    const PhysicsVec3 at = ball->getActor()->getGlobalPosition();
    EXPECT_LT(at.x, -1.0f);
    EXPECT_NEAR(at.z, 0.0f, 0.05f);
}

// Respawning or coming back from the pause menu is no new game: the camera stays as the player turned it.
TEST_F(GameTest, PlayResumedFromAMenuKeepsTheCameraWhereThePlayerTurnedIt) {
    StateManager::getInstance()->setState(LOADING);
    play(turnedStart());
    Camera* camera = Camera::getInstance();
    camera->lookAlong(40.0f);
    StateManager::getInstance()->setState(PAUSED);
    StateManager::getInstance()->setState(IN_GAME);
    EXPECT_NEAR(camera->getHeading(), 40.0f, 1e-3f);
}

} // namespace
