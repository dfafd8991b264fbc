#include <gtest/gtest.h>

#include <GLFW/glfw3.h>

#include "OverlayTestSupport.h"
#include "SoundTestSupport.h"
#include "core/PlayerFiles.h"
#include "core/StateManager.h"
#include "core/TimeManager.h"
#include "game/Replay.h"
#include "game/ReplayLibrary.h"
#include "platform/Glfw.h"
#include "ui/Campaign.h"
#include "ui/HUD.h"
#include "ui/LevelSelectMenu.h"
#include "ui/LevelcompleteMenu.h"
#include "ui/MainMenu.h"
#include "ui/MenuManager.h"
#include "ui/ReplayMenu.h"

namespace {

void press(int libraryKey) {
    Glfw::deliverKey(libraryKey, GLFW_PRESS);
    Glfw::deliverKey(libraryKey, GLFW_RELEASE);
}

int state() {
    return StateManager::getInstance()->getState();
}

void setState(int newState) {
    StateManager::getInstance()->setState(newState);
}

Campaign& campaign() {
    return *Campaign::getInstance();
}

} // namespace

// Three levels, the menus in place, progress from the test's own player folder.
class CampaignTest : public OverlayTest {
protected:
    // The audio library reads its set-up once a process: the menu tests after these record what is heard.
    CampaignTest() { useWaveRecorder(); }

    void SetUp() override {
        OverlayTest::SetUp();
        level.names = {"First Steps", "The Bridges", "Into the Dark"};
        level.firstLevelReady = true;
        MenuManager::getInstance();
        setState(MAIN_MENU);
    }

    // The progress file as an earlier run left it.
    void finishedBefore(const std::string& lines) const {
        ASSERT_TRUE(
            PlayerFiles::replace(PlayerFiles::dataDir() / "progress.txt", "vorn progress 1\n" + lines));
    }

    void chooseFromMainMenu(int item) {
        for (int i = 0; i < item; ++i) {
            press(GLFW_KEY_DOWN);
        }
        press(GLFW_KEY_ENTER);
    }

    // Play from the loading screen on: `steps` physics steps of play, then the finish.
    void playAndFinish(int steps) {
        ASSERT_EQ(state(), LOADING);
        setState(IN_GAME);
        campaign().countSteps(steps);
        setState(LEVEL_COMPLETE);
    }

    FrameCapture picture(const std::string& name) {
        const FrameCapture frame = drawOverlay();
        frame.save("campaign_" + name);
        return frame;
    }

    int inkBetween(const FrameCapture& frame, float from, float to) const {
        return frame.countBrighter(0, static_cast<int>(from * windowHeight), windowWidth,
                                   static_cast<int>(to * windowHeight), 150);
    }
};

TEST_F(CampaignTest, ContinuePlaysTheFirstUnfinishedLevelAndNewGameTheFirst) {
    finishedBefore("level1 50000\n");
    chooseFromMainMenu(MainMenu::kContinueItem);
    EXPECT_EQ(state(), LOADING);
    EXPECT_EQ(campaign().level(), 1);
    EXPECT_EQ(level.calls.back(), "load 1");
    setState(MAIN_MENU);
    chooseFromMainMenu(MainMenu::kNewGameItem);
    EXPECT_EQ(campaign().level(), 0);
    EXPECT_EQ(std::count(level.calls.begin(), level.calls.end(), "new"), 2) << "no snapshot of another game";
}

TEST_F(CampaignTest, LevelSelectKeysPlayOnlyUnlockedLevels) {
    finishedBefore("level1 50000\n");
    chooseFromMainMenu(MainMenu::kLevelsItem);
    ASSERT_EQ(state(), LEVEL_SELECT);
    Menu* list = MenuManager::getInstance()->getCurrentMenu();
    EXPECT_EQ(list->selection, 1) << "the highlight starts where Continue would play";
    press(GLFW_KEY_DOWN);
    press(GLFW_KEY_S);
    EXPECT_EQ(list->selection, 2) << "the list ends at the last level";
    press(GLFW_KEY_ENTER);
    EXPECT_EQ(state(), LEVEL_SELECT) << "a locked level cannot be played";
    press(GLFW_KEY_UP);
    press(GLFW_KEY_W);
    press(GLFW_KEY_UP);
    EXPECT_EQ(list->selection, 0);
    press(GLFW_KEY_ESCAPE);
    EXPECT_EQ(state(), MAIN_MENU);
    chooseFromMainMenu(MainMenu::kLevelsItem);
    press(GLFW_KEY_UP);
    press(GLFW_KEY_ENTER);
    EXPECT_EQ(state(), LOADING);
    EXPECT_EQ(campaign().level(), 0);
    EXPECT_EQ(LevelSelectMenu::lineOf(0), "1. First Steps   best 0:50.0");
    EXPECT_EQ(LevelSelectMenu::lineOf(1), "2. The Bridges   -:--.-");
    EXPECT_EQ(LevelSelectMenu::lineOf(2), "3. Into the Dark   locked");
}

TEST_F(CampaignTest, TheClockRunsOnlyInPlayNotInPauseMenusOrWhilePausedByKey) {
    chooseFromMainMenu(MainMenu::kNewGameItem);
    setState(IN_GAME);
    campaign().countSteps(60);
    EXPECT_EQ(campaign().clock(), 1000);
    setState(PAUSED);
    campaign().countSteps(600);
    setState(IN_GAME);
    TimeManager::getInstance()->paused = true;
    campaign().countSteps(600);
    TimeManager::getInstance()->paused = false;
    campaign().countSteps(30);
    EXPECT_EQ(campaign().clock(), 1500);
    setState(GAME_OVER);
    campaign().countSteps(600);
    setState(IN_GAME);
    campaign().countSteps(6);
    EXPECT_EQ(campaign().clock(), 1600) << "a respawn keeps the clock running";
    setState(LEVEL_COMPLETE);
    campaign().countSteps(600);
    EXPECT_EQ(campaign().lastResult()->time, 1600);
    EXPECT_EQ(Progress().bestTime(0), 1600);
    EXPECT_EQ(Campaign::formatTime(3723456), "62:03.4");
}

TEST_F(CampaignTest, OnlyAFinishCountsAndASlowerOneKeepsTheBestTime) {
    chooseFromMainMenu(MainMenu::kNewGameItem);
    setState(IN_GAME);
    campaign().countSteps(6000);
    setState(PAUSED);
    press(GLFW_KEY_DOWN);
    press(GLFW_KEY_ENTER);
    ASSERT_EQ(state(), MAIN_MENU);
    EXPECT_FALSE(Progress().isFinished(0)) << "leaving the level is no finish";

    chooseFromMainMenu(MainMenu::kNewGameItem);
    playAndFinish(3000);
    EXPECT_TRUE(campaign().lastResult()->newBest);
    EXPECT_EQ(LevelcompleteMenu::resultLines(),
              (std::vector<std::string>{"Time 0:50.0", "Best 0:50.0", LevelcompleteMenu::kNewBest}));
    press(GLFW_KEY_ESCAPE);
    chooseFromMainMenu(MainMenu::kNewGameItem);
    playAndFinish(3600);
    EXPECT_FALSE(campaign().lastResult()->newBest);
    EXPECT_EQ(LevelcompleteMenu::resultLines(), (std::vector<std::string>{"Time 1:00.0", "Best 0:50.0"}));
    level.parTime = 75;
    EXPECT_EQ(LevelcompleteMenu::resultLines().at(1), "Best 0:50.0   Par 1:15.0");
    EXPECT_EQ(Progress().bestTime(0), 50000);
}

TEST_F(CampaignTest, NextLevelIsChosenByEnterAndTheLastLevelCompletesTheCampaign) {
    chooseFromMainMenu(MainMenu::kNewGameItem);
    for (int played = 0; played < 3; ++played) {
        SCOPED_TRACE(played);
        EXPECT_EQ(campaign().level(), played);
        playAndFinish(600 * (played + 1));
        ASSERT_EQ(state(), LEVEL_COMPLETE);
        if (played < 2) {
            EXPECT_EQ(MenuManager::getInstance()->getCurrentMenu()->selection, 0);
            press(GLFW_KEY_ENTER);
        }
    }
    const FrameCapture done = picture("complete_last");
    EXPECT_GT(inkBetween(done, 0.36f, 0.52f), 200) << "the campaign is complete";
    press(GLFW_KEY_DOWN);
    press(GLFW_KEY_ENTER);
    EXPECT_EQ(state(), MAIN_MENU) << "after the last level only the main menu is left";
    const Progress progress;
    for (int index = 0; index < 3; ++index) {
        EXPECT_EQ(progress.bestTime(index), 10000 * (index + 1));
    }
    EXPECT_EQ(campaign().continueLevel(), 2);
}

TEST_F(CampaignTest, Pictures) {
    finishedBefore("level1 50000\n");
    const FrameCapture main = picture("main_menu");
    EXPECT_GT(inkBetween(main, 0.0f, 0.45f), 1000) << "the logo";
    for (const float row : {0.58f, 0.64f, 0.70f, 0.76f}) {
        EXPECT_GT(inkBetween(main, row, row + 0.06f), 50) << "item at " << row;
    }
    chooseFromMainMenu(MainMenu::kLevelsItem);
    const FrameCapture list = picture("levels");
    EXPECT_GT(inkBetween(list, 0.3f, 0.34f), 100) << "first line";
    EXPECT_GT(inkBetween(list, 0.37f, 0.41f), 100) << "second line, highlighted";
    // White text is 765 at its brightest; the locked line stays below half of that.
    const int height = windowHeight;
    EXPECT_GT(list.countBrighter(0, height * 30 / 100, windowWidth, height * 34 / 100, 600), 50);
    EXPECT_EQ(list.countBrighter(0, height * 43 / 100, windowWidth, height * 48 / 100, 400), 0)
        << "the locked line is dim";
    EXPECT_GT(inkBetween(list, 0.43f, 0.48f), 50) << "but there";
    press(GLFW_KEY_ENTER);
    const FrameCapture loading = picture("loading");
    EXPECT_GT(inkBetween(loading, 0.81f, 0.9f), 50) << "the level's name";
    playAndFinish(4567);
    const FrameCapture complete = picture("level_complete");
    EXPECT_GT(inkBetween(complete, 0.54f, 0.74f), 300) << "time, best and new best";
    EXPECT_GT(inkBetween(complete, 0.78f, 0.90f), 100) << "next level and main menu";
    press(GLFW_KEY_ENTER);
    setState(IN_GAME);
    campaign().countSteps(4000);
    level.gauges = LevelLink::Gauges{0.5f, 0.5f};
    const FrameCapture hud = picture("hud_clock");
    const HUD::BarArea bars = HUD::getInstance()->barArea();
    const int below = static_cast<int>(bars.top + bars.height);
    EXPECT_GT(hud.countBrighter(windowWidth - 120, below, windowWidth, below + 30, 150), 50)
        << "the clock at the right below the bars";
}

// The player's replays, newest first with their level, date, length and end; Enter hands the
// highlighted one to the game, and a refusal stays below the list until the highlight moves.
TEST_F(CampaignTest, TheReplaysMenuListsTheRunsAndSaysWhyOneCannotBePlayed) {
    const auto record = [](const std::string& level, std::int64_t when, int steps, bool finished) {
        ReplayHeader header{"0.1.0", "../levels/" + level + ".scene", level, "ABC", 1u, when};
        std::string bytes = ReplayFormat::header(header);
        for (int step = 0; step < steps; ++step) {
            ReplayFormat::appendStep(bytes, {8, 0.0f});
        }
        if (finished) {
            ReplayFormat::appendFinish(bytes, static_cast<std::uint32_t>(steps));
        }
        const std::filesystem::path path = ReplayLibrary::newPath(ReplayLibrary::folder(), level, when);
        EXPECT_TRUE(PlayerFiles::replace(path, bytes));
        return path;
    };
    const std::filesystem::path older = record("First Steps", 1800000000, 3750, true);
    const std::filesystem::path newer = record("The Bridges", 1800003600, 600, false);
    ReplayMenu& menu = MenuManager::getInstance()->replays();
    std::vector<std::filesystem::path> asked;
    menu.play = [&asked](const std::filesystem::path& path) {
        asked.push_back(path);
        return std::string(ReplayLibrary::kChangedLevel);
    };
    chooseFromMainMenu(MainMenu::kReplaysItem);
    ASSERT_EQ(state(), REPLAYS);
    ASSERT_EQ(menu.entries().size(), 2u);
    EXPECT_EQ(menu.entries()[0].path, newer);
    const std::string line = ReplayMenu::lineOf(menu.entries()[1]);
    EXPECT_EQ(line.substr(0, 14), "First Steps   ");
    EXPECT_NE(line.find("1:02.5   finished"), std::string::npos) << line;
    EXPECT_NE(ReplayMenu::lineOf(menu.entries()[0]).find("0:10.0   not finished"), std::string::npos);

    press(GLFW_KEY_DOWN);
    press(GLFW_KEY_ENTER);
    EXPECT_EQ(asked, std::vector<std::filesystem::path>{older});
    EXPECT_EQ(state(), REPLAYS);
    EXPECT_EQ(menu.refusal(), ReplayLibrary::kChangedLevel);
    const FrameCapture refused = picture("replays_refused");
    EXPECT_GT(inkBetween(refused, 0.3f, 0.4f), 100) << "the list";
    EXPECT_GT(inkBetween(refused, 0.9f, 1.0f), 100) << "why the replay cannot be played";
    press(GLFW_KEY_UP);
    EXPECT_EQ(menu.refusal(), "");
    EXPECT_EQ(inkBetween(picture("replays"), 0.9f, 1.0f), 0);
    press(GLFW_KEY_ESCAPE);
    EXPECT_EQ(state(), MAIN_MENU);
}
