#pragma once

#include <cstdint>
#include <vector>

#include "physics/PhysicsMath.h"
#include "physics/PhysicsShapeDesc.h"

struct PhysicsBodyDesc {
    // Either mass or the actor's density gives the body its mass, never both.
    float mass = 0.0f;
    PhysicsVec3 linearVelocity;
    PhysicsVec3 angularVelocity;
    // Velocity lost per second, as a fraction.
    float linearDamping = 0.0f;
    float angularDamping = 0.05f;
    // Negative: the SDK's MaxAngularVelocity parameter.
    float maxAngularVelocity = -1.0f;
    bool kinematic = false;
};

struct PhysicsActorDesc {
    std::vector<PhysicsShapeDesc> shapes;
    const PhysicsBodyDesc* body = nullptr; // none: a static actor
    float density = 0.0f;
    PhysicsPose globalPose;
    std::uint16_t group = 0;
    void* userData = nullptr;
};
