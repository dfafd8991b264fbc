#include "physics/PhysicsShape.h"

#include <BulletCollision/CollisionShapes/btBoxShape.h>
#include <BulletCollision/CollisionShapes/btConvexHullShape.h>
#include <BulletCollision/CollisionShapes/btScaledBvhTriangleMeshShape.h>
#include <BulletCollision/CollisionShapes/btSphereShape.h>
#include <algorithm>
#include <cmath>
#include <numbers>

#include "core/Log.h"
#include "physics/BulletConversions.h"
#include "physics/PhysicsActor.h"
#include "physics/PhysicsConvexMesh.h"
#include "physics/PhysicsTriangleMesh.h"

VORN_FILE_LOGGER("PhysicsShape")

namespace {

constexpr std::uint16_t kGroupCount = 32;
// The engine's usual box margin, reduced for thin boxes so it stays inside them.
constexpr float kBoxMargin = 0.04f;

bool isPositive(float value) {
    return std::isfinite(value) && value > 0.0f;
}

std::unique_ptr<btCollisionShape> buildBox(const PhysicsVec3& halfExtents) {
    if (!isPositive(halfExtents.x) || !isPositive(halfExtents.y) || !isPositive(halfExtents.z)) {
        return nullptr;
    }
    auto box = std::make_unique<btBoxShape>(toBullet(halfExtents));
    box->setMargin(std::min(kBoxMargin, 0.5f * std::min({halfExtents.x, halfExtents.y, halfExtents.z})));
    return box;
}

std::unique_ptr<btCollisionShape> buildConvex(const PhysicsConvexMesh* mesh, float skinWidth) {
    if (!mesh) {
        return nullptr;
    }
    auto hull = std::make_unique<btConvexHullShape>(mesh->getPoints().data(),
                                                    static_cast<int>(mesh->getVertexCount()),
                                                    static_cast<int>(3 * sizeof(float)));
    hull->setMargin(skinWidth);
    return hull;
}

std::unique_ptr<btCollisionShape> buildTriangleMesh(PhysicsTriangleMesh* mesh) {
    if (!mesh) {
        return nullptr;
    }
    // A scaled wrapper per shape, so each shape can carry its own user pointer.
    return std::make_unique<btScaledBvhTriangleMeshShape>(&mesh->getCollisionShape(), btVector3(1, 1, 1));
}

} // namespace

std::unique_ptr<btCollisionShape> PhysicsShape::buildCollisionShape(const PhysicsShapeDesc& desc,
                                                                    float skinWidth) {
    switch (desc.type) {
    case PhysicsShapeType::Sphere:
        return isPositive(desc.radius) ? std::make_unique<btSphereShape>(desc.radius) : nullptr;
    case PhysicsShapeType::Box:
        return buildBox(desc.dimensions);
    case PhysicsShapeType::Convex:
        return buildConvex(desc.convexMesh, skinWidth);
    case PhysicsShapeType::TriangleMesh:
        return buildTriangleMesh(desc.triangleMesh);
    }
    return nullptr;
}

float PhysicsShape::volumeOf(const PhysicsShapeDesc& desc) {
    switch (desc.type) {
    case PhysicsShapeType::Sphere:
        return 4.0f / 3.0f * std::numbers::pi_v<float> * desc.radius * desc.radius * desc.radius;
    case PhysicsShapeType::Box:
        return 8.0f * desc.dimensions.x * desc.dimensions.y * desc.dimensions.z;
    case PhysicsShapeType::Convex:
        return desc.convexMesh ? desc.convexMesh->getVolume() : 0.0f;
    case PhysicsShapeType::TriangleMesh:
        return 0.0f;
    }
    return 0.0f;
}

PhysicsShape::PhysicsShape(PhysicsActor& owner, int shapeIndex, const PhysicsShapeDesc& desc,
                           std::unique_ptr<btCollisionShape> shape)
    : actor(owner), index(shapeIndex), type(desc.type), localPose(desc.localPose), flags(desc.flags),
      materialIndex(desc.materialIndex), collisionShape(std::move(shape)) {
    collisionShape->setUserPointer(this);
    if (desc.group < kGroupCount) {
        group = desc.group;
    } else {
        LOG_WARN("Shape group " << desc.group << " is out of range, using 0");
    }
}

PhysicsShape::~PhysicsShape() = default;

void PhysicsShape::setGroup(std::uint16_t newGroup) {
    if (newGroup >= kGroupCount) {
        LOG_WARN("Shape group " << newGroup << " is out of range and was ignored");
        return;
    }
    if (newGroup != group) {
        group = newGroup;
        actor.refreshCollisionFilter();
    }
}

void PhysicsShape::setFlag(std::uint32_t flag, bool value) {
    const bool wasTrigger = isTrigger();
    flags = value ? (flags | flag) : (flags & ~flag);
    if (isTrigger() != wasTrigger) {
        actor.refreshCollisionFilter();
    }
}
