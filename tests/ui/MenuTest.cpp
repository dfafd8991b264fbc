#include <gtest/gtest.h>

#include <GLFW/glfw3.h>
#include <chrono>
#include <map>
#include <thread>

#include "GlStateSnapshot.h"
#include "OverlayTestSupport.h"
#include "SoundTestSupport.h"
#include "app/Window.h"
#include "core/ConfigManager.h"
#include "core/StateManager.h"
#include "core/TimeManager.h"
#include "platform/Glfw.h"
#include "render/TextureLoader.h"
#include "ui/HUD.h"
#include "ui/LoadingMenu.h"
#include "ui/Menu.h"
#include "ui/MenuManager.h"
#include "ui/Ortho.h"

namespace {

// Each menu sound as a tone of its own pitch.
const std::map<std::string, float> kMenuSounds = {{Menu::kClickSound, 1000.0f},
                                                  {Menu::kClick2Sound, 1300.0f},
                                                  {Menu::kStartGameSound, 500.0f},
                                                  {Menu::kGameOverSound, 300.0f},
                                                  {Menu::kGameWinSound, 700.0f}};

std::string shortName(const std::string& file) {
    return file.substr(file.rfind('/') + 1);
}

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

} // namespace

class MenuTest : public OverlayTest {
protected:
    MenuTest() : recordingFile(useWaveRecorder()) {}

    void SetUp() override {
        OverlayTest::SetUp();
        for (const auto& [file, pitch] : kMenuSounds) {
            writeOgg(data->root() / file.substr(3), {1, 22050, pitch, 0.15f});
        }
    }

    MenuManager* menus() { return MenuManager::getInstance(); }

    // Reaches `target` the way the game does, with the menus in place.
    void goTo(int target) {
        menus();
        if (target == LOADING || target == LEVEL_SELECT || target == REPLAYS) {
            setState(MAIN_MENU);
        } else if (target == PAUSED || target == GAME_OVER || target == LEVEL_COMPLETE) {
            setState(IN_GAME);
        }
        setState(target);
    }

    // Menu sounds started so far, by file: sources that hold the sound and have left their initial state.
    std::map<std::string, int> playCounts() {
        std::map<std::string, int> counts;
        SoundManager* sounds = SoundManager::getInstance();
        for (SoundSource* source : sounds->getAllSources()) {
            ALint buffer = 0;
            alGetSourcei(source->getSource(), AL_BUFFER, &buffer);
            for (const auto& [file, pitch] : kMenuSounds) {
                if (buffer != 0 && static_cast<ALuint>(buffer) == sounds->getBuffer(file) &&
                    source->getState() != AL_INITIAL) {
                    ++counts[file];
                }
            }
        }
        return counts;
    }

    bool anyPlaying() {
        const auto sources = SoundManager::getInstance()->getAllSources();
        return std::any_of(sources.begin(), sources.end(),
                           [](SoundSource* source) { return source->isPlaying(); });
    }

    // The sounds that started while `action` ran, by short name.
    template <typename Action> std::vector<std::string> soundsOf(Action action) {
        const auto before = playCounts();
        action();
        std::vector<std::string> started;
        for (const auto& [file, count] : playCounts()) {
            const auto old = before.find(file);
            for (int i = old == before.end() ? 0 : old->second; i < count; ++i) {
                started.push_back(shortName(file));
            }
        }
        return started;
    }

    std::filesystem::path recordingFile;
};

// One row of the menu key table: from a menu with an item highlighted, a key leads to a state and a sound.
struct KeyRow {
    const char* name;
    int menuState;
    int selection;
    int key;
    int expectedState;
    const char* sound; // empty: none
    int expectedSelection;
};

class MenuKeyTest : public MenuTest, public ::testing::WithParamInterface<KeyRow> {};

TEST_P(MenuKeyTest, KeyReachesItsStateWithItsSound) {
    const KeyRow& row = GetParam();
    goTo(row.menuState);
    Menu* menu = menus()->menuOf(row.menuState);
    menu->selection = row.selection;
    const std::vector<std::string> sounds = soundsOf([&] { press(row.key); });
    EXPECT_EQ(state(), row.expectedState);
    EXPECT_EQ(sounds, *row.sound ? std::vector<std::string>{row.sound} : std::vector<std::string>{});
    EXPECT_EQ(menu->selection, row.expectedSelection);
    const bool respawns = row.menuState == GAME_OVER && row.expectedState == IN_GAME;
    EXPECT_EQ(std::count(level.calls.begin(), level.calls.end(), "respawn"), respawns ? 1 : 0);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, MenuKeyTest,
    ::testing::Values(
        KeyRow{"MainW", MAIN_MENU, 0, GLFW_KEY_W, MAIN_MENU, "click.ogg", 5},
        KeyRow{"MainS", MAIN_MENU, 5, GLFW_KEY_S, MAIN_MENU, "click.ogg", 0},
        KeyRow{"MainUp", MAIN_MENU, 2, GLFW_KEY_UP, MAIN_MENU, "click.ogg", 1},
        KeyRow{"MainDown", MAIN_MENU, 0, GLFW_KEY_DOWN, MAIN_MENU, "click.ogg", 1},
        KeyRow{"MainEnterNewGame", MAIN_MENU, 0, GLFW_KEY_ENTER, LOADING, "startgame.ogg", 0},
        KeyRow{"MainKeypadEnterNewGame", MAIN_MENU, 0, GLFW_KEY_KP_ENTER, LOADING, "startgame.ogg", 0},
        KeyRow{"MainEnterContinue", MAIN_MENU, 1, GLFW_KEY_ENTER, LOADING, "startgame.ogg", 1},
        KeyRow{"MainEnterLevels", MAIN_MENU, 2, GLFW_KEY_ENTER, LEVEL_SELECT, "click2.ogg", 2},
        KeyRow{"MainEnterReplays", MAIN_MENU, 3, GLFW_KEY_ENTER, REPLAYS, "click2.ogg", 3},
        KeyRow{"MainEnterExit", MAIN_MENU, 5, GLFW_KEY_ENTER, EXIT, "click2.ogg", 5},
        KeyRow{"MainKeypadEnterExit", MAIN_MENU, 5, GLFW_KEY_KP_ENTER, EXIT, "click2.ogg", 5},
        KeyRow{"MainEscape", MAIN_MENU, 0, GLFW_KEY_ESCAPE, EXIT, "click2.ogg", 0},
        KeyRow{"PauseW", PAUSED, 0, GLFW_KEY_W, PAUSED, "click.ogg", 2},
        KeyRow{"PauseDown", PAUSED, 2, GLFW_KEY_DOWN, PAUSED, "click.ogg", 0},
        KeyRow{"PauseEnterContinue", PAUSED, 0, GLFW_KEY_ENTER, IN_GAME, "click2.ogg", 0},
        KeyRow{"PauseKeypadEnterMainMenu", PAUSED, 1, GLFW_KEY_KP_ENTER, MAIN_MENU, "click2.ogg", 1},
        KeyRow{"PauseEnterMainMenu", PAUSED, 1, GLFW_KEY_ENTER, MAIN_MENU, "click2.ogg", 1},
        KeyRow{"PauseEscape", PAUSED, 1, GLFW_KEY_ESCAPE, IN_GAME, "click2.ogg", 1},
        KeyRow{"GameOverS", GAME_OVER, 0, GLFW_KEY_S, GAME_OVER, "click.ogg", 1},
        KeyRow{"GameOverUp", GAME_OVER, 1, GLFW_KEY_UP, GAME_OVER, "click.ogg", 0},
        KeyRow{"GameOverEnterRespawn", GAME_OVER, 0, GLFW_KEY_ENTER, IN_GAME, "click2.ogg", 0},
        KeyRow{"GameOverEnterMainMenu", GAME_OVER, 1, GLFW_KEY_ENTER, MAIN_MENU, "click2.ogg", 1},
        KeyRow{"GameOverEscape", GAME_OVER, 0, GLFW_KEY_ESCAPE, MAIN_MENU, "click2.ogg", 0},
        KeyRow{"LevelCompleteEnter", LEVEL_COMPLETE, 0, GLFW_KEY_ENTER, MAIN_MENU, "click2.ogg", 0},
        KeyRow{"LevelCompleteKeypadEnter", LEVEL_COMPLETE, 0, GLFW_KEY_KP_ENTER, MAIN_MENU, "click2.ogg", 0},
        KeyRow{"LevelCompleteW", LEVEL_COMPLETE, 0, GLFW_KEY_W, LEVEL_COMPLETE, "click.ogg", 0},
        KeyRow{"LevelCompleteEscape", LEVEL_COMPLETE, 0, GLFW_KEY_ESCAPE, MAIN_MENU, "click2.ogg", 0},
        KeyRow{"LevelSelectEnter", LEVEL_SELECT, 0, GLFW_KEY_ENTER, LOADING, "startgame.ogg", 0},
        KeyRow{"LevelSelectDown", LEVEL_SELECT, 0, GLFW_KEY_DOWN, LEVEL_SELECT, "click.ogg", 0},
        KeyRow{"LevelSelectEscape", LEVEL_SELECT, 0, GLFW_KEY_ESCAPE, MAIN_MENU, "click2.ogg", 0},
        KeyRow{"ReplaysEscape", REPLAYS, 0, GLFW_KEY_ESCAPE, MAIN_MENU, "click2.ogg", 0},
        KeyRow{"ReplaysEnterWithoutReplays", REPLAYS, 0, GLFW_KEY_ENTER, REPLAYS, "click.ogg", 0},
        KeyRow{"LoadingEnter", LOADING, 0, GLFW_KEY_ENTER, LOADING, "", 0},
        KeyRow{"LoadingEscape", LOADING, 0, GLFW_KEY_ESCAPE, LOADING, "", 0},
        KeyRow{"LoadingW", LOADING, 0, GLFW_KEY_W, LOADING, "", 0}),
    [](const ::testing::TestParamInfo<KeyRow>& info) { return std::string(info.param.name); });

TEST_F(MenuTest, AReleaseOrARepeatDoesNothingInAnyMenu) {
    for (const int menuState : {MAIN_MENU, LOADING, PAUSED, LEVEL_COMPLETE, GAME_OVER}) {
        SCOPED_TRACE(menuState);
        goTo(menuState);
        Menu* menu = menus()->getCurrentMenu();
        ASSERT_EQ(menu, menus()->menuOf(menuState));
        const std::vector<std::string> sounds = soundsOf([&] {
            for (const int key : {GLFW_KEY_W, GLFW_KEY_S, GLFW_KEY_UP, GLFW_KEY_DOWN, GLFW_KEY_ENTER,
                                  GLFW_KEY_KP_ENTER, GLFW_KEY_ESCAPE}) {
                Glfw::deliverKey(key, GLFW_REPEAT);
                Glfw::deliverKey(key, GLFW_RELEASE);
                menu->keyEvent(Glfw::translateKey(key), GLFW_REPEAT);
            }
        });
        EXPECT_TRUE(sounds.empty());
        EXPECT_EQ(state(), menuState);
        EXPECT_EQ(menu->selection, 0);
    }
}

TEST_F(MenuTest, EnteringAMenuPlaysItsSoundAndResetsItsHighlight) {
    menus()->menuOf(PAUSED)->selection = 1;
    menus()->menuOf(GAME_OVER)->selection = 1;
    menus()->menuOf(MAIN_MENU)->selection = 1;
    EXPECT_EQ(soundsOf([&] { goTo(MAIN_MENU); }), std::vector<std::string>{});
    EXPECT_EQ(menus()->menuOf(MAIN_MENU)->selection, 0);
    EXPECT_EQ(soundsOf([&] { goTo(LOADING); }), std::vector<std::string>{});
    EXPECT_EQ(soundsOf([&] { goTo(PAUSED); }), std::vector<std::string>{"click2.ogg"});
    EXPECT_EQ(menus()->menuOf(PAUSED)->selection, 0);
    EXPECT_EQ(soundsOf([&] { goTo(GAME_OVER); }), std::vector<std::string>{"gameover.ogg"});
    EXPECT_EQ(menus()->menuOf(GAME_OVER)->selection, 0);
    EXPECT_EQ(soundsOf([&] { goTo(LEVEL_COMPLETE); }), std::vector<std::string>{"gamewin.ogg"});
    EXPECT_EQ(level.calls, (std::vector<std::string>{"leave", "load 0", "resume", "settle 0", "pause",
                                                     "resume", "pause", "resume", "pause"}));
}

TEST_F(MenuTest, TheClickIsWhatComesOutOfTheDevice) {
    goTo(MAIN_MENU);
    press(GLFW_KEY_DOWN);
    // The mixer runs in real time; on a busy machine it may lag behind.
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    for (int wait = 0; wait < 50 && anyPlaying(); ++wait) {
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    MenuManager::destroy();
    SoundManager::destroy(); // closing the device completes the file
    const Recording recording = readRecording(recordingFile);
    EXPECT_GT(recording.peak(), 0.1f);
    EXPECT_NEAR(recording.soundingSeconds(), 0.15f, 0.03f);
    EXPECT_NEAR(recording.pitch(), 1000.0f, 10.0f);
}

TEST_F(MenuTest, MusicLoopsOutsidePlayAndIsNotRestartedBetweenMenus) {
    writeOgg(data->root() / "sounds/menu/background.ogg", {1, 22050, 200.0f, 3.0f});
    SoundSource* music = menus()->getMusic();
    ASSERT_NE(music, nullptr);
    ALint looping = AL_FALSE;
    alGetSourcei(music->getSource(), AL_LOOPING, &looping);
    EXPECT_EQ(looping, AL_TRUE);
    EXPECT_FALSE(music->isPlaying());

    goTo(MAIN_MENU);
    EXPECT_TRUE(music->isPlaying());
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    ALfloat offset = 0.0f;
    alGetSourcef(music->getSource(), AL_SEC_OFFSET, &offset);
    setState(LOADING);
    ALfloat later = 0.0f;
    alGetSourcef(music->getSource(), AL_SEC_OFFSET, &later);
    EXPECT_GE(later, offset) << "a change between menus must not restart the music";
    setState(IN_GAME);
    EXPECT_FALSE(music->isPlaying());
    for (const int menuState : {PAUSED, GAME_OVER, LEVEL_COMPLETE}) {
        setState(menuState);
        EXPECT_TRUE(music->isPlaying());
        setState(IN_GAME);
        EXPECT_FALSE(music->isPlaying());
    }
}

TEST_F(MenuTest, LoadingScreenStartsPlayOnceTheFirstLevelIsIn) {
    goTo(LOADING);
    EXPECT_EQ(level.calls, (std::vector<std::string>{"leave", "load 0"}));
    std::filesystem::copy(data->root() / "textures/MainMenu/logo.png", data->root() / "textures/late.png");
    TextureLoader::getInstance()->addTexture("../textures/late.png", GL_REPEAT);
    LogCapture log;
    for (const int frame : {40, 120, 30}) {
        advanceClock(frame);
        menus()->getCurrentMenu()->update();
    }
    EXPECT_EQ(state(), LOADING);
    EXPECT_GT(TextureLoader::getInstance()->countPending(), 0);

    level.firstLevelReady = true;
    advanceClock(20);
    menus()->getCurrentMenu()->update();
    EXPECT_EQ(state(), IN_GAME);
    EXPECT_EQ(menus()->getCurrentMenu(), nullptr);
    EXPECT_EQ(TextureLoader::getInstance()->countPending(), 0);
    EXPECT_EQ(level.calls.back(), "settle 0") << "the level after it loads behind play";
    // The first frame carries the key press that opened the screen and is not counted.
    EXPECT_EQ(log.count("INFO", "Longest frame of the loading screen: 120 ms"), 1);
}

TEST_F(MenuTest, AFirstLevelThatCannotBePlayedLeavesTheLoadingScreenForTheMainMenuWhichSaysWhy) {
    goTo(LOADING);
    advanceClock(30);
    menus()->getCurrentMenu()->update();
    EXPECT_EQ(state(), LOADING);

    level.loadError = "The scene file '../levels/level1/level1.scene' could not be read.";
    LogCapture log;
    advanceClock(30);
    menus()->getCurrentMenu()->update();
    EXPECT_EQ(state(), MAIN_MENU);
    EXPECT_EQ(log.count("INFO", "Longest frame of the loading screen: 30 ms"), 1);
    const FrameCapture frame = drawOverlay();
    frame.save("menu_main_load_failed");
    const int noticeTop = kHeight * 85 / 100;
    EXPECT_EQ(frame.countBrighter(0, kHeight * 83 / 100, kWidth, noticeTop, 150), 0);
    EXPECT_GT(frame.countBrighter(0, noticeTop, kWidth, noticeTop + 16, 150), 100) << "the first line";
    EXPECT_GT(frame.countBrighter(0, noticeTop + 18, kWidth, noticeTop + 34, 150), 100) << "the reason";
    EXPECT_GT(frame.countBrighter(0, kHeight * 70 / 100, kWidth, kHeight * 82 / 100, 150), 50) << "the items";

    // A new game tries the level again.
    level.loadError.clear();
    press(GLFW_KEY_ENTER);
    EXPECT_EQ(state(), LOADING);
    EXPECT_EQ(std::count(level.calls.begin(), level.calls.end(), "load 0"), 2);
}

TEST_F(MenuTest, LoadingImagePulsesAroundSixtyPercent) {
    EXPECT_FLOAT_EQ(LoadingMenu::pulse(0), 0.6f);
    EXPECT_NEAR(LoadingMenu::pulse(1571), 1.0f, 1e-4f);
    EXPECT_NEAR(LoadingMenu::pulse(4712), 0.2f, 1e-4f);
    goTo(LOADING);
    const int top = kHeight * 7 / 10;
    const int bright = drawOverlay().countBrighter(0, top, kWidth, top + kHeight / 10, 200);
    advanceClock(4712);
    const int dim = drawOverlay().countBrighter(0, top, kWidth, top + kHeight / 10, 200);
    EXPECT_GT(bright, 50);
    EXPECT_LT(dim, bright / 2);
}

TEST_F(MenuTest, ThePauseKeyIsReleasedWhenPlayIsLeftForTheMainMenu) {
    writeOgg(data->root() / "sounds/long.ogg", {1, 22050, 440.0f, 3.0f});
    goTo(IN_GAME);
    SoundManager::getInstance()->playSound("../sounds/long.ogg");
    press(GLFW_KEY_P);
    ASSERT_TRUE(TimeManager::getInstance()->paused);
    SoundSource* held = nullptr;
    for (SoundSource* source : SoundManager::getInstance()->getAllSources()) {
        held = source->isPaused() ? source : held;
    }
    ASSERT_NE(held, nullptr);

    press(GLFW_KEY_ESCAPE);
    ASSERT_EQ(state(), PAUSED);
    press(GLFW_KEY_DOWN);
    press(GLFW_KEY_ENTER);
    ASSERT_EQ(state(), MAIN_MENU);
    EXPECT_FALSE(TimeManager::getInstance()->paused);
    EXPECT_TRUE(held->isPlaying());
}

TEST_F(MenuTest, MenusTakeEveryKeyButTheScreenshotKeyAndOptionKeysActOnlyInPlay) {
    Config* config = ConfigManager::getInstance()->getMainConfig();
    const int renderMode = config->renderMode;
    press(GLFW_KEY_F6); // no menu, but not in play either
    EXPECT_EQ(config->renderMode, renderMode);

    goTo(MAIN_MENU);
    press(GLFW_KEY_F6);
    press(GLFW_KEY_P);
    EXPECT_EQ(config->renderMode, renderMode);
    EXPECT_FALSE(TimeManager::getInstance()->paused);
    EXPECT_TRUE(HUD::getInstance()->messages.empty());
    const std::vector<std::string> sounds = soundsOf([] { press(GLFW_KEY_1); });
    EXPECT_TRUE(sounds.empty());
    EXPECT_TRUE(windowState.screenshotRequested);
    EXPECT_EQ(state(), MAIN_MENU);
    press(GLFW_KEY_ESCAPE);
    EXPECT_EQ(state(), EXIT) << "Escape is the main menu's, not the pause key";

    setState(IN_GAME);
    press(GLFW_KEY_F6);
    EXPECT_NE(config->renderMode, renderMode);
}

TEST_F(MenuTest, DrawingAMenuLeavesTheStateAsFound) {
    for (const int menuState : {MAIN_MENU, LOADING, PAUSED, LEVEL_COMPLETE, GAME_OVER}) {
        SCOPED_TRACE(menuState);
        goTo(menuState);
        drawOverlay();
        glColor4f(0.5f, 0.25f, 0.125f, 1.0f);
        glEnableClientState(GL_TEXTURE_COORD_ARRAY);
        const GlStateSnapshot before;
        Ortho::getInstance()->render();
        EXPECT_EQ(GlStateSnapshot().changesSince(before), "");
        glDisableClientState(GL_TEXTURE_COORD_ARRAY);
    }
}

// The five screens at two window sizes, written as pictures to look at.
class MenuPictureTest : public MenuTest, public ::testing::WithParamInterface<std::pair<int, int>> {
protected:
    MenuPictureTest() {
        windowWidth = GetParam().first;
        windowHeight = GetParam().second;
    }

    FrameCapture show(int menuState, const std::string& name) {
        goTo(menuState);
        const FrameCapture frame = drawOverlay();
        frame.save("menu_" + name + "_" + std::to_string(windowWidth) + "x" + std::to_string(windowHeight));
        return frame;
    }

    // Ink in the rows [from, to) as fractions of the window height.
    int inkBetween(const FrameCapture& frame, float from, float to) const {
        return frame.countBrighter(0, static_cast<int>(from * windowHeight), windowWidth,
                                   static_cast<int>(to * windowHeight), 150);
    }
};

TEST_P(MenuPictureTest, TheMainMenuShowsASmallerLogoOverSixItems) {
    const FrameCapture frame = show(MAIN_MENU, "main");
    EXPECT_GT(inkBetween(frame, 0.0f, 0.36f), 1000) << "logo";
    EXPECT_EQ(inkBetween(frame, 0.37f, 0.45f), 0);
    for (const float row : {0.46f, 0.52f, 0.58f, 0.64f, 0.70f, 0.76f}) {
        EXPECT_GT(inkBetween(frame, row, row + 0.06f), 50) << "item at " << row;
    }
    EXPECT_EQ(inkBetween(frame, 0.83f, 1.0f), 0);
}

TEST_P(MenuPictureTest, ChoiceMenusShowTheLogoOverTheirItems) {
    const FrameCapture gameOver = show(GAME_OVER, "gameover");
    EXPECT_EQ(gameOver.brightness(0, 0), 0);
    EXPECT_EQ(gameOver.brightness(windowWidth - 1, windowHeight - 1), 0);
    EXPECT_GT(inkBetween(gameOver, 0.0f, 0.6f), 1000) << "logo";
    EXPECT_EQ(inkBetween(gameOver, 0.61f, 0.69f), 0);
    EXPECT_GT(inkBetween(gameOver, 0.70f, 0.76f), 50) << "first item";
    EXPECT_GT(inkBetween(gameOver, 0.76f, 0.82f), 50) << "second item";
    EXPECT_EQ(inkBetween(gameOver, 0.83f, 1.0f), 0);

    // Continue, Main Menu and Options: a third item lifts the column and shrinks the logo.
    const FrameCapture pause = show(PAUSED, "pause");
    EXPECT_GT(inkBetween(pause, 0.0f, 0.54f), 1000) << "logo";
    EXPECT_EQ(inkBetween(pause, 0.55f, 0.63f), 0);
    for (const float row : {0.64f, 0.70f, 0.76f}) {
        EXPECT_GT(inkBetween(pause, row, row + 0.06f), 50) << "item at " << row;
    }
    EXPECT_EQ(inkBetween(pause, 0.83f, 1.0f), 0);
}

TEST_P(MenuPictureTest, TheHighlightFollowsTheSelection) {
    goTo(MAIN_MENU);
    auto orange = [&](const FrameCapture& frame, float from) {
        int count = 0;
        for (int y = static_cast<int>(from * windowHeight);
             y < static_cast<int>((from + 0.06f) * windowHeight); ++y) {
            for (int x = 0; x < windowWidth; ++x) {
                const FrameCapture::Pixel p = frame.at(x, y);
                count += p[0] > 200 && p[2] < 120 ? 1 : 0;
            }
        }
        return count;
    };
    const FrameCapture first = drawOverlay();
    press(GLFW_KEY_DOWN);
    const FrameCapture second = drawOverlay();
    EXPECT_GT(orange(first, 0.46f), 20);
    EXPECT_EQ(orange(first, 0.52f), 0);
    EXPECT_EQ(orange(second, 0.46f), 0);
    EXPECT_GT(orange(second, 0.52f), 20);
}

TEST_P(MenuPictureTest, LoadingAndLevelCompleteScreens) {
    const FrameCapture loading = show(LOADING, "loading");
    EXPECT_GT(inkBetween(loading, 0.0f, 0.6f), 1000);
    EXPECT_GT(inkBetween(loading, 0.70f, 0.80f), 50);
    EXPECT_GT(inkBetween(loading, 0.81f, 0.90f), 50) << "the level's name";
    EXPECT_EQ(inkBetween(loading, 0.91f, 1.0f), 0);

    const FrameCapture complete = show(LEVEL_COMPLETE, "levelcomplete");
    EXPECT_GT(inkBetween(complete, 0.0f, 0.35f), 1000);
    EXPECT_GT(inkBetween(complete, 0.36f, 0.52f), 200) << "title";
    EXPECT_GT(inkBetween(complete, 0.54f, 0.74f), 200) << "times";
    EXPECT_GT(inkBetween(complete, 0.78f, 0.84f), 50) << "main menu";
    EXPECT_EQ(inkBetween(complete, 0.85f, 1.0f), 0) << "the only level: no next one";
}

INSTANTIATE_TEST_SUITE_P(Sizes, MenuPictureTest,
                         ::testing::Values(std::pair<int, int>{640, 480}, std::pair<int, int>{1280, 720}),
                         [](const auto& info) {
                             return std::to_string(info.param.first) + "x" +
                                    std::to_string(info.param.second);
                         });

class SmallMenuTest : public MenuTest {
protected:
    SmallMenuTest() {
        windowWidth = 400;
        windowHeight = 600;
    }
};

// 1024 x 512 fitted into 60 % of 600 rows is 720 wide; the width then shrinks it to 400 x 200.
TEST_F(SmallMenuTest, ALogoWiderThanTheWindowShrinksToFitItsWidth) {
    goTo(MAIN_MENU);
    const FrameCapture frame = drawOverlay();
    frame.save("menu_main_400x600");
    EXPECT_GT(frame.countBrighter(0, 0, 400, 200, 150), 1000);
    EXPECT_EQ(frame.countBrighter(0, 202, 400, 270, 150), 0) << "clear down to the six items";
    // The letters reach close to both edges, as a logo as wide as the window does.
    EXPECT_GT(frame.countBrighter(0, 0, 60, 200, 150), 20);
    EXPECT_GT(frame.countBrighter(340, 0, 400, 200, 150), 20);
}
