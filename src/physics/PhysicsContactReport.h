#pragma once

#include <cstdint>
#include <vector>

#include "physics/PhysicsMath.h"

class PhysicsActor;

struct PhysicsContactPoint {
    PhysicsVec3 position;
    float separation = 0.0f; // negative when penetrating
    // Zero unless one of the two shapes has PhysicsShapeFlags::PointContactForce.
    float normalForce = 0.0f;
};

// The points of one shape pair; the normal points towards actors[0].
struct PhysicsContactPatch {
    PhysicsVec3 normal;
    std::vector<PhysicsContactPoint> points;
};

struct PhysicsContactPair {
    PhysicsActor* actors[2] = {nullptr, nullptr};
    std::vector<PhysicsContactPatch> patches;
    PhysicsVec3 sumNormalForce; // over the whole step, on actors[0]
};

// Receives the contact events of the actor pairs whose groups ask for them.
// Each event comes in its own call: a first touch gives StartTouch and then
// Touch; an end of touch carries the last points seen. A report must not
// release actors: the step's later events may still name them.
class PhysicsContactReport {
public:
    virtual ~PhysicsContactReport() = default;
    virtual void onContactNotify(PhysicsContactPair& pair, std::uint32_t events) = 0;
};
