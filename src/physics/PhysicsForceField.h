#pragma once

#include <cstdint>
#include <memory>

#include "physics/PhysicsForceFieldDesc.h"

class btTransform;
class btVector3;

// A box-shaped push on fluid particles, riding on its actor. Fluids whose force
// field material is this field's material feel it; nothing else does.
class PhysicsForceField {
public:
    PhysicsForceField(const PhysicsForceFieldDesc& desc, std::uint16_t material);
    ~PhysicsForceField();
    PhysicsForceField(const PhysicsForceField&) = delete;
    PhysicsForceField& operator=(const PhysicsForceField&) = delete;

    PhysicsActor* getActor() const { return actor; }
    std::uint16_t getForceFieldMaterial() const { return material; }
    const PhysicsForceFieldLinearKernelDesc& getKernel() const { return kernel; }
    PhysicsPose getGlobalPose() const;

    // Engine side.
    // Takes the field's pose for the coming internal step.
    void prepare();
    // Adds the push at a world position to `acceleration`; false outside the box.
    bool push(const btVector3& position, btVector3& acceleration) const;
    void detachFrom(const PhysicsActor& gone);

private:
    struct Frame;

    btTransform globalTransform() const;

    PhysicsActor* actor;
    PhysicsPose localPose;
    const PhysicsVec3 halfExtents;
    const PhysicsForceFieldLinearKernelDesc kernel;
    const std::uint16_t material;
    std::unique_ptr<Frame> frame; // the field's pose for the current internal step
};
