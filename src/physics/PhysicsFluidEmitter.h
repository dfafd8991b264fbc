#pragma once

#include <cstdint>
#include <random>
#include <vector>

#include "physics/PhysicsFluidEmitterDesc.h"

class PhysicsActor;
class btTransform;
class btVector3;
struct FluidParticle;

// An opening of a fluid that lets out new particles every internal step. It rides
// on its frame actor: its pose is kept relative to the actor.
class PhysicsFluidEmitter {
public:
    PhysicsFluidEmitter(const PhysicsFluidEmitterDesc& desc, std::uint32_t index, float restSpacing);
    PhysicsFluidEmitter(const PhysicsFluidEmitter&) = delete;
    PhysicsFluidEmitter& operator=(const PhysicsFluidEmitter&) = delete;

    // The pose in the world; the pose relative to the frame actor follows from it.
    void setGlobalPose(const PhysicsPose& pose);
    PhysicsPose getGlobalPose() const;
    PhysicsVec3 getGlobalPosition() const;
    PhysicsActor* getFrameActor() const { return frameActor; }

    // Negative or non-finite values are ignored.
    void setRate(float rate);
    float getRate() const { return rate; }
    void setFluidVelocityMagnitude(float speed);
    float getFluidVelocityMagnitude() const { return velocityMagnitude; }
    void setParticleLifetime(float seconds);
    float getParticleLifetime() const { return particleLifetime; }
    std::uint32_t getMaxParticles() const { return maxParticles; }

    // Live particles that came out of this emitter.
    std::uint32_t getNbParticles() const { return liveParticles; }

    // Engine side.
    std::uint32_t getIndex() const { return index; }
    // Appends this step's new particles, at most `room` of them.
    void emit(float dt, std::uint32_t room, std::vector<FluidParticle>& particles);
    void particleDied() { --liveParticles; }
    void forgetParticles() { liveParticles = 0; }
    // The frame actor is going: the emitter stays where it is, fixed in the world.
    void detachFrom(const PhysicsActor& actor);

private:
    btTransform globalTransform() const;
    float particlesPerSecond() const;
    btVector3 randomOpeningPoint();
    btVector3 randomDirection();

    PhysicsActor* frameActor;
    PhysicsPose localPose;
    const std::uint32_t index;
    const PhysicsEmitterType type;
    const PhysicsEmitterShape shape;
    const std::uint32_t maxParticles;
    const float dimensionX;
    const float dimensionY;
    const float randomAngle;
    const float restSpacing;
    const bool addBodyVelocity;
    float velocityMagnitude;
    float rate;
    float particleLifetime;
    const bool enabled;
    float pending = 0.0f;
    std::uint32_t liveParticles = 0;
    std::minstd_rand random;
    std::uniform_real_distribution<float> unit{0.0f, 1.0f};
};
