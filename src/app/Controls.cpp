#include "app/Controls.h"

#include <cmath>
#include <numbers>

#include "game/MainChar.h"
#include "physics/PhysicsActor.h"
#include "scene/OgreScene.h"

namespace {

constexpr float kStepSeconds = 0.016666668f;
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
}

// Without a direction held the ball cannot turn at all and slides to a stop.
void brake(PhysicsActor& actor, const HeldControls& controls, float defaultMaxAngularVelocity) {
    if (controls.brake) {
        const bool steering = controls.forward || controls.left || controls.back || controls.right;
        actor.setMaxAngularVelocity(steering ? kBrakingTurnLimit : 0.0f);
    } else if (actor.getMaxAngularVelocity() != defaultMaxAngularVelocity) {
        actor.setMaxAngularVelocity(defaultMaxAngularVelocity);
    }
}

// A jump starts on the ground and goes on while Space is held: one impulse of
// 3.5 and then 1.1666667 per step until 15 are reached.
void jump(MainChar& mainChar, PhysicsActor& actor, const HeldControls& controls, float mass) {
    if (!controls.jump) {
        return;
    }
    if (mainChar.onGround) {
        windowState.jumping = true;
        mainChar.onGround = false;
    }
    if (windowState.jumping && windowState.jumpImpulse < kJumpTotal) {
        const float increment = windowState.jumpImpulse == 0.0f ? kJumpFirstImpulse : kJumpImpulse;
        windowState.jumpImpulse += increment;
        actor.addForce({0.0f, mass * increment, 0.0f}, PhysicsForceMode::Impulse);
    } else {
        windowState.jumping = false;
        windowState.jumpImpulse = 0.0f;
    }
}

// One boost per press of the button; the forward push needs the ground.
void boost(MainChar& mainChar, PhysicsActor& actor, const HeldControls& controls, const Heading& rotated,
           float mass, float k) {
    if (!controls.boost || !windowState.boostLatch || mainChar.turboLevel < kBoostCost || controls.brake) {
        return;
    }
    windowState.boostLatch = false;
    mainChar.removeTurbo(kBoostCost);
    actor.addTorque(rotated(-mass * kBoostTorque * kStepSeconds, 0.0f, 0.0f), PhysicsForceMode::Impulse);
    if (mainChar.onGround) {
        actor.addForce(rotated(0.0f, 0.0f, -k), PhysicsForceMode::Impulse);
    }
}

} // namespace

void driveMainChar(MainChar& mainChar, const HeldControls& controls, float cameraHeading) {
    PhysicsActor* actor = mainChar.getActor();
    if (!actor) {
        return;
    }
    if (controls.toggleParticles) {
        switchFire(mainChar, windowState.particlesOn);
    }
    if (controls.refill) {
        mainChar.addEnergy(kRefill);
        mainChar.addTurbo(kRefill);
    }
    const float mass = actor->getMass();
    const float k = mass * 1000.0f * kStepSeconds;
    const Heading rotated(cameraHeading);
    roll(*actor, controls, rotated, k);
    brake(*actor, controls, mainChar.defaultMaxAngularVelocity);
    jump(mainChar, *actor, controls, mass);
    boost(mainChar, *actor, controls, rotated, mass, k);
}

void returnToStart(OgreScene& scene) {
    MainChar* mainChar = scene.getMainChar();
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
