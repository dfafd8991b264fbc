#pragma once

#include <cstdint>

#include "physics/PhysicsFlags.h"
#include "physics/PhysicsMath.h"
#include "core/FixedStep.h"

struct PhysicsSceneDesc {
    PhysicsVec3 gravity;
    // simulate() advances in fixed internal steps; at most maxIter steps of
    // maxTimestep are caught up per call, the rest of a long hitch is dropped.
    float maxTimestep = kStepSeconds;
    std::uint32_t maxIter = 8;
    // One internal step. Rolling on triangle meshes needs it well below 1/60 s.
    float substep = 1.0f / 240.0f;
    PhysicsSimulationType simType = PhysicsSimulationType::Software;
};
