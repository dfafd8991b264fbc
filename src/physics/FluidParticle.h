#pragma once

#include <LinearMath/btVector3.h>
#include <cstdint>

// A live particle inside a fluid (engine side).
struct FluidParticle {
    btVector3 position;
    btVector3 velocity;
    btVector3 collisionNormal{0, 0, 0};
    float density = 0.0f;
    // Seconds left; infinite for particles that live until removed.
    float lifetime = 0.0f;
    std::uint32_t flags = 0;
    // Index of the emitter in the fluid's emitter list, or kNoEmitter.
    std::uint32_t emitter = 0;

    static constexpr std::uint32_t kNoEmitter = 0xFFFFFFFFu;
};
