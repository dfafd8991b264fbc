#include "game/Controls.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "core/Bindings.h"
#include "core/FixedStep.h"
#include "core/Settings.h"
#include "core/StateManager.h"
#include "game/Camera.h"
#include "game/MainChar.h"
#include "physics/PhysicsActor.h"
#include "platform/Glfw.h"
#include "platform/GlfwKeys.h"
#include "scene/OgreScene.h"
#include "scene/SceneManager.h"

namespace {

using namespace GlfwKeys;

constexpr float kBrakingTurnLimit = 2.0f;
constexpr float kJumpFirstImpulse = 3.5000002f;
constexpr float kJumpImpulse = 1.1666667f;
constexpr float kJumpTotal = 15.0f;
constexpr float kBoostCost = 0.2f;
constexpr float kBoostTorque = 60000.0f;
constexpr float kRefill = 0.1f;

// Turns a vector about the world y axis by minus the camera heading.
class Heading {
public:
    explicit Heading(float degrees)
        : c(std::cos(-degrees * std::numbers::pi_v<float> / 180.0f)),
          s(std::sin(-degrees * std::numbers::pi_v<float> / 180.0f)) {}

    PhysicsVec3 operator()(float x, float y, float z) const { return {x * c + z * s, y, -x * s + z * c}; }

private:
    float c;
    float s;
};

bool held(int key) {
    return Glfw::getKey(key) == PRESS;
}

bool held(Bindings::Action action) {
    return Settings::active().bindings.held(action);
}

void switchFire(MainChar& mainChar, bool on) {
    ParticleController& fire = *mainChar.particleController;
    if (on) {
        fire.enabled = true;
        fire.setEmitting(true);
    } else {
        fire.setEmitting(false);
        fire.enabled = false;
    }
}

void roll(PhysicsActor& actor, const HeldControls& controls, const Heading& rotated, float k) {
    if (controls.forward) {
        actor.addTorque(rotated(-k, 0.0f, 0.0f));
    }
    if (controls.left) {
        actor.addTorque(rotated(0.0f, 0.0f, k));
    }
    if (controls.back) {
        actor.addTorque(rotated(k, 0.0f, 0.0f));
    }
    if (controls.right) {
        actor.addTorque(rotated(0.0f, 0.0f, -k));
    }
    if (controls.stickForward != 0.0f || controls.stickRight != 0.0f) {
        actor.addTorque(rotated(-k * controls.stickForward, 0.0f, -k * controls.stickRight));
    }
}

// Without a direction held the ball cannot turn at all and slides to a stop.
void brake(PhysicsActor& actor, const HeldControls& controls, float defaultMaxAngularVelocity) {
    if (controls.brake) {
        const bool steering = controls.forward || controls.left || controls.back || controls.right ||
                              controls.stickForward != 0.0f || controls.stickRight != 0.0f;
        actor.setMaxAngularVelocity(steering ? kBrakingTurnLimit : 0.0f);
    } else if (actor.getMaxAngularVelocity() != defaultMaxAngularVelocity) {
        actor.setMaxAngularVelocity(defaultMaxAngularVelocity);
    }
}

} // namespace

HeldControls Controls::poll() {
    if (source) {
        const std::optional<StepControls> replayed = source();
        if (!replayed) {
            release();
            return {};
        }
        follow(replayed->held);
        driveCurrentMainChar(*replayed);
        return replayed->held;
    }
    if (!Glfw::isInitialized() || !Glfw::isWindowOpen()) {
        release();
        return {};
    }
    const Camera* camera = Camera::existingInstance();
    const StepControls controls{read(), camera ? camera->getHeading() : 0.0f};
    driveCurrentMainChar(controls);
    return controls.held;
}

HeldControls Controls::read() {
    HeldControls controls;
    controls.resetPosition = held('R');
    controls.refill = held(KEY_KP_ADD);
    controls.forward = held(Bindings::RollForward);
    controls.left = held(Bindings::RollLeft);
    controls.back = held(Bindings::RollBack);
    controls.right = held(Bindings::RollRight);
    controls.brake = held(Bindings::Brake);
    controls.jump = held(Bindings::Jump);
    controls.boost = held(Bindings::Boost);
    readGamepad(controls);
    if (held(Bindings::Fire)) {
        controls.toggleParticles = particlesLatch;
        particlesLatch = false;
    } else {
        particlesLatch = true;
    }
    follow(controls);
    return controls;
}

void Controls::follow(const HeldControls& controls) {
    if (controls.toggleParticles) {
        particlesOn = !particlesOn;
    }
    if (!controls.jump) {
        jumping = false;
        jumpImpulse = 0.0f;
    }
    if (!controls.boost) {
        boostLatch = true;
    }
}

// A jumps, B brakes, the right trigger boosts and the left stick rolls.
void Controls::readGamepad(HeldControls& controls) {
    const Glfw::GamepadState& pad = Glfw::getGamepad();
    if (!pad.connected) {
        return;
    }
    controls.jump = controls.jump || pad.buttons[GAMEPAD_A];
    controls.brake = controls.brake || pad.buttons[GAMEPAD_B];
    controls.boost = controls.boost || pad.axes[GAMEPAD_RIGHT_TRIGGER] > kTriggerPressed;
    float x = pad.axes[GAMEPAD_LEFT_X];
    float y = pad.axes[GAMEPAD_LEFT_Y];
    deadZone(x, y);
    controls.stickRight = x;
    controls.stickForward = -y;
}

void Controls::deadZone(float& x, float& y) {
    const float length = std::hypot(x, y);
    if (length <= kDeadZone) {
        x = y = 0.0f;
        return;
    }
    const float scale = std::min(1.0f, (length - kDeadZone) / (1.0f - kDeadZone)) / length;
    x *= scale;
    y *= scale;
}

void Controls::release() {
    jumping = false;
    jumpImpulse = 0.0f;
    particlesLatch = true;
    boostLatch = true;
}

// The controls reach the ball only in play and only when the current level has one.
void Controls::driveCurrentMainChar(const StepControls& controls) {
    const StateManager* states = StateManager::existingInstance();
    SceneManager* levels = SceneManager::existingInstance();
    OgreScene* level = levels ? levels->getCurrentScene() : nullptr;
    MainChar* mainChar = MainChar::of(level);
    if (!states || states->getState() != IN_GAME || !mainChar) {
        return;
    }
    if (onStep) {
        onStep(controls);
    }
    if (controls.held.resetPosition) {
        returnToStart(*level);
    }
    drive(*mainChar, controls.held, controls.heading);
}

void Controls::drive(MainChar& mainChar, const HeldControls& controls, float cameraHeading) {
    PhysicsActor* actor = mainChar.getActor();
    if (!actor) {
        return;
    }
    if (controls.toggleParticles) {
        switchFire(mainChar, particlesOn);
    }
    if (controls.refill) {
        mainChar.addEnergy(kRefill);
        mainChar.addTurbo(kRefill);
    }
    const float mass = actor->getMass();
    const float k = mass * 1000.0f * kStepSeconds;
    roll(*actor, controls, Heading(cameraHeading), k);
    brake(*actor, controls, mainChar.defaultMaxAngularVelocity);
    jump(mainChar, controls, mass);
    boost(mainChar, controls, cameraHeading, mass, k);
}

// A jump starts on the ground and goes on while Space is held: one impulse of
// 3.5 and then 1.1666667 per step until 15 are reached.
void Controls::jump(MainChar& mainChar, const HeldControls& controls, float mass) {
    if (!controls.jump) {
        return;
    }
    if (mainChar.onGround) {
        jumping = true;
        mainChar.onGround = false;
    }
    if (jumping && jumpImpulse < kJumpTotal) {
        const float increment = jumpImpulse == 0.0f ? kJumpFirstImpulse : kJumpImpulse;
        jumpImpulse += increment;
        mainChar.getActor()->addForce({0.0f, mass * increment, 0.0f}, PhysicsForceMode::Impulse);
    } else {
        jumping = false;
        jumpImpulse = 0.0f;
    }
}

// One boost per press of the button; the forward push needs the ground.
void Controls::boost(MainChar& mainChar, const HeldControls& controls, float heading, float mass, float k) {
    if (!controls.boost || !boostLatch || mainChar.turboLevel < kBoostCost || controls.brake) {
        return;
    }
    boostLatch = false;
    mainChar.removeTurbo(kBoostCost);
    const Heading rotated(heading);
    PhysicsActor& actor = *mainChar.getActor();
    actor.addTorque(rotated(-mass * kBoostTorque * kStepSeconds, 0.0f, 0.0f), PhysicsForceMode::Impulse);
    if (mainChar.onGround) {
        actor.addForce(rotated(0.0f, 0.0f, -k), PhysicsForceMode::Impulse);
    }
}

void Controls::returnToStart(OgreScene& scene) {
    MainChar* mainChar = MainChar::of(&scene);
    PhysicsActor* actor = mainChar ? mainChar->getActor() : nullptr;
    if (!actor) {
        return;
    }
    for (const auto& [name, node] : scene.nodes) {
        if (node->entity && node->entity->model == mainChar) {
            actor->setLinearVelocity({});
            actor->setAngularVelocity({});
            actor->setGlobalPosition({node->posX, node->posY, node->posZ});
            actor->setGlobalOrientationQuat({node->qx, node->qy, node->qz, node->qw});
            return;
        }
    }
}
