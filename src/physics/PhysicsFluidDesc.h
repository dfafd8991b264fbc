#pragma once

#include <cstdint>

#include "physics/PhysicsMath.h"

enum class PhysicsFluidSimulation {
    // Smoothed-particle pressure and viscosity between the particles.
    ParticleInteraction,
    NoParticleInteraction,
};

namespace PhysicsFluidFlags {
enum : std::uint32_t {
    Enabled = 1,
    DisableGravity = 2,
    // Asks for physics hardware; this engine has none and refuses such fluids.
    Hardware = 4,
};
}

// A particle fluid. Lengths follow from the rest spacing 1 / restParticlesPerMeter:
// the kernel radius is kernelRadiusMultiplier rest spacings, a particle moves at
// most motionLimitMultiplier kernel radii per internal step and keeps
// collisionDistanceMultiplier rest spacings away from shapes.
struct PhysicsFluidDesc {
    static constexpr std::uint32_t kMaxParticles = 32767;

    std::uint32_t maxParticles = kMaxParticles;
    float restParticlesPerMeter = 50.0f;
    float restDensity = 1000.0f;
    float kernelRadiusMultiplier = 1.2f;
    float motionLimitMultiplier = 3.0f;
    float collisionDistanceMultiplier = 0.1f;
    // Groups particles for parallel hardware; kept for the configuration, unused here.
    std::uint32_t packetSizeMultiplier = 16;
    float stiffness = 20.0f;
    float viscosity = 6.0f;
    // Velocity lost per second, as a fraction.
    float damping = 0.0f;
    PhysicsVec3 externalAcceleration;
    float restitutionForStaticShapes = 0.5f;
    float dynamicFrictionForStaticShapes = 0.05f;
    float restitutionForDynamicShapes = 0.5f;
    float dynamicFrictionForDynamicShapes = 0.5f;
    PhysicsFluidSimulation simulationMethod = PhysicsFluidSimulation::ParticleInteraction;
    std::uint32_t flags = PhysicsFluidFlags::Enabled | PhysicsFluidFlags::Hardware;
    // Force fields whose material this is push the fluid's particles; 0 couples to none.
    std::uint16_t forceFieldMaterial = 0;

    // At most kMaxParticles particles; positive sizes and counts, a kernel of at least one rest spacing,
    // restitutions and frictions in [0, 1], no negative damping, finite accelerations.
    bool isValid() const;

    float restSpacing() const { return 1.0f / restParticlesPerMeter; }
    float kernelRadius() const { return kernelRadiusMultiplier * restSpacing(); }
    float motionLimit() const { return motionLimitMultiplier * kernelRadius(); }
    float collisionDistance() const { return collisionDistanceMultiplier * restSpacing(); }
};
