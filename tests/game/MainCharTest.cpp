#include <gtest/gtest.h>

#include <AL/al.h>

#include "GameFixture.h"
#include "audio/SoundSource.h"
#include "core/ConfigManager.h"
#include "core/FixedStep.h"
#include "core/StateManager.h"
#include "core/TimeManager.h"
#include "game/MainChar.h"
#include "render/LightManager.h"
#include "scene/PhysicsManager.h"
#include "scene/SceneManager.h"
#include "ui/LevelLink.h"

namespace {

// Counts how often play is left.
class PlayCounter : public LevelLink {
public:
    void pauseCurrentLevel() override { ++left; }
    void resumeCurrentLevel() override {}
    void leaveCurrentLevel() override {}
    void startNewGame() override {}
    int levelCount() override { return 1; }
    std::string levelName(int) override { return ""; }
    std::optional<int> levelParTime(int) override { return std::nullopt; }
    void loadLevel(int) override {}
    bool enterLevel(int) override { return false; }
    std::string levelError(int) override { return ""; }
    void settleAround(int) override {}
    void respawn() override {}
    std::optional<Gauges> mainCharGauges() override { return std::nullopt; }
    bool checkpointReached() override { return false; }
    int left = 0;
};

using MainCharTest = GameTest;

int state() {
    return StateManager::getInstance()->getState();
}

// An energy capacity of 0 emptied the ball in its first update; a negative one filled it.
TEST_F(MainCharTest, AnEnergyCapacityOutOfRangeIsTheDefaultWithAWarning) {
    data.write("Vorn.ini", data.read("Vorn.ini") + "[GameSettings]\nenergycapacity = 0\n");
    ConfigManager::destroy();
    play(standardNodes());
    EXPECT_FLOAT_EQ(ball->energyDrain, kStepSeconds / 20.0f);
    EXPECT_TRUE(log.contains(
        "Setting 'GameSettings:energycapacity' in ../Vorn.ini is 0, it must be above 0: 20 is used"));
    ball->update();
    EXPECT_EQ(state(), IN_GAME);
}

TEST_F(MainCharTest, FullEnergyLastsCapacityTimesSixtyUpdatesExceptOnACheckpointThenTheGameIsOverOnce) {
    play(standardNodes());
    PlayCounter counter;
    LevelLink::use(&counter);
    ball->onCheckPoint = true;
    for (int i = 0; i < 100; ++i) {
        ball->update();
    }
    EXPECT_FLOAT_EQ(ball->energy, 1.0f);
    ball->onCheckPoint = false;
    for (int i = 0; i < 20 * 60 - 1; ++i) {
        ball->update();
    }
    EXPECT_GT(ball->energy, 0.0f);
    EXPECT_EQ(state(), IN_GAME);
    for (int i = 0; i < 10; ++i) {
        ball->update();
        EXPECT_EQ(ball->energy, 0.0f);
    }
    EXPECT_EQ(state(), GAME_OVER);
    EXPECT_EQ(counter.left, 1);
    ALfloat gain = 1.0f;
    alGetSourcef(ball->soundSource->getSource(), AL_GAIN, &gain);
    EXPECT_EQ(gain, 0.0f) << "a dead ball is silent";
    LevelLink::use(nullptr);
}

// The finish reached or the game paused, an empty ball ends nothing more.
TEST_F(MainCharTest, AnEmptyBallOutsidePlayLeavesTheStateAsItIs) {
    play(standardNodes());
    for (const int outside : {LEVEL_COMPLETE, PAUSED}) {
        StateManager::getInstance()->setState(IN_GAME);
        ball->setEnergy(1.0f);
        StateManager::getInstance()->setState(outside);
        ball->setEnergy(0.0f);
        EXPECT_EQ(state(), outside);
    }
}

TEST_F(MainCharTest, TheLightOfSlotZeroAndTheSoundFollowTheEnergyAndGoWithTheCharacter) {
    play(standardNodes());
    LightManager* lights = LightManager::getInstance();
    EXPECT_EQ(lights->lights[0], ball->light.get());
    ball->onCheckPoint = true;
    for (const auto& [energy, radius] : {std::pair{0.5f, 40.0f}, {0.25f, 30.0f}, {1.0f, 60.0f}}) {
        ball->setEnergy(energy);
        ball->update();
        EXPECT_FLOAT_EQ(ball->light->radius, radius);
        EXPECT_NEAR(ball->light->y, ball->getPosition()->y + 1.5f - 0.03f, 0.021f);
        ALfloat gain = 0.0f;
        alGetSourcef(ball->soundSource->getSource(), AL_GAIN, &gain);
        EXPECT_FLOAT_EQ(gain, std::sqrt(energy));
    }
    ball->fireBurst();
    PhysicsManager::getInstance()->setCurrentScene(nullptr, false);
    SceneManager::destroy(); // the level, its ball and its light with it
    EXPECT_EQ(lights->lights[0], nullptr);
    EXPECT_TRUE(TimeManager::getInstance()->timers.empty()) << "the running burst went with the ball";
}

TEST_F(MainCharTest, OverlappingBurstsShareOneMultiplierUntilTheLastEndsEvenAcrossAReset) {
    play(standardNodes());
    const ParticleController& fire = *ball->particleController;
    ball->setEnergy(0.9f);
    ball->addEnergy(0.3f);
    EXPECT_FLOAT_EQ(ball->energy, 1.0f);
    EXPECT_EQ(ball->burstCount, 1);
    EXPECT_FLOAT_EQ(fire.burstMultiplier, 1.3f);
    tick(100);
    ball->addEnergy(0.3f);
    EXPECT_EQ(ball->burstCount, 2);
    tick(201);
    EXPECT_EQ(ball->burstCount, 1);
    EXPECT_FLOAT_EQ(fire.burstMultiplier, 1.3f) << "the second burst still runs";
    tick(100);
    EXPECT_EQ(ball->burstCount, 0);
    EXPECT_FLOAT_EQ(fire.burstMultiplier, 1.0f);

    ball->addEnergy(0.1f);
    ball->turboLevel = 0.5f;
    ball->reset();
    EXPECT_FLOAT_EQ(ball->energy, 1.0f);
    EXPECT_FLOAT_EQ(ball->turboLevel, 0.0f);
    EXPECT_EQ(ball->burstCount, 1) << "a reset leaves the burst running";
    tick(301);
    EXPECT_FLOAT_EQ(fire.burstMultiplier, 1.0f);
    EXPECT_TRUE(TimeManager::getInstance()->timers.empty());
}

} // namespace
