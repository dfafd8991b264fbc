#include <gtest/gtest.h>

#include "GameFixture.h"
#include "core/StateManager.h"
#include "core/TimeManager.h"
#include "game/CheckPoint.h"
#include "game/Item.h"
#include "game/MainChar.h"
#include "game/MainCharSaveData.h"
#include "game/SaveStateManager.h"
#include "physics/PhysicsActor.h"
#include "scene/OgreScene.h"
#include "ui/HUD.h"
#include "ui/LevelLink.h"

namespace {

// Two checkpoints: A at (10, 1, 10) and B at (0, 1, 10).
class SaveStateTest : public GameTest {
protected:
    void SetUp() override {
        std::vector<TestNode> nodes = standardNodes();
        nodes.push_back({"PadB", "PadB[checkPoint]", "cube.mesh", 0.0f, 1.0f, 10.0f});
        play(nodes);
        saves = SaveStateManager::getInstance();
    }

    // Drops the ball five metres above a checkpoint's top and lets it land.
    void land(float x, float z) {
        putBall(x, 8.0f, z);
        run(90);
    }

    PhysicsVec3 ballAt() const { return ball->getActor()->getGlobalPosition(); }

    SaveStateManager* saves = nullptr;
};

TEST_F(SaveStateTest, EachNewerCheckpointSavesOnceWithAMessageAndTheBallRespawnsAboveTheNewest) {
    land(10.0f, 10.0f);
    land(10.0f, 10.0f);
    EXPECT_EQ(saves->getAll().size(), 1u) << "landing again on the newest checkpoint saves nothing";
    tick(20);
    land(0.0f, 10.0f);
    tick(20);
    land(10.0f, 10.0f);
    EXPECT_EQ(saves->getAll().size(), 3u);
    EXPECT_EQ(messagesSaying("Game saved"), 3);
    EXPECT_EQ(log.count("INFO", "Created Savestate"), 3);
    EXPECT_EQ(saves->getCurrent(), saves->getAll().rbegin()->second.get());
    EXPECT_EQ(dynamic_cast<CheckPoint*>(object("Pad"))->saveTime, saves->getCurrent()->time);

    putBall(-5.0f, 1.0f, -5.0f);
    ball->getActor()->setLinearVelocity({3.0f, 0.0f, 0.0f});
    saves->loadSaveState();
    EXPECT_FLOAT_EQ(ballAt().x, 10.0f);
    EXPECT_FLOAT_EQ(ballAt().y, 6.0f) << "five above the checkpoint's centre";
    EXPECT_FLOAT_EQ(ballAt().z, 10.0f);
    EXPECT_FLOAT_EQ(ball->getActor()->getLinearVelocity().x, 0.0f);
}

// A machine up for more than 24.8 days: the clock no longer fits 32 bits.
TEST_F(SaveStateTest, CheckpointsSaveOnAClockBeyondThirtyTwoBits) {
    clock = (Milliseconds{1} << 31) + 1000;
    tick(0);
    land(10.0f, 10.0f);
    tick(20);
    land(0.0f, 10.0f);
    tick(20);
    land(10.0f, 10.0f);
    EXPECT_EQ(saves->getAll().size(), 3u);
    EXPECT_EQ(saves->getCurrent()->time, clock);
    EXPECT_EQ(dynamic_cast<CheckPoint*>(object("Pad"))->saveTime, clock);
    EXPECT_EQ(dynamic_cast<CheckPoint*>(object("PadB"))->saveTime, clock - 20);
}

// The ball respawns five above the checkpoint: in the air, where no jump starts and the
// energy drains until it lands.
TEST_F(SaveStateTest, TheBallRespawnsInTheAirUntilItLandsAgain) {
    land(10.0f, 10.0f);
    ASSERT_TRUE(ball->onGround && ball->onCheckPoint);
    putBall(-5.0f, 1.0f, -5.0f);
    run(30);
    ASSERT_TRUE(ball->onGround);
    saves->loadSaveState();
    EXPECT_FALSE(ball->onGround);
    EXPECT_FALSE(ball->onCheckPoint);
    const float energy = ball->energy;
    run(2);
    EXPECT_LT(ball->energy, energy);
    run(90);
    EXPECT_TRUE(ball->onGround && ball->onCheckPoint) << "landed";
}

// Respawning by key while the step in flight would carry the ball into the fog.
TEST_F(SaveStateTest, ARespawnInPlayForgetsTheStepOfTheWorldItReplaces) {
    land(10.0f, 10.0f);
    putBall(10.0f, 1.0f, -10.0f); // inside the fog, seen by the next step
    saves->loadSaveState();
    EXPECT_EQ(StateManager::getInstance()->getState(), IN_GAME);
    EXPECT_FLOAT_EQ(ballAt().y, 6.0f);
    run(5);
    EXPECT_EQ(StateManager::getInstance()->getState(), IN_GAME);
}

TEST_F(SaveStateTest, EachDeathRespawnAddsTheBonusToTheSavedEnergyAgain) {
    ball->setEnergy(0.5f);
    land(10.0f, 10.0f);
    const float saved = dynamic_cast<MainCharSaveData&>(*saves->getCurrent()->records.at("Ball")).energy;
    for (const float bonus : {0.05f, 0.10f}) {
        ball->setEnergy(0.0f);
        ASSERT_EQ(StateManager::getInstance()->getState(), GAME_OVER);
        saves->loadSaveState();
        EXPECT_NEAR(ball->energy, saved + bonus, 1e-6f);
        StateManager::getInstance()->setState(IN_GAME);
    }
    saves->loadSaveState();
    EXPECT_NEAR(ball->energy, saved + 0.10f, 1e-6f) << "no bonus for a living ball";
    ball->setEnergy(0.3f);
    StateManager::getInstance()->setState(GAME_OVER);
    saves->loadSaveState();
    EXPECT_NEAR(ball->energy, saved + 0.15f, 1e-6f) << "a ball lost in the fog died with energy left";
}

TEST_F(SaveStateTest, AnItemPickedUpAfterTheSnapshotIsBackAfterTheRespawnAndCanBePickedUpAgain) {
    land(10.0f, 10.0f);
    auto* gem = dynamic_cast<Item*>(object("Gem"));
    land(-10.0f, -10.0f);
    ASSERT_FALSE(gem->active);
    saves->loadSaveState();
    EXPECT_TRUE(gem->active);
    EXPECT_FALSE(gem->getActor()->isCollisionDisabled());
    EXPECT_TRUE(gem->getActor()->isMovable());
    land(-10.0f, -10.0f);
    EXPECT_FALSE(gem->active);
}

TEST_F(SaveStateTest, ASnapshotMissingANodeOrItsLevelIsRefusedAndTheNextAttemptStillWorks) {
    land(10.0f, 10.0f);
    SaveState& state = *saves->getCurrent();
    std::unique_ptr<ModelSaveData> gem = std::move(state.records.at("Gem"));
    state.records.erase("Gem");
    putBall(-5.0f, 1.0f, -5.0f);
    saves->loadSaveState();
    EXPECT_TRUE(log.contains("Tried to load savestate with missing node 'Gem'"));
    EXPECT_FLOAT_EQ(ballAt().x, -5.0f) << "nothing restored";

    state.records["Gem"] = std::move(gem);
    state.scenePath = "../levels/none/none.scene";
    saves->loadSaveState();
    EXPECT_TRUE(log.contains("Tried to load savestate from non-existent scene '../levels/none/none.scene'"));
    EXPECT_FLOAT_EQ(ballAt().x, -5.0f);

    state.scenePath = scene->getPath();
    saves->loadSaveState();
    EXPECT_FLOAT_EQ(ballAt().x, 10.0f);
}

TEST_F(SaveStateTest, ARespawnDuringAFireBurstLeavesNoTimerBehindAndTheMultiplierComesBack) {
    land(10.0f, 10.0f);
    ball->addEnergy(0.1f);
    saves->loadSaveState();
    tick(301);
    EXPECT_EQ(ball->burstCount, 0);
    EXPECT_FLOAT_EQ(ball->particleController->burstMultiplier, 1.0f);
    EXPECT_EQ(TimeManager::getInstance()->timers.size(), HUD::getInstance()->messages.size())
        << "only the messages' timers are left";
}

TEST_F(SaveStateTest, RespawnGoesToTheSnapshotOrWithoutOneRestartsTheLevel) {
    EXPECT_EQ(LevelLink::get().mainCharGauges()->energy, 1.0f);
    ball->setEnergy(0.4f);
    ball->addTurbo(0.3f);
    EXPECT_EQ(LevelLink::get().mainCharGauges()->energy, 0.4f);
    EXPECT_EQ(LevelLink::get().mainCharGauges()->turbo, 0.3f);
    putBall(5.0f, 1.0f, 5.0f);
    ball->setEnergy(0.0f);
    LevelLink::get().respawn();
    EXPECT_FLOAT_EQ(ballAt().x, 0.0f) << "back at the start";
    EXPECT_FLOAT_EQ(ball->energy, 1.0f);

    StateManager::getInstance()->setState(IN_GAME); // as the game-over menu does after the respawn
    land(10.0f, 10.0f);
    putBall(5.0f, 1.0f, 5.0f);
    LevelLink::get().respawn();
    EXPECT_FLOAT_EQ(ballAt().x, 10.0f) << "above the checkpoint";
}

} // namespace
