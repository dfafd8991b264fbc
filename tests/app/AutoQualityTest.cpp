#include <gtest/gtest.h>

#include "TempDataRoot.h"
#include "app/AutoQuality.h"
#include "core/ConfigManager.h"
#include "core/Settings.h"

namespace {

// The game's auto quality on a clock the test moves, over a main configuration with shadows.
class AutoQualityTest : public ::testing::Test {
protected:
    void SetUp() override {
        data.write("Vorn.ini", "[GameSettings]\nshadows = true\n");
        Settings::active() = Settings{};
    }
    void TearDown() override {
        Settings::active() = Settings{};
        ConfigManager::destroy();
    }

    // `seconds` of play at one frame length.
    void play(AutoQuality& quality, Milliseconds frame, double seconds) {
        for (double time = 0.0; time < seconds * 1000.0; time += static_cast<double>(frame)) {
            now += frame;
            quality.frame(true);
        }
    }
    Config& config() { return *ConfigManager::getInstance()->getMainConfig(); }

    TempDataRoot data;
    Milliseconds now = 1000;
};

TEST_F(AutoQualityTest, ASlowClockStepsTheQualityDownAndTheChoiceIsKept) {
    AutoQuality quality([this] { return now; });
    play(quality, 60, 2.0);
    EXPECT_EQ(Settings::active().autoStep, 0);
    play(quality, 60, 1.0);
    EXPECT_EQ(Settings::active().autoStep, 1);
    EXPECT_EQ(config().renderScale, Settings::kAutoLadder[1].renderScale) << "applied at once";
    play(quality, 60, 30.0);
    EXPECT_EQ(Settings::active().autoStep, Settings::kAutoSteps - 1);
    EXPECT_FALSE(config().shadows);
    EXPECT_FALSE(config().getBool("GameSettings:shadows", true));
    ASSERT_TRUE(quality.settled());
    EXPECT_EQ(Settings::load(Settings::defaultFile(), Settings{}).autoStep, Settings::kAutoSteps - 1);
}

TEST_F(AutoQualityTest, AFastClockStepsItUpAndTimeOutsidePlayIsNotCounted) {
    Settings::active().chooseAutoStep(Settings::kAutoSteps - 1);
    AutoQuality quality([this] { return now; });
    now += 5000;
    quality.frame(false);
    now += 5000;
    quality.frame(false);
    play(quality, 8, 2.6);
    EXPECT_EQ(Settings::active().autoStep, Settings::kAutoSteps - 2);
    play(quality, 8, 30.0);
    EXPECT_EQ(Settings::active().autoStep, 0);
    EXPECT_TRUE(config().shadows);
    EXPECT_EQ(config().renderScale, 1.0f);
}

TEST_F(AutoQualityTest, APresetOfThePlayersOwnOrALockStepClockIsLeftAlone) {
    Settings::active().choose(Settings::Quality::High);
    AutoQuality chosen([this] { return now; });
    play(chosen, 100, 10.0);
    EXPECT_EQ(Settings::active().renderScale, 1.0f);

    Settings::active().choose(Settings::Quality::Auto);
    AutoQuality stopped([this] { return now; });
    stopped.stop();
    play(stopped, 100, 10.0);
    EXPECT_EQ(Settings::active().autoStep, 0);
}

} // namespace
