#include <gtest/gtest.h>

#include <algorithm>

#include "TempDataRoot.h"
#include "core/ConfigManager.h"
#include "core/StateManager.h"
#include "core/TimeManager.h"
#include "render/TextureLoader.h"
#include "ui/HUD.h"

class HUDTest : public ::testing::Test {
protected:
    void TearDown() override {
        HUD::destroy();
        TimeManager::destroy();
        StateManager::destroy();
        TextureLoader::destroy();
        ConfigManager::destroy();
    }

    static bool registered(const Timer* timer) {
        const auto& timers = TimeManager::getInstance()->timers;
        return std::find(timers.begin(), timers.end(), timer) != timers.end();
    }

    TempDataRoot data;
    HUD* hud = HUD::getInstance();
    TimeManager* time = TimeManager::getInstance();
};

TEST_F(HUDTest, MessagesLiveThreeSecondsAndVanishInPostingOrder) {
    hud->showMessage("first");
    hud->showMessage("second");
    hud->showMessage("third");
    ASSERT_EQ(hud->messages.size(), 3u);
    for (const HUD::Message& message : hud->messages) {
        EXPECT_TRUE(message.timer->active);
        EXPECT_FALSE(message.timer->repeating);
        EXPECT_EQ(message.timer->dueTime, time->now + 3000);
        EXPECT_TRUE(registered(message.timer.get()));
    }

    // Let the first message's time run out.
    const Timer* firstTimer = hud->messages.front().timer.get();
    hud->messages.front().timer->dueTime = time->now - 1;
    time->update();
    ASSERT_EQ(hud->messages.size(), 2u);
    EXPECT_EQ(hud->messages.front().text, "second");
    EXPECT_FALSE(registered(firstTimer));
    EXPECT_EQ(time->timers.size(), 2u);

    for (HUD::Message& message : hud->messages) {
        message.timer->dueTime = time->now - 1;
    }
    time->update();
    EXPECT_TRUE(hud->messages.empty());
    EXPECT_TRUE(time->timers.empty());
}

TEST_F(HUDTest, DestroyingTheHudUnregistersItsTimersAndSurvivesAGoneTimeManager) {
    hud->showMessage("pending");
    HUD::destroy();
    EXPECT_TRUE(TimeManager::getInstance()->timers.empty());
    time->update();

    hud = HUD::getInstance();
    hud->showMessage("at shutdown");
    TimeManager::destroy();
    HUD::destroy();
    EXPECT_EQ(TimeManager::existingInstance(), nullptr)
        << "destroying the HUD must not revive the time manager";
}
