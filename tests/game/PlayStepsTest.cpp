#include <gtest/gtest.h>

#include "GameFixture.h"
#include "core/StateManager.h"
#include "game/MainChar.h"
#include "game/SaveStateManager.h"
#include "physics/PhysicsActor.h"
#include "scene/PhysicsManager.h"

namespace {

using PlayStepsTest = GameTest;

int state() {
    return StateManager::getInstance()->getState();
}

// A frame of several steps whose first one ends play: the steps after it belong to a
// game that is over and do nothing, neither in the level nor in the engine.
TEST_F(PlayStepsTest, TheStepThatEndsPlayIsTheLastOneOfItsFrame) {
    play(standardNodes());
    ball->energy = ball->energyDrain; // one update from empty
    putBall(-10.0f, 1.0f, 10.0f);     // inside the finish
    run(5);
    EXPECT_EQ(state(), LEVEL_COMPLETE) << "not a game over";
    EXPECT_EQ(ball->energy, ball->energyDrain) << "no update after the finish";
    EXPECT_FALSE(PhysicsManager::getInstance()->isSimulating()) << "no step started after it";

    // The last drop of energy goes in the first update; the ball would land on the
    // checkpoint in a later step of the same frame.
    StateManager::getInstance()->setState(IN_GAME);
    ball->energy = ball->energyDrain;
    putBall(10.0f, 3.3f, 10.0f);
    ball->getActor()->setLinearVelocity({0.0f, -6.0f, 0.0f});
    run(10);
    EXPECT_EQ(state(), GAME_OVER);
    EXPECT_TRUE(SaveStateManager::getInstance()->getAll().empty());
    EXPECT_EQ(messagesSaying("Game saved"), 0) << "over the game-over menu";
    EXPECT_FALSE(PhysicsManager::getInstance()->isSimulating());
}

} // namespace
