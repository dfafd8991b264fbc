#include "physics/CollisionPairFilter.h"

#include <BulletCollision/CollisionDispatch/btCollisionObject.h>

#include "physics/PhysicsActor.h"

namespace {

const PhysicsActor* actorOf(const btBroadphaseProxy* proxy) {
    const auto* object = static_cast<const btCollisionObject*>(proxy->m_clientObject);
    return static_cast<const PhysicsActor*>(object->getUserPointer());
}

} // namespace

CollisionPairFilter::CollisionPairFilter() {
    collidingGroups.fill(0xFFFFFFFFu);
}

void CollisionPairFilter::setGroupCollisionFlag(std::uint16_t group1, std::uint16_t group2, bool enable) {
    if (group1 >= 32 || group2 >= 32) {
        return;
    }
    const auto set = [enable](std::uint32_t& row, std::uint16_t bit) {
        row = enable ? (row | (1u << bit)) : (row & ~(1u << bit));
    };
    set(collidingGroups[group1], group2);
    set(collidingGroups[group2], group1);
}

bool CollisionPairFilter::getGroupCollisionFlag(std::uint16_t group1, std::uint16_t group2) const {
    return group1 < 32 && group2 < 32 && (collidingGroups[group1] & (1u << group2)) != 0;
}

bool CollisionPairFilter::needBroadphaseCollision(btBroadphaseProxy* proxy0,
                                                  btBroadphaseProxy* proxy1) const {
    const PhysicsActor* a = actorOf(proxy0);
    const PhysicsActor* b = actorOf(proxy1);
    return a && b && canMeet(*a, *b);
}

bool CollisionPairFilter::canMeet(const PhysicsActor& a, const PhysicsActor& b) const {
    if (a.isCollisionDisabled() || b.isCollisionDisabled()) {
        return false;
    }
    if (!a.isMovable() && !b.isMovable()) {
        return false;
    }
    if (a.hasOnlyTriggers() && b.hasOnlyTriggers()) {
        return false;
    }
    return shapeGroupsCollide(a, b);
}

bool CollisionPairFilter::shapeGroupsCollide(const PhysicsActor& a, const PhysicsActor& b) const {
    for (const PhysicsShape* shapeA : a.getShapes()) {
        for (const PhysicsShape* shapeB : b.getShapes()) {
            if (getGroupCollisionFlag(shapeA->getGroup(), shapeB->getGroup())) {
                return true;
            }
        }
    }
    return false;
}
