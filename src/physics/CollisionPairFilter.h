#pragma once

#include <BulletCollision/BroadphaseCollision/btOverlappingPairCache.h>
#include <array>
#include <cstdint>

class PhysicsActor;

// Decides which actors may meet at all: never an actor whose collision is
// disabled, never two that cannot move, never two pure triggers, and only
// when some pair of their shape groups collides.
class CollisionPairFilter : public btOverlapFilterCallback {
public:
    CollisionPairFilter();

    void setGroupCollisionFlag(std::uint16_t group1, std::uint16_t group2, bool enable);
    bool getGroupCollisionFlag(std::uint16_t group1, std::uint16_t group2) const;

    bool needBroadphaseCollision(btBroadphaseProxy* proxy0, btBroadphaseProxy* proxy1) const override;
    bool canMeet(const PhysicsActor& a, const PhysicsActor& b) const;

private:
    bool shapeGroupsCollide(const PhysicsActor& a, const PhysicsActor& b) const;

    std::array<std::uint32_t, 32> collidingGroups;
};
