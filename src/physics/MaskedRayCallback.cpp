#include "physics/MaskedRayCallback.h"

#include <algorithm>

#include "physics/PhysicsActor.h"

namespace {

PhysicsActor* actorOf(const btCollisionObject* object) {
    return static_cast<PhysicsActor*>(object->getUserPointer());
}

} // namespace

MaskedRayCallback::MaskedRayCallback(const btVector3& from, const btVector3& to, std::uint32_t groupMask,
                                     PhysicsShapesType types)
    : ClosestRayResultCallback(from, to), groups(groupMask), shapesType(types) {}

bool MaskedRayCallback::sees(const PhysicsShape& shape) const {
    return !shape.isTrigger() && (groups & (1u << shape.getGroup())) != 0;
}

bool MaskedRayCallback::needsCollision(btBroadphaseProxy* proxy) const {
    const PhysicsActor* actor = actorOf(static_cast<const btCollisionObject*>(proxy->m_clientObject));
    if (!actor || actor->isCollisionDisabled()) {
        return false;
    }
    const auto wanted =
        static_cast<int>(actor->isDynamic() ? PhysicsShapesType::Dynamic : PhysicsShapesType::Static);
    if ((static_cast<int>(shapesType) & wanted) == 0) {
        return false;
    }
    const auto& shapes = actor->getShapes();
    return std::any_of(shapes.begin(), shapes.end(),
                       [this](const PhysicsShape* shape) { return sees(*shape); });
}

// A compound actor names the hit child in the triangle index; a triangle
// mesh names the hit triangle there.
btScalar MaskedRayCallback::addSingleResult(btCollisionWorld::LocalRayResult& result,
                                            bool normalInWorldSpace) {
    const PhysicsActor* actor = actorOf(result.m_collisionObject);
    const int part = result.m_localShapeInfo ? result.m_localShapeInfo->m_triangleIndex : 0;
    const bool compound = actor->getShapes().size() > 1;
    PhysicsShape& shape = actor->shapeAt(compound ? part : 0);
    if (!sees(shape) || result.m_hitFraction > m_closestHitFraction) {
        return m_closestHitFraction;
    }
    hitShape = &shape;
    faceID = compound ? 0 : static_cast<std::uint32_t>(std::max(part, 0));
    return ClosestRayResultCallback::addSingleResult(result, normalInWorldSpace);
}
