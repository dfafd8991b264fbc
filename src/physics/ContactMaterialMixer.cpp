#include "physics/ContactMaterialMixer.h"

#include <BulletCollision/CollisionDispatch/btCollisionObjectWrapper.h>
#include <BulletCollision/CollisionDispatch/btInternalEdgeUtility.h>
#include <BulletCollision/CollisionDispatch/btManifoldResult.h>
#include <BulletCollision/CollisionShapes/btCollisionShape.h>
#include <BulletCollision/CollisionShapes/btConvexShape.h>
#include <BulletCollision/CollisionShapes/btTriangleShape.h>
#include <cmath>

#include "physics/PhysicsActor.h"
#include "physics/PhysicsMaterial.h"
#include "physics/PhysicsScene.h"

namespace {

constexpr btScalar kFaceNormalCosine = 0.9999f;

// The wrapper of a triangle or a compound child has no shape of ours; its parent has.
PhysicsShape* shapeOf(const btCollisionObjectWrapper* wrap) {
    for (; wrap; wrap = wrap->m_parent) {
        if (void* shape = wrap->getCollisionShape()->getUserPointer()) {
            return static_cast<PhysicsShape*>(shape);
        }
    }
    return nullptr;
}

// Below a body the two faces of a flat inner edge both report a contact.
// Once the edge contact has been given the face normal it must also measure
// its distance along that normal; a round body's point must move under the
// body, too: left at the edge, the rim of a rolling ball runs into it and
// the solver throws the ball up.
void placeOnFace(btManifoldPoint& point, const btCollisionObjectWrapper* convexWrap,
                 const btCollisionObjectWrapper* triangleWrap) {
    const auto* triangle = static_cast<const btTriangleShape*>(triangleWrap->getCollisionShape());
    const btTransform& meshTransform = triangleWrap->getWorldTransform();
    btVector3 faceNormal;
    triangle->calcNormal(faceNormal);
    const btVector3& normal = point.m_normalWorldOnB;
    if (std::abs(normal.dot(meshTransform.getBasis() * faceNormal)) < kFaceNormalCosine) {
        return;
    }
    const auto* convex = static_cast<const btConvexShape*>(convexWrap->getCollisionShape());
    const btTransform& convexTransform = convexWrap->getWorldTransform();
    if (!convex->isPolyhedral()) {
        const btVector3 localDirection = convexTransform.getBasis().transpose() * -normal;
        point.m_positionWorldOnA = convexTransform * convex->localGetSupportingVertex(localDirection);
        point.m_localPointA = convexTransform.invXform(point.m_positionWorldOnA);
    }
    const btScalar distance = normal.dot(point.m_positionWorldOnA - meshTransform * triangle->m_vertices1[0]);
    point.m_positionWorldOnB = point.m_positionWorldOnA - normal * distance;
    point.m_localPointB = meshTransform.invXform(point.m_positionWorldOnB);
    point.m_distance1 = distance;
}

} // namespace

void ContactMaterialMixer::install() {
    gContactAddedCallback = &ContactMaterialMixer::onContactAdded;
}

// Convex-versus-mesh manifolds always hold the mesh as the second body.
bool ContactMaterialMixer::onContactAdded(btManifoldPoint& point, const btCollisionObjectWrapper* wrap0, int,
                                          int, const btCollisionObjectWrapper* wrap1, int part1, int index1) {
    if (wrap1->getCollisionShape()->getShapeType() == TRIANGLE_SHAPE_PROXYTYPE &&
        wrap0->getCollisionShape()->isConvex()) {
        const btVector3 found = point.m_normalWorldOnB;
        btAdjustInternalEdgeContacts(point, wrap1, wrap0, part1, index1);
        if (found.dot(point.m_normalWorldOnB) < kFaceNormalCosine) {
            placeOnFace(point, wrap0, wrap1);
        }
    }
    const PhysicsShape* shape0 = shapeOf(wrap0);
    const PhysicsShape* shape1 = shapeOf(wrap1);
    if (shape0 && shape1) {
        const PhysicsScene& scene = shape0->getActor().getScene();
        const PhysicsMaterial& material0 = scene.materialOf(*shape0);
        const PhysicsMaterial& material1 = scene.materialOf(*shape1);
        point.m_combinedFriction = PhysicsMaterial::combineFriction(material0, material1);
        point.m_combinedRestitution = PhysicsMaterial::combineRestitution(material0, material1);
        point.m_index0 = shape0->getIndex();
        point.m_index1 = shape1->getIndex();
    }
    return true;
}
