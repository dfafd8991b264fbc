#include <GLFW/glfw3.h>
#include <X11/Xlib.h>
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "GlTest.h"
#include "app/Window.h"
#include "core/StateManager.h"
#include "game/Camera.h"
#include "platform/Glfw.h"
#include "ui/HUD.h"

namespace {

void press(int libraryKey) {
    Glfw::deliverKey(libraryKey, GLFW_PRESS);
    Glfw::deliverKey(libraryKey, GLFW_RELEASE);
}

void enter(int state) {
    StateManager::getInstance()->setState(state);
}

bool locked() {
    EXPECT_EQ(Glfw::isCursorHidden(), !windowState.cursorVisible) << "the window and the globals disagree";
    return Glfw::isCursorHidden();
}

std::string lastMessage() {
    const auto& messages = HUD::getInstance()->messages;
    return messages.empty() ? "" : messages.back().text;
}

} // namespace

// The game's own window with its callbacks, at the main menu as after start-up.
class MouseLookTest : public GlTest {
protected:
    bool openWindow() override { return initGLFW(); }
    void SetUp() override {
        GlTest::SetUp();
        enter(MAIN_MENU);
    }
};

TEST_F(MouseLookTest, TheCursorIsLockedInPlayAndFreeInEveryMenu) {
    EXPECT_FALSE(locked());
    enter(LOADING);
    EXPECT_FALSE(locked());
    enter(IN_GAME);
    EXPECT_TRUE(locked());
    for (const int menu : {PAUSED, GAME_OVER, LEVEL_COMPLETE, MAIN_MENU}) {
        enter(menu);
        EXPECT_FALSE(locked()) << "state " << menu;
        enter(IN_GAME);
        EXPECT_TRUE(locked()) << "back from state " << menu;
    }
}

TEST_F(MouseLookTest, LosingTheFocusFreesTheCursorAndRegainingItInPlayLocksItAgain) {
    enter(IN_GAME);
    Glfw::deliverFocus(false);
    EXPECT_FALSE(locked());
    Glfw::deliverFocus(true);
    EXPECT_TRUE(locked());

    // Focus regained in a menu leaves the cursor free; play locks it once the window has the focus.
    Glfw::deliverFocus(false);
    enter(PAUSED);
    Glfw::deliverFocus(true);
    EXPECT_FALSE(locked());
    Glfw::deliverFocus(false);
    enter(IN_GAME);
    EXPECT_FALSE(locked()) << "a window without the focus must not hold the pointer";
    Glfw::deliverFocus(true);
    EXPECT_TRUE(locked());
}

TEST_F(MouseLookTest, KeyTwoFreesAndLocksInPlayAndSaysWhatTheMouseDoes) {
    enter(IN_GAME);
    press(GLFW_KEY_2);
    EXPECT_FALSE(locked());
    EXPECT_EQ(lastMessage(), "Mouse look: free");
    // The player's choice outlasts a change of focus, but a new start of play locks again.
    Glfw::deliverFocus(false);
    Glfw::deliverFocus(true);
    EXPECT_FALSE(locked());
    press(GLFW_KEY_2);
    EXPECT_TRUE(locked());
    EXPECT_EQ(lastMessage(), "Mouse look: locked");
    press(GLFW_KEY_2);
    enter(PAUSED);
    enter(IN_GAME);
    EXPECT_TRUE(locked());
    EXPECT_EQ(HUD::getInstance()->messages.size(), 3u);

    enter(PAUSED);
    press(GLFW_KEY_2);
    EXPECT_FALSE(locked()) << "in a menu key 2 is the menu's";
    EXPECT_EQ(HUD::getInstance()->messages.size(), 3u);
}

// Freeing the cursor puts the pointer back where it was locked: that jump must not turn the camera.
TEST_F(MouseLookTest, ThePointerJumpOfALockOrAFreeDoesNotTurnTheCamera) {
    Camera* camera = Camera::getInstance();
    enter(IN_GAME);
    Glfw::deliverCursorPos(100, 100);
    Glfw::deliverCursorPos(110, 100);
    const float yaw = camera->yawTarget;
    enter(PAUSED);
    Glfw::deliverCursorPos(700, 300);
    enter(IN_GAME);
    Glfw::deliverCursorPos(-400, 500);
    Glfw::deliverCursorPos(-390, 500);
    EXPECT_FLOAT_EQ(camera->yawTarget, yaw + 5.0f);
    EXPECT_FLOAT_EQ(camera->pitchTarget, 45.0f);
}

// The autopilot's run must not turn with a pointer another program left over the window: with
// device input off, the window system's pointer moves are not heard; delivered ones still are.
TEST_F(MouseLookTest, WithDeviceInputOffThePointerOfTheWindowSystemTurnsNothing) {
    Camera* camera = Camera::getInstance();
    enter(IN_GAME);
    int left = 0;
    int top = 0;
    glfwGetWindowPos(glfwGetCurrentContext(), &left, &top);
    const std::unique_ptr<Display, int (*)(Display*)> display(XOpenDisplay(nullptr), XCloseDisplay);
    ASSERT_TRUE(display);
    const auto movePointerTo = [&](int x, int y) {
        XWarpPointer(display.get(), None, DefaultRootWindow(display.get()), 0, 0, 0, 0, left + x, top + y);
        XSync(display.get(), False);
        for (int poll = 0; poll < 10; ++poll) {
            glfwPollEvents();
        }
    };
    const auto pointerTurns = [&] {
        const float yaw = camera->yawTarget;
        movePointerTo(20, 20);
        movePointerTo(120, 20);
        movePointerTo(20, 40);
        return camera->yawTarget != yaw;
    };
    EXPECT_TRUE(pointerTurns()) << "the window system's pointer turns the camera in play";
    Glfw::acceptDeviceInput(false);
    EXPECT_FALSE(pointerTurns());
    Glfw::deliverCursorPos(100, 100);
    const float yaw = camera->yawTarget;
    Glfw::deliverCursorPos(110, 100);
    EXPECT_FLOAT_EQ(camera->yawTarget, yaw + 5.0f);
    Glfw::acceptDeviceInput(true);
}
