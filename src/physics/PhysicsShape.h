#pragma once

#include <cstdint>
#include <memory>

#include "physics/PhysicsShapeDesc.h"

class PhysicsActor;
class btCollisionShape;

// One collision volume of an actor. Its group (0..31) decides which other
// shapes it meets (the scene's group collision flags) and which ray casts see it.
class PhysicsShape {
public:
    // The engine's shape for a descriptor; null when the descriptor is unusable.
    static std::unique_ptr<btCollisionShape> buildCollisionShape(const PhysicsShapeDesc& desc,
                                                                 float skinWidth);
    // Volume for mass from density; a triangle mesh encloses none.
    static float volumeOf(const PhysicsShapeDesc& desc);

    PhysicsShape(PhysicsActor& actor, int index, const PhysicsShapeDesc& desc,
                 std::unique_ptr<btCollisionShape> collisionShape);
    ~PhysicsShape();
    PhysicsShape(const PhysicsShape&) = delete;
    PhysicsShape& operator=(const PhysicsShape&) = delete;

    PhysicsActor& getActor() const { return actor; }
    PhysicsShapeType getType() const { return type; }

    // Groups above 31 are refused with a warning.
    void setGroup(std::uint16_t newGroup);
    std::uint16_t getGroup() const { return group; }

    void setFlag(std::uint32_t flag, bool value);
    bool getFlag(std::uint32_t flag) const { return (flags & flag) == flag; }
    bool isTrigger() const { return (flags & PhysicsShapeFlags::TriggerEnable) != 0; }

    void setMaterial(std::uint16_t index) { materialIndex = index; }
    std::uint16_t getMaterial() const { return materialIndex; }

    const PhysicsPose& getLocalPose() const { return localPose; }

    // Engine side.
    int getIndex() const { return index; }
    btCollisionShape& getCollisionShape() const { return *collisionShape; }

private:
    PhysicsActor& actor;
    const int index;
    const PhysicsShapeType type;
    const PhysicsPose localPose;
    std::uint16_t group = 0;
    std::uint32_t flags;
    std::uint16_t materialIndex;
    std::unique_ptr<btCollisionShape> collisionShape;
};
