#pragma once

#include <cstdint>

#include "physics/PhysicsMath.h"

class PhysicsActor;

// The linear kernel: in the field's frame, with the field's y axis as its axis,
// the push is constant + radialGain * (offset from the axis) + axialGain * (height
// above the centre), divided by 1 + falloffLinear * d + falloffQuadratic * d^2 for
// the distance d from the centre. How it tapers inside the box: PhysicsForceField.
struct PhysicsForceFieldLinearKernelDesc {
    PhysicsVec3 constant;
    float radialGain = 0.0f;
    float axialGain = 0.0f;
    float falloffLinear = 0.0f;
    float falloffQuadratic = 0.0f;
};

// A field that pushes the particles of the fluids coupled to it while they are
// inside its box. It rides on an actor of its own.
struct PhysicsForceFieldDesc {
    PhysicsActor* actor = nullptr;
    // Pose relative to the actor, or in the world without one.
    PhysicsPose pose;
    PhysicsVec3 boxHalfExtents{1.0f, 1.0f, 1.0f};
    PhysicsForceFieldLinearKernelDesc kernel;

    // Positive, finite box sizes and finite kernel values.
    bool isValid() const;
};
