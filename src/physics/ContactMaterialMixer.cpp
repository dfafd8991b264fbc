#include "physics/ContactMaterialMixer.h"

#include <BulletCollision/CollisionDispatch/btCollisionObjectWrapper.h>
#include <BulletCollision/CollisionDispatch/btInternalEdgeUtility.h>
#include <BulletCollision/CollisionDispatch/btManifoldResult.h>
#include <BulletCollision/CollisionShapes/btCollisionShape.h>

#include "physics/PhysicsActor.h"
#include "physics/PhysicsMaterial.h"
#include "physics/PhysicsScene.h"

namespace {

// The wrapper of a triangle or a compound child has no shape of ours; its parent has.
PhysicsShape* shapeOf(const btCollisionObjectWrapper* wrap) {
    for (; wrap; wrap = wrap->m_parent) {
        if (void* shape = wrap->getCollisionShape()->getUserPointer()) {
            return static_cast<PhysicsShape*>(shape);
        }
    }
    return nullptr;
}

} // namespace

void ContactMaterialMixer::install() {
    gContactAddedCallback = &ContactMaterialMixer::onContactAdded;
}

// Convex-versus-mesh manifolds always hold the mesh as the second body.
bool ContactMaterialMixer::onContactAdded(btManifoldPoint& point, const btCollisionObjectWrapper* wrap0, int,
                                          int, const btCollisionObjectWrapper* wrap1, int part1, int index1) {
    if (wrap1->getCollisionShape()->getShapeType() == TRIANGLE_SHAPE_PROXYTYPE) {
        btAdjustInternalEdgeContacts(point, wrap1, wrap0, part1, index1);
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
