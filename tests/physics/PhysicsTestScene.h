#pragma once

#include <cstdint>
#include <thread>
#include <vector>

#include "physics/PhysicsSDK.h"

// A scene with the game's gravity and helpers to populate and step it.
class PhysicsTestScene {
public:
    PhysicsTestScene();

    PhysicsActor* addBox(const PhysicsVec3& position, const PhysicsVec3& halfExtents, float density = 0.0f,
                         std::uint16_t shapeGroup = 0, std::uint32_t shapeFlags = 0);
    PhysicsActor* addBall(const PhysicsVec3& position, float radius, std::uint16_t shapeGroup = 0,
                          std::uint32_t shapeFlags = 0);
    // A flat static floor at height y, cut into two triangles per square cell.
    PhysicsActor* addTessellatedFloor(float minX, float minZ, int cellsX, int cellsZ, float cellSize,
                                      float y);
    PhysicsTriangleMesh* cookGrid(float minX, float minZ, int cellsX, int cellsZ, float cellSize, float y);

    // simulate, flushStream and fetchResults, one 1/60 s step at a time.
    void step(int count = 1);

    PhysicsSDK sdk;
    PhysicsScene* scene;
};

struct RecordedContact {
    PhysicsContactPair pair;
    std::uint32_t events;
    std::thread::id thread;
};

class RecordingContactReport : public PhysicsContactReport {
public:
    void onContactNotify(PhysicsContactPair& pair, std::uint32_t events) override;
    int count(std::uint32_t events) const;

    std::vector<RecordedContact> contacts;
};

struct RecordedTrigger {
    PhysicsShape* triggerShape;
    PhysicsShape* otherShape;
    std::uint32_t status;
};

class RecordingTriggerReport : public PhysicsTriggerReport {
public:
    void onTrigger(PhysicsShape& triggerShape, PhysicsShape& otherShape, std::uint32_t status) override;
    int count(std::uint32_t status) const;

    std::vector<RecordedTrigger> triggers;
};
