#pragma once

#include "physics/PhysicsSDK.h"

// A level-sized physics scene: a gently rolling terrain mesh of 20,000 triangles,
// the player's ball driven by torque and 50 loose crates.
class TerrainScene {
public:
    TerrainScene();

    TerrainScene(const TerrainScene&) = delete;
    TerrainScene& operator=(const TerrainScene&) = delete;

    // The height of the terrain below (x, z).
    static float height(float x, float z);

    // One 1/60 s step, the ball pushed on.
    void step();

    PhysicsScene& scene() const { return *physicsScene; }
    PhysicsActor& ball() const { return *ballActor; }

private:
    PhysicsTriangleMesh* cookTerrain();
    PhysicsActor* addBody(const PhysicsShapeDesc& shape, const PhysicsVec3& position);

    PhysicsSDK sdk;
    PhysicsScene* physicsScene = nullptr;
    PhysicsActor* ballActor = nullptr;
    float torque = 0.0f;
};
