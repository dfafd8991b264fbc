#pragma once

#include <cstdint>

#include "physics/PhysicsMath.h"

class PhysicsShape;

struct PhysicsRaycastHit {
    PhysicsShape* shape = nullptr;
    PhysicsVec3 worldImpact;
    PhysicsVec3 worldNormal;
    float distance = 0.0f;
    std::uint32_t faceID = 0; // triangle of a triangle mesh
    std::uint16_t materialIndex = 0;
};
