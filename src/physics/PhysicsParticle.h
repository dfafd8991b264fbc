#pragma once

#include <cstdint>

// What happened to a particle during the last step (all its internal steps).
namespace PhysicsParticleFlags {
enum : std::uint32_t {
    CollisionStatic = 1,
    CollisionDynamic = 2,
    // Particle interaction is on and no other particle is within the kernel radius.
    Separated = 4,
    MotionLimitUp = 8,
    MotionLimitDown = 16,
};
}

// One particle as a fluid writes it for its owner: thirteen four-byte values.
struct PhysicsParticle {
    float position[3] = {0.0f, 0.0f, 0.0f};
    float velocity[3] = {0.0f, 0.0f, 0.0f};
    float density = 0.0f;
    // Seconds left; 0 for a particle that lives until it is removed.
    float lifetime = 0.0f;
    std::uint32_t flags = 0; // PhysicsParticleFlags
    float collisionNormal[3] = {0.0f, 0.0f, 0.0f};
    // Left to the owner of the buffer (which emitter the particles belong to); never written by a fluid.
    std::uint32_t owner = 0;
};
static_assert(sizeof(PhysicsParticle) == 52, "particle records are 52 bytes");

// Where a fluid writes its live particles after every step: the first `numParticles`
// records of `buffer`, at most `capacity` of them.
struct PhysicsParticleData {
    PhysicsParticle* buffer = nullptr;
    std::uint32_t capacity = 0;
    std::uint32_t* numParticles = nullptr;
};
