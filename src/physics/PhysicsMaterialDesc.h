#pragma once

#include <cstdint>

#include "physics/PhysicsFlags.h"
#include "physics/PhysicsMath.h"

struct PhysicsMaterialDesc {
    float dynamicFriction = 0.0f;
    float staticFriction = 0.0f;
    float restitution = 0.0f;
    float dynamicFrictionV = 0.0f;
    float staticFrictionV = 0.0f;
    PhysicsVec3 dirOfAnisotropy{1.0f, 0.0f, 0.0f};
    std::uint32_t flags = 0; // PhysicsMaterialFlags
    PhysicsCombineMode frictionCombineMode = PhysicsCombineMode::Multiply;
    PhysicsCombineMode restitutionCombineMode = PhysicsCombineMode::Multiply;

    // Non-negative frictions, restitution in [0, 1], a unit anisotropy direction
    // when anisotropic and known combine modes.
    bool isValid() const;
};
