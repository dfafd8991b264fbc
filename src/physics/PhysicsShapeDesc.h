#pragma once

#include <cstdint>

#include "physics/PhysicsFlags.h"
#include "physics/PhysicsMath.h"

class PhysicsConvexMesh;
class PhysicsTriangleMesh;

struct PhysicsShapeDesc {
    PhysicsShapeType type = PhysicsShapeType::Box;
    PhysicsVec3 dimensions{1.0f, 1.0f, 1.0f}; // box half extents
    float radius = 1.0f;                      // sphere
    PhysicsConvexMesh* convexMesh = nullptr;
    PhysicsTriangleMesh* triangleMesh = nullptr; // static actors only
    PhysicsPose localPose;
    std::uint16_t group = 0; // 0..31
    std::uint32_t flags = 0; // PhysicsShapeFlags
    std::uint16_t materialIndex = 0;
};
