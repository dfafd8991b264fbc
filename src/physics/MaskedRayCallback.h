#pragma once

#include <BulletCollision/CollisionDispatch/btCollisionWorld.h>
#include <cstdint>

#include "physics/PhysicsFlags.h"

class PhysicsShape;

// Closest-hit ray test that sees a shape only when its group's bit is set in
// the mask and its actor is of the asked kind. Trigger shapes and actors with
// collision disabled are never hit.
class MaskedRayCallback : public btCollisionWorld::ClosestRayResultCallback {
public:
    MaskedRayCallback(const btVector3& from, const btVector3& to, std::uint32_t groups,
                      PhysicsShapesType shapesType);

    bool needsCollision(btBroadphaseProxy* proxy) const override;
    btScalar addSingleResult(btCollisionWorld::LocalRayResult& result, bool normalInWorldSpace) override;

    PhysicsShape* hitShape = nullptr;
    std::uint32_t faceID = 0;

private:
    bool sees(const PhysicsShape& shape) const;

    std::uint32_t groups;
    PhysicsShapesType shapesType;
};
