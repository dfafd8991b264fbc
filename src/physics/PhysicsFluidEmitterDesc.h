#pragma once

#include <cstdint>

#include "physics/PhysicsMath.h"

class PhysicsActor;

enum class PhysicsEmitterType {
    // `rate` particles per second.
    ConstantFlowRate,
    // As many particles as keep a stream of the rest density flowing through the opening.
    ConstantPressure,
};

enum class PhysicsEmitterShape { Rectangle, Ellipse };

namespace PhysicsEmitterFlags {
enum : std::uint32_t {
    Enabled = 1,
    // New particles also carry the velocity of the frame actor at their start.
    AddBodyVelocity = 2,
};
}

// An opening in the emitter's x-y plane from which particles leave along its z axis.
struct PhysicsFluidEmitterDesc {
    // The actor the emitter rides on (none: fixed in the world); its particles pass through it.
    PhysicsActor* frameActor = nullptr;
    // Pose relative to the frame actor, or in the world without one.
    PhysicsPose relPose;
    PhysicsEmitterType type = PhysicsEmitterType::ConstantPressure;
    PhysicsEmitterShape shape = PhysicsEmitterShape::Rectangle;
    // Live particles of this emitter at most; 0: only the fluid's capacity limits it.
    std::uint32_t maxParticles = 0;
    // Half sizes of the opening.
    float dimensionX = 0.25f;
    float dimensionY = 0.25f;
    // Largest angle, in radians, between a new particle's direction and the z axis.
    float randomAngle = 0.0f;
    float fluidVelocityMagnitude = 1.0f;
    float rate = 100.0f;
    // Seconds a particle lives; 0: until it is removed.
    float particleLifetime = 0.0f;
    // The push the particles would give the frame actor; particles push nothing here.
    float repulsionCoefficient = 1.0f;
    std::uint32_t flags = PhysicsEmitterFlags::Enabled | PhysicsEmitterFlags::AddBodyVelocity;

    // Non-negative sizes, angle, speed, rate and lifetime, all finite.
    bool isValid() const;
};
