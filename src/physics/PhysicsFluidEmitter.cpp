#include "physics/PhysicsFluidEmitter.h"

#include <BulletDynamics/Dynamics/btRigidBody.h>
#include <algorithm>
#include <cmath>
#include <numbers>

#include "physics/BulletConversions.h"
#include "physics/FluidParticle.h"
#include "physics/PhysicsActor.h"

namespace {

bool isUsable(float value) {
    return std::isfinite(value) && value >= 0.0f;
}

btTransform frameOf(const PhysicsActor* actor) {
    return actor ? actor->getRigidBody().getWorldTransform() : btTransform::getIdentity();
}

} // namespace

PhysicsFluidEmitter::PhysicsFluidEmitter(const PhysicsFluidEmitterDesc& desc, std::uint32_t slot,
                                         float spacing)
    : frameActor(desc.frameActor), localPose(desc.relPose), index(slot), type(desc.type), shape(desc.shape),
      maxParticles(desc.maxParticles), dimensionX(desc.dimensionX), dimensionY(desc.dimensionY),
      randomAngle(std::min(desc.randomAngle, std::numbers::pi_v<float>)), restSpacing(spacing),
      addBodyVelocity((desc.flags & PhysicsEmitterFlags::AddBodyVelocity) != 0),
      velocityMagnitude(desc.fluidVelocityMagnitude), rate(desc.rate),
      particleLifetime(desc.particleLifetime), enabled((desc.flags & PhysicsEmitterFlags::Enabled) != 0),
      random(0x5eed + slot) {}

btTransform PhysicsFluidEmitter::globalTransform() const {
    return frameOf(frameActor) * toBullet(localPose);
}

void PhysicsFluidEmitter::setGlobalPose(const PhysicsPose& pose) {
    localPose = fromBullet(frameOf(frameActor).inverse() * toBullet(pose));
}

PhysicsPose PhysicsFluidEmitter::getGlobalPose() const {
    return fromBullet(globalTransform());
}

PhysicsVec3 PhysicsFluidEmitter::getGlobalPosition() const {
    return fromBullet(globalTransform().getOrigin());
}

void PhysicsFluidEmitter::setRate(float value) {
    if (isUsable(value)) {
        rate = value;
    }
}

void PhysicsFluidEmitter::setFluidVelocityMagnitude(float speed) {
    if (isUsable(speed)) {
        velocityMagnitude = speed;
    }
}

void PhysicsFluidEmitter::setParticleLifetime(float seconds) {
    if (isUsable(seconds)) {
        particleLifetime = seconds;
    }
}

void PhysicsFluidEmitter::detachFrom(const PhysicsActor& actor) {
    if (frameActor == &actor) {
        localPose = fromBullet(globalTransform());
        frameActor = nullptr;
    }
}

// A pressure emitter keeps a stream of rest spacing packing flowing through its opening.
float PhysicsFluidEmitter::particlesPerSecond() const {
    if (type == PhysicsEmitterType::ConstantFlowRate) {
        return rate;
    }
    const float area = shape == PhysicsEmitterShape::Ellipse
                           ? std::numbers::pi_v<float> * dimensionX * dimensionY
                           : 4.0f * dimensionX * dimensionY;
    return area * velocityMagnitude / (restSpacing * restSpacing * restSpacing);
}

void PhysicsFluidEmitter::emit(float dt, std::uint32_t room, std::vector<FluidParticle>& particles) {
    if (!enabled) {
        return;
    }
    if (maxParticles > 0) {
        room = std::min(room, maxParticles - std::min(maxParticles, liveParticles));
    }
    pending += particlesPerSecond() * dt;
    const auto due = static_cast<std::uint32_t>(std::min(pending, 1e6f));
    const std::uint32_t count = std::min(due, room);
    // What cannot come out now is not saved up for a burst later.
    pending = count < due ? 0.0f : pending - static_cast<float>(due);
    const btTransform pose = globalTransform();
    const btRigidBody* body = frameActor ? &frameActor->getRigidBody() : nullptr;
    for (std::uint32_t i = 0; i < count; ++i) {
        FluidParticle particle;
        particle.position = pose * randomOpeningPoint();
        particle.velocity = pose.getBasis() * randomDirection() * velocityMagnitude;
        if (addBodyVelocity && body) {
            particle.velocity +=
                body->getVelocityInLocalPoint(particle.position - body->getCenterOfMassPosition());
        }
        particle.lifetime = particleLifetime > 0.0f ? particleLifetime : INFINITY;
        particle.emitter = index;
        particles.push_back(particle);
        ++liveParticles;
    }
}

btVector3 PhysicsFluidEmitter::randomOpeningPoint() {
    if (shape == PhysicsEmitterShape::Rectangle) {
        return {(2.0f * unit(random) - 1.0f) * dimensionX, (2.0f * unit(random) - 1.0f) * dimensionY, 0.0f};
    }
    const float radius = std::sqrt(unit(random));
    const float angle = 2.0f * std::numbers::pi_v<float> * unit(random);
    return {radius * std::cos(angle) * dimensionX, radius * std::sin(angle) * dimensionY, 0.0f};
}

// Uniform over the cone of directions within randomAngle of the z axis.
btVector3 PhysicsFluidEmitter::randomDirection() {
    const float cosine = 1.0f - unit(random) * (1.0f - std::cos(randomAngle));
    const float sine = std::sqrt(std::max(0.0f, 1.0f - cosine * cosine));
    const float around = 2.0f * std::numbers::pi_v<float> * unit(random);
    return {sine * std::cos(around), sine * std::sin(around), cosine};
}
