#include <gtest/gtest.h>

#include <GLFW/glfw3.h>

#include "GlStateSnapshot.h"
#include "OverlayTestSupport.h"
#include "app/GamepadInput.h"
#include "app/SettingsEffects.h"
#include "app/Window.h"
#include "core/GameState.h"
#include "core/PlayerFiles.h"
#include "core/Settings.h"
#include "core/StateManager.h"
#include "game/Camera.h"
#include "platform/Glfw.h"
#include "ui/ControlsHint.h"
#include "ui/HUD.h"
#include "ui/MainMenu.h"
#include "ui/MenuManager.h"
#include "ui/OptionsMenu.h"
#include "ui/Ortho.h"
#include "ui/PauseMenu.h"

namespace {

void press(int libraryKey) {
    Glfw::deliverKey(libraryKey, GLFW_PRESS);
    Glfw::deliverKey(libraryKey, GLFW_RELEASE);
}

void pressTimes(int libraryKey, int times) {
    for (int i = 0; i < times; ++i) {
        press(libraryKey);
    }
}

// The options over the game's own window; the settings file in the data root.
class OptionsMenuTest : public OverlayTest {
protected:
    void SetUp() override {
        OverlayTest::SetUp();
        Settings::active() = Settings{};
        options()->settingsFile = [this] { return data->root() / "settings.ini"; };
        options()->apply = [this](const Settings&) { ++applied; };
    }
    void TearDown() override {
        Settings::active() = Settings{};
        OverlayTest::TearDown();
    }

    MenuManager* menus() { return MenuManager::getInstance(); }
    OptionsMenu* options() { return menus()->getOptionsMenu(); }
    Menu* current() { return menus()->getCurrentMenu(); }
    Settings& settings() { return Settings::active(); }
    std::string savedFile() { return PlayerFiles::read(data->root() / "settings.ini").value_or(""); }

    void openFromMainMenu() {
        StateManager::getInstance()->setState(MAIN_MENU);
        current()->selection = MainMenu::kOptionsItem;
        press(GLFW_KEY_ENTER);
        ASSERT_EQ(current(), options());
    }
    // From the first page to the row `row` of `page` (1 Video, 2 Sound, 3 Controls).
    void openPage(int page, int row) {
        openFromMainMenu();
        pressTimes(GLFW_KEY_DOWN, page - 1);
        press(GLFW_KEY_ENTER);
        pressTimes(GLFW_KEY_DOWN, row);
    }

    int applied = 0;
};

TEST_F(OptionsMenuTest, TheOptionsOpenFromTheMainAndPauseMenusAndEscapeLeadsBackAPageAtATime) {
    openFromMainMenu();
    EXPECT_EQ(options()->page(), OptionsMenu::Page::Top);
    press(GLFW_KEY_ENTER);
    EXPECT_EQ(options()->page(), OptionsMenu::Page::Video);
    press(GLFW_KEY_ESCAPE);
    EXPECT_EQ(options()->page(), OptionsMenu::Page::Top);
    press(GLFW_KEY_ESCAPE);
    EXPECT_EQ(current(), menus()->menuOf(MAIN_MENU));
    EXPECT_EQ(StateManager::getInstance()->getState(), MAIN_MENU);

    StateManager::getInstance()->setState(IN_GAME);
    StateManager::getInstance()->setState(PAUSED);
    current()->selection = PauseMenu::kOptionsItem;
    press(GLFW_KEY_ENTER);
    ASSERT_EQ(current(), options());
    EXPECT_EQ(StateManager::getInstance()->getState(), PAUSED) << "the game stays paused behind them";
    pressTimes(GLFW_KEY_UP, 1);
    press(GLFW_KEY_ENTER);
    EXPECT_EQ(current(), menus()->menuOf(PAUSED)) << "Back, the last row, closes them too";
    EXPECT_EQ(current()->selection, PauseMenu::kOptionsItem);
}

TEST_F(OptionsMenuTest, LeftAndRightChangeAValueWhichIsAppliedAndWrittenAtOnce) {
    openPage(1, 3);
    ASSERT_EQ(options()->rows()[3].label, "Quality");
    EXPECT_EQ(options()->rows()[3].value, "auto");
    press(GLFW_KEY_LEFT);
    EXPECT_EQ(settings().quality, Settings::Quality::High);
    press(GLFW_KEY_LEFT);
    press(GLFW_KEY_LEFT);
    EXPECT_EQ(settings().quality, Settings::Quality::Low);
    EXPECT_FALSE(settings().shadows);
    EXPECT_EQ(applied, 3);
    EXPECT_NE(savedFile().find("preset = low"), std::string::npos);

    press(GLFW_KEY_DOWN);
    press(GLFW_KEY_ENTER);
    EXPECT_TRUE(settings().shadows);
    EXPECT_EQ(settings().quality, Settings::Quality::Custom) << "a switch of one's own is no preset";

    press(GLFW_KEY_ESCAPE);
    press(GLFW_KEY_DOWN);
    press(GLFW_KEY_ENTER);
    ASSERT_EQ(options()->page(), OptionsMenu::Page::Sound);
    pressTimes(GLFW_KEY_A, 3);
    press(GLFW_KEY_DOWN);
    pressTimes(GLFW_KEY_LEFT, 20);
    EXPECT_FLOAT_EQ(settings().masterVolume, 0.7f);
    EXPECT_FLOAT_EQ(settings().musicVolume, 0.0f) << "and no lower";
    EXPECT_EQ(Settings::load(data->root() / "settings.ini", Settings{}), settings());
}

TEST_F(OptionsMenuTest, ABindingTakesTheNextKeyOrButtonRefusesOneTakenAndResetBringsBackTheDefaults) {
    openPage(3, 2 + Bindings::Jump);
    ASSERT_EQ(options()->rows()[static_cast<std::size_t>(options()->selection)].label, "Jump");
    press(GLFW_KEY_ENTER);
    EXPECT_TRUE(options()->capturing());
    press(GLFW_KEY_1);
    EXPECT_FALSE(options()->capturing());
    EXPECT_EQ(settings().bindings.codeOf(Bindings::Jump), GlfwKeys::KEY_SPACE);
    EXPECT_EQ(options()->notice(), "1 is already bound to Screenshot")
        << "the screenshot key goes to the capture";

    press(GLFW_KEY_ENTER);
    press(GLFW_KEY_J);
    EXPECT_EQ(settings().bindings.codeOf(Bindings::Jump), 'J');
    EXPECT_EQ(options()->notice(), "Jump: J");

    press(GLFW_KEY_DOWN);
    press(GLFW_KEY_ENTER);
    Glfw::deliverMouseButton(GLFW_MOUSE_BUTTON_MIDDLE, GLFW_PRESS);
    EXPECT_EQ(settings().bindings.codeOf(Bindings::Boost), Bindings::kMouseButton + GLFW_MOUSE_BUTTON_MIDDLE);
    EXPECT_NE(savedFile().find("boost = 1002"), std::string::npos);

    press(GLFW_KEY_ENTER);
    press(GLFW_KEY_W);
    EXPECT_EQ(options()->notice(), "W is already bound to Roll forward");
    EXPECT_EQ(settings().bindings.codeOf(Bindings::Boost), Bindings::kMouseButton + GLFW_MOUSE_BUTTON_MIDDLE);

    pressTimes(GLFW_KEY_DOWN, Bindings::kActionCount - Bindings::Boost);
    ASSERT_EQ(options()->rows()[static_cast<std::size_t>(options()->selection)].label, "Reset to defaults");
    press(GLFW_KEY_ENTER);
    EXPECT_EQ(settings().bindings, Bindings{});
    EXPECT_NE(savedFile().find("jump = 32"), std::string::npos);
}

// Each page as it shows, written as a picture; every row has its ink and the chosen one its band.
TEST_F(OptionsMenuTest, EveryPageDrawsItsRowsAndLeavesTheStateAsFound) {
    const std::pair<int, const char*> pages[] = {{0, "top"}, {1, "video"}, {2, "sound"}, {3, "controls"}};
    for (const auto& [page, name] : pages) {
        SCOPED_TRACE(name);
        openFromMainMenu();
        if (page > 0) {
            pressTimes(GLFW_KEY_DOWN, page - 1);
            press(GLFW_KEY_ENTER);
            press(GLFW_KEY_DOWN);
        }
        const FrameCapture frame = drawOverlay();
        frame.save(std::string("options_") + name);
        const int rows = static_cast<int>(options()->rows().size());
        const int listTop = static_cast<int>(0.2f * static_cast<float>(windowHeight));
        const int listBottom = static_cast<int>(0.92f * static_cast<float>(windowHeight));
        EXPECT_GT(frame.countBrighter(0, listTop, windowWidth, listBottom, 150), rows * 20);
        EXPECT_GT(frame.countBrighter(0, 0, windowWidth, listTop / 2, 100), 100) << "the logo";
        const GlStateSnapshot before;
        Ortho::getInstance()->render();
        EXPECT_EQ(GlStateSnapshot().changesSince(before), "");
        press(GLFW_KEY_ESCAPE);
        if (page > 0) {
            press(GLFW_KEY_ESCAPE);
        }
    }
}

// How far the ink of the HUD's bars (the row with the most ink near the top) sits from
// the middle of the window.
double barsOffCentre(const FrameCapture& frame, int width, int height) {
    int bestRow = 0;
    int bestLit = 0;
    for (int y = 0; y < height / 5; ++y) {
        const int lit = frame.countBrighter(0, y, width, y + 1, 300);
        if (lit > bestLit) {
            bestLit = lit;
            bestRow = y;
        }
    }
    EXPECT_GT(bestLit, width / 4) << "the bars are drawn, their textures alive";
    int left = 0;
    while (left < width && frame.brightness(left, bestRow) <= 300) {
        ++left;
    }
    int right = width - 1;
    while (right > 0 && frame.brightness(right, bestRow) <= 300) {
        --right;
    }
    return (left + right) / 2.0 - width / 2.0;
}

TEST_F(OptionsMenuTest, TheWindowChangesSizeAndGoesFullScreenAndBackWithTheHudPlacedForEachSize) {
    StateManager::getInstance()->setState(IN_GAME);
    level.gauges = LevelLink::Gauges{0.8f, 0.5f};
    setupProjection();
    const double offset = barsOffCentre(drawOverlay(), windowWidth, windowHeight);
    // The bars sit as far from the middle at every size: centred on the new width.
    const auto switchTo = [this, offset](int width, int height, bool fullscreen) {
        settings().width = width;
        settings().height = height;
        settings().fullscreen = fullscreen;
        SettingsEffects::apply(settings());
        Glfw::getWindowSize(windowWidth, windowHeight);
        // The frame the switch happened in ends with a swap; the next is drawn at the new size.
        drawOverlay();
        Glfw::swapBuffers();
        setupProjection();
        const FrameCapture frame = drawOverlay();
        frame.save("options_window_" + std::to_string(windowWidth) + "x" + std::to_string(windowHeight));
        EXPECT_NEAR(barsOffCentre(frame, windowWidth, windowHeight), offset, 1.0) << windowWidth;
    };
    switchTo(800, 600, false);
    EXPECT_EQ(windowWidth, 800);
    EXPECT_EQ(windowHeight, 600);
    EXPECT_FALSE(Glfw::isFullscreen());
    EXPECT_EQ(Ortho::windowSize().width, 800);

    const std::vector<std::pair<int, int>> modes = Glfw::videoModes();
    ASSERT_FALSE(modes.empty());
    EXPECT_EQ(SettingsEffects::windowSizes(true), modes);
    switchTo(modes.back().first, modes.back().second, true);
    EXPECT_TRUE(Glfw::isFullscreen());
    EXPECT_EQ(std::make_pair(windowWidth, windowHeight), modes.back());

    switchTo(640, 480, false);
    EXPECT_FALSE(Glfw::isFullscreen());
    EXPECT_EQ(windowWidth, 640);
    EXPECT_EQ(windowHeight, 480);
}

// The gamepad through the state delivered to the window library, as the game reads it each frame.
class GamepadMenuTest : public OptionsMenuTest {
protected:
    void SetUp() override {
        OptionsMenuTest::SetUp();
        HUD::getInstance();
    }
    void frame(const Glfw::GamepadState& state) {
        Glfw::deliverGamepad(state);
        input.update(16.0);
    }
    // Pressed for a frame and let go for the next.
    void tap(int button) {
        Glfw::GamepadState state = pad;
        state.buttons[button] = true;
        frame(state);
        frame(pad);
    }
    std::vector<std::string> messages() {
        std::vector<std::string> texts;
        for (const HUD::Message& message : HUD::getInstance()->messages) {
            texts.push_back(message.text);
        }
        return texts;
    }

    GamepadInput input;
    Glfw::GamepadState pad = [] {
        Glfw::GamepadState state;
        state.connected = true;
        state.name = "Test Pad";
        return state;
    }();
};

TEST_F(GamepadMenuTest, TheDPadAndLeftStickMoveThroughMenusAChoosesAndBGoesBack) {
    StateManager::getInstance()->setState(MAIN_MENU);
    frame(pad);
    EXPECT_EQ(messages(), std::vector<std::string>{"Gamepad connected: Test Pad"});
    for (int i = 0; i < MainMenu::kOptionsItem; ++i) {
        tap(GlfwKeys::GAMEPAD_DPAD_DOWN);
    }
    EXPECT_EQ(current()->selection, MainMenu::kOptionsItem);
    tap(GlfwKeys::GAMEPAD_A);
    ASSERT_EQ(current(), options());

    Glfw::GamepadState leaning = pad;
    leaning.axes[GlfwKeys::GAMEPAD_LEFT_Y] = 0.9f;
    frame(leaning);
    frame(leaning);
    EXPECT_EQ(options()->selection, 1) << "one step per lean, however long it is held";
    frame(pad);
    tap(GlfwKeys::GAMEPAD_A);
    EXPECT_EQ(options()->page(), OptionsMenu::Page::Sound);
    tap(GlfwKeys::GAMEPAD_DPAD_LEFT);
    EXPECT_FLOAT_EQ(settings().masterVolume, 0.9f);
    tap(GlfwKeys::GAMEPAD_B);
    tap(GlfwKeys::GAMEPAD_B);
    EXPECT_EQ(current(), menus()->menuOf(MAIN_MENU));
}

TEST_F(GamepadMenuTest, StartPausesTheRightStickTurnsTheCameraAndLosingThePadInPlayPauses) {
    StateManager::getInstance()->setState(IN_GAME);
    frame(pad);
    Camera* camera = Camera::getInstance();
    const float yaw = camera->yawTarget;
    Glfw::GamepadState looking = pad;
    looking.axes[GlfwKeys::GAMEPAD_RIGHT_X] = 1.0f;
    frame(looking);
    EXPECT_NEAR(camera->yawTarget - yaw, GamepadInput::kLookPixelsPerSecond * 0.016f * 0.5f, 0.5f)
        << "a full lean for 16 ms turns as the mouse moving 5.76 pixels";
    frame(pad);

    tap(GlfwKeys::GAMEPAD_START);
    EXPECT_EQ(StateManager::getInstance()->getState(), PAUSED);
    tap(GlfwKeys::GAMEPAD_START);
    EXPECT_EQ(StateManager::getInstance()->getState(), IN_GAME) << "Start in the pause menu goes back";

    frame(Glfw::GamepadState{});
    EXPECT_EQ(StateManager::getInstance()->getState(), PAUSED);
    EXPECT_EQ(messages().back(), "Gamepad disconnected");
}

TEST(ControlsHintKeysTest, TheHintNamesTheKeysAsTheyAreBound) {
    Settings::active() = Settings{};
    EXPECT_EQ(ControlsHint::lines()[0], "W A S D: roll    Space: jump (hold: higher)");
    EXPECT_EQ(ControlsHint::lines()[1], "Left mouse: boost    Right mouse: brake");
    Settings::active().bindings.bind(Bindings::Jump, 'J');
    Settings::active().bindings.bind(Bindings::Boost, GlfwKeys::KEY_LSHIFT);
    EXPECT_EQ(ControlsHint::lines()[0], "W A S D: roll    J: jump (hold: higher)");
    EXPECT_EQ(ControlsHint::lines()[1], "Left Shift: boost    Right mouse: brake");
    Settings::active() = Settings{};
}

} // namespace
