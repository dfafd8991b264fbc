#include <GLFW/glfw3.h>
#include <gtest/gtest.h>

#include <cmath>
#include <utility>

#include "GameFixture.h"
#include "app/Window.h"
#include "core/Settings.h"
#include "core/StateManager.h"
#include "game/Camera.h"
#include "game/MainChar.h"
#include "physics/PhysicsActor.h"
#include "platform/Glfw.h"

namespace {

// The ball at rest on the floor, driven through the window library's own events.
class ControlsTest : public GameTest {
protected:
    void SetUp() override {
        ASSERT_TRUE(Glfw::init());
        ASSERT_TRUE(Glfw::openWindow(640, 480, false, false));
        Glfw::setKeyCallback(keyCallback);
        Glfw::enableStickyKeys();
        play(standardNodes());
        run(30);
    }
    void TearDown() override { Glfw::terminate(); }

    static void hold(int key) { Glfw::deliverKey(key, GLFW_PRESS); }
    static void release(int key) { Glfw::deliverKey(key, GLFW_RELEASE); }
    // Pressed and released before the next poll, which still reads it once.
    static void tap(int key) {
        hold(key);
        release(key);
    }
    static void button(int which, bool down) {
        Glfw::deliverMouseButton(which, down ? GLFW_PRESS : GLFW_RELEASE);
    }

    PhysicsVec3 at() const { return ball->getActor()->getGlobalPosition(); }
    PhysicsVec3 velocity() const { return ball->getActor()->getLinearVelocity(); }
    float speed() const { return Vector3{velocity().x, velocity().y, velocity().z}.length(); }
};

TEST_F(ControlsTest, ForwardRollsTheBallTheWayTheCameraLooks) {
    ASSERT_NEAR(at().z, 0.0f, 0.01f);
    hold(GLFW_KEY_W);
    run(60);
    EXPECT_LT(at().z, -2.0f) << "away from a camera at +z";
    EXPECT_NEAR(at().x, 0.0f, 0.1f);

    release(GLFW_KEY_W);
    run(2); // the sticky release and the step in flight
    putBall(0.0f, 1.0f, 0.0f);
    Camera::getInstance()->direction = {1.0f, 0.0f, 0.0f}; // behind the ball at +x
    hold(GLFW_KEY_W);
    run(60);
    EXPECT_LT(at().x, -2.0f);
    EXPECT_NEAR(at().z, 0.0f, 0.1f);
}

// With the camera behind the ball at +x+z, each key rolls the ball its way as seen
// from the camera: W away from it, S towards it, A to its left, D to its right.
TEST_F(ControlsTest, EachDirectionKeyRollsItsWayUnderATurnedCamera) {
    Camera::getInstance()->direction = Vector3{1.0f, 0.0f, 1.0f}.normalized();
    const float half = std::sqrt(0.5f);
    const std::pair<int, Vector3> keys[] = {{GLFW_KEY_W, {-half, 0.0f, -half}},
                                            {GLFW_KEY_S, {half, 0.0f, half}},
                                            {GLFW_KEY_A, {-half, 0.0f, half}},
                                            {GLFW_KEY_D, {half, 0.0f, -half}}};
    for (const auto& [key, way] : keys) {
        putBall(0.0f, 1.0f, 0.0f);
        hold(key);
        run(60);
        release(key);
        run(2);
        const Vector3 moved{at().x, 0.0f, at().z};
        EXPECT_GT(moved.length(), 2.0f) << static_cast<char>(key);
        EXPECT_GT(moved.normalized().dot(way), 0.98f)
            << static_cast<char>(key) << " went to " << moved.x << ", " << moved.z;
    }
}

TEST_F(ControlsTest, AJumpLeavesTheGroundAndLandsButASecondOneInTheAirIsRefused) {
    ASSERT_TRUE(ball->onGround);
    hold(GLFW_KEY_SPACE);
    run(11);
    release(GLFW_KEY_SPACE);
    EXPECT_FALSE(ball->onGround);
    EXPECT_GT(velocity().y, 10.0f)
        << "eleven impulses, 15.17 in all, against two tenths of a second of gravity";
    run(20);
    EXPECT_GT(at().y, 4.0f);
    const float rising = velocity().y;
    tap(GLFW_KEY_SPACE);
    run(1);
    EXPECT_LT(velocity().y, rising);
    run(120);
    EXPECT_TRUE(ball->onGround);
    EXPECT_NEAR(at().y, 1.0f, 0.05f);
}

TEST_F(ControlsTest, TheBrakeStopsTheBallAndLettingGoGivesItsTurnBack) {
    hold(GLFW_KEY_W);
    run(60);
    release(GLFW_KEY_W);
    run(1);
    EXPECT_GT(speed(), 3.0f);
    button(GLFW_MOUSE_BUTTON_RIGHT, true);
    run(120);
    EXPECT_LT(speed(), 0.1f);
    EXPECT_EQ(ball->getActor()->getMaxAngularVelocity(), 0.0f);
    button(GLFW_MOUSE_BUTTON_RIGHT, false);
    run(2);
    EXPECT_EQ(ball->getActor()->getMaxAngularVelocity(), 14.0f);
}

TEST_F(ControlsTest, EachPressOfTheBoostButtonSpendsAFifthOfTheTurboAndPushesTheBall) {
    ball->addTurbo(1.0f);
    for (const float left : {0.8f, 0.6f, 0.4f, 0.2f, 0.0f, 0.0f}) {
        button(GLFW_MOUSE_BUTTON_LEFT, true);
        run(3);
        button(GLFW_MOUSE_BUTTON_LEFT, false);
        run(2);
        EXPECT_NEAR(ball->turboLevel, left, 1e-6f);
    }
    EXPECT_GT(speed(), 10.0f);
}

TEST_F(ControlsTest, KeypadPlusRefillsKeyFourSwitchesTheFireAndRPutsTheBallBackAtRest) {
    ball->setEnergy(0.5f);
    tap(GLFW_KEY_KP_ADD);
    run(1);
    EXPECT_NEAR(ball->energy, 0.6f - ball->energyDrain, 1e-6f);
    EXPECT_FLOAT_EQ(ball->turboLevel, 0.1f);
    EXPECT_EQ(ball->burstCount, 1);

    tap(GLFW_KEY_4);
    run(2); // the key must be seen up before it works again
    EXPECT_FALSE(ball->particleController->enabled);
    tap(GLFW_KEY_4);
    run(1);
    EXPECT_TRUE(ball->particleController->enabled);

    putBall(8.0f, 1.0f, 3.0f);
    ball->getActor()->setLinearVelocity({4.0f, 0.0f, 0.0f});
    tap(GLFW_KEY_R);
    run(1);
    EXPECT_EQ(at().x, 0.0f);
    EXPECT_EQ(at().y, 1.0f);
    EXPECT_EQ(speed(), 0.0f);
}

TEST_F(ControlsTest, OutsidePlayTheBallIgnoresTheControlsAndKeyFiveRespawns) {
    StateManager::getInstance()->setState(PAUSED);
    hold(GLFW_KEY_W);
    run(30);
    release(GLFW_KEY_W);
    EXPECT_NEAR(at().z, 0.0f, 0.01f);

    StateManager::getInstance()->setState(IN_GAME);
    putBall(10.0f, 8.0f, 10.0f);
    run(90);
    putBall(-5.0f, 1.0f, -5.0f);
    tap(GLFW_KEY_5);
    EXPECT_FLOAT_EQ(at().x, 10.0f);
    EXPECT_FLOAT_EQ(at().y, 6.0f);
}

// The controls read straight from the window library, no level needed.
class ControlsPollTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(Glfw::init());
        ASSERT_TRUE(Glfw::openWindow(640, 480, false, false));
        Glfw::enableStickyKeys();
    }
    void TearDown() override { Glfw::terminate(); }

    static void tap(int key) {
        Glfw::deliverKey(key, GLFW_PRESS);
        Glfw::deliverKey(key, GLFW_RELEASE);
    }

    Controls controls;
};

TEST_F(ControlsPollTest, ATapBetweenTwoPollsReadsAsHeldOnce) {
    tap(GLFW_KEY_SPACE);
    Glfw::deliverMouseButton(GLFW_MOUSE_BUTTON_LEFT, GLFW_PRESS);
    Glfw::deliverMouseButton(GLFW_MOUSE_BUTTON_LEFT, GLFW_RELEASE);
    const HeldControls first = controls.poll();
    EXPECT_TRUE(first.jump);
    EXPECT_TRUE(first.boost);
    const HeldControls second = controls.poll();
    EXPECT_FALSE(second.jump);
    EXPECT_FALSE(second.boost);

    Glfw::deliverKey(GLFW_KEY_W, GLFW_PRESS);
    EXPECT_TRUE(controls.poll().forward);
    EXPECT_TRUE(controls.poll().forward) << "held keys stay down";
}

TEST_F(ControlsPollTest, HoldingTheParticleKeyTogglesOnceUntilReleased) {
    Glfw::deliverKey(GLFW_KEY_4, GLFW_PRESS);
    EXPECT_TRUE(controls.poll().toggleParticles);
    EXPECT_FALSE(controls.poll().toggleParticles);
    EXPECT_FALSE(controls.particlesOn);
    Glfw::deliverKey(GLFW_KEY_4, GLFW_RELEASE);
    controls.poll();
    controls.poll();
    EXPECT_TRUE(controls.particlesLatch);
    tap(GLFW_KEY_4);
    EXPECT_TRUE(controls.poll().toggleParticles);
    EXPECT_TRUE(controls.particlesOn);
}

TEST_F(ControlsPollTest, AClosedWindowReadsEveryControlAsReleased) {
    Glfw::deliverKey(GLFW_KEY_SPACE, GLFW_PRESS);
    controls.jumping = true;
    controls.jumpImpulse = 4.0f;
    controls.boostLatch = false;
    Glfw::terminate();
    const HeldControls held = controls.poll();
    EXPECT_FALSE(held.jump);
    EXPECT_FALSE(controls.jumping);
    EXPECT_FLOAT_EQ(controls.jumpImpulse, 0.0f);
    EXPECT_TRUE(controls.boostLatch);
}

// The player's settings for one test, the defaults again afterwards.
class SettingsOverride {
public:
    ~SettingsOverride() { Settings::active() = Settings{}; }
    Bindings& bindings() { return Settings::active().bindings; }
};

Glfw::GamepadState pad() {
    Glfw::GamepadState state;
    state.connected = true;
    state.axes[GlfwKeys::GAMEPAD_LEFT_TRIGGER] = -1.0f;
    state.axes[GlfwKeys::GAMEPAD_RIGHT_TRIGGER] = -1.0f;
    return state;
}

Glfw::GamepadState leftStick(float x, float y) {
    Glfw::GamepadState state = pad();
    state.axes[GlfwKeys::GAMEPAD_LEFT_X] = x;
    state.axes[GlfwKeys::GAMEPAD_LEFT_Y] = y;
    return state;
}

TEST_F(ControlsTest, ARollActionBoundToAnotherKeyRollsOnItAndNoLongerOnTheOldOne) {
    SettingsOverride settings;
    ASSERT_FALSE(settings.bindings().bind(Bindings::RollForward, 'I'));
    hold(GLFW_KEY_W);
    run(60);
    release(GLFW_KEY_W);
    run(2);
    EXPECT_NEAR(at().z, 0.0f, 0.05f) << "W rolls nothing any more";
    hold(GLFW_KEY_I);
    run(60);
    EXPECT_LT(at().z, -2.0f);
    release(GLFW_KEY_I);

    ASSERT_FALSE(settings.bindings().bind(Bindings::Jump, 'J'));
    putBall(0.0f, 1.0f, 0.0f);
    run(30);
    ASSERT_TRUE(ball->onGround);
    tap(GLFW_KEY_J);
    run(1);
    EXPECT_GT(velocity().y, 2.0f) << "the first jump impulse on the new key";
}

// The left stick rolls as far as it leans: half over, less than fully over; inside the
// dead zone not at all.
TEST_F(ControlsTest, TheLeftStickRollsWithATorqueThatFollowsItsLean) {
    const auto rolledAfter = [this](float lean) {
        putBall(0.0f, 1.0f, 0.0f);
        Glfw::deliverGamepad(leftStick(0.0f, -lean));
        run(45);
        Glfw::deliverGamepad(pad());
        run(2);
        return -at().z;
    };
    const float full = rolledAfter(1.0f);
    const float half = rolledAfter(0.6f);
    EXPECT_GT(full, 1.5f);
    EXPECT_GT(half, 0.3f);
    EXPECT_LT(half, full * 0.75f);
    EXPECT_NEAR(rolledAfter(Controls::kDeadZone * 0.9f), 0.0f, 0.01f) << "a stick at rest drifts a little";

    putBall(0.0f, 1.0f, 0.0f);
    Glfw::deliverGamepad(leftStick(1.0f, 0.0f));
    run(45);
    EXPECT_GT(at().x, 1.0f) << "right rolls to the camera's right";
}

TEST_F(ControlsTest, AJumpsBBrakesAndTheRightTriggerBoostsOncePerPull) {
    Glfw::GamepadState state = pad();
    state.buttons[GlfwKeys::GAMEPAD_A] = true;
    Glfw::deliverGamepad(state);
    run(11);
    EXPECT_GT(velocity().y, 10.0f);
    Glfw::deliverGamepad(pad());
    run(120);
    ASSERT_TRUE(ball->onGround);

    putBall(0.0f, 1.0f, 0.0f);
    run(10);
    ball->addTurbo(1.0f);
    state = pad();
    state.axes[GlfwKeys::GAMEPAD_RIGHT_TRIGGER] = 1.0f;
    Glfw::deliverGamepad(state);
    run(5);
    EXPECT_NEAR(ball->turboLevel, 0.8f, 1e-6f) << "held, it boosts once";
    Glfw::deliverGamepad(pad());
    run(1);
    Glfw::deliverGamepad(state);
    run(2);
    EXPECT_NEAR(ball->turboLevel, 0.6f, 1e-6f);
    EXPECT_GT(speed(), 3.0f);

    putBall(0.0f, 1.0f, 0.0f);
    Glfw::deliverGamepad(leftStick(0.0f, -1.0f));
    run(60);
    Glfw::deliverGamepad(pad());
    run(1);
    EXPECT_GT(speed(), 3.0f);
    state = pad();
    state.buttons[GlfwKeys::GAMEPAD_B] = true;
    Glfw::deliverGamepad(state);
    run(120);
    EXPECT_LT(speed(), 0.1f);
    EXPECT_EQ(ball->getActor()->getMaxAngularVelocity(), 0.0f);
}

TEST(ControlsDeadZoneTest, InsideNothingOutsideTheWholeRangeAgain) {
    float x = 0.1f;
    float y = -0.1f;
    Controls::deadZone(x, y);
    EXPECT_EQ(x, 0.0f);
    EXPECT_EQ(y, 0.0f);
    x = 0.0f;
    y = 1.0f;
    Controls::deadZone(x, y);
    EXPECT_FLOAT_EQ(y, 1.0f);
    x = 0.0f;
    y = -(Controls::kDeadZone + 1.0f) / 2.0f;
    Controls::deadZone(x, y);
    EXPECT_NEAR(y, -0.5f, 1e-5f) << "halfway between the edge and full lean is half";
}

} // namespace
