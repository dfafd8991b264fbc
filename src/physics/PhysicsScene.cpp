#include "physics/PhysicsScene.h"

#include <BulletCollision/BroadphaseCollision/btDbvtBroadphase.h>
#include <BulletCollision/CollisionDispatch/btCollisionDispatcher.h>
#include <BulletCollision/CollisionDispatch/btDefaultCollisionConfiguration.h>
#include <BulletDynamics/ConstraintSolver/btSequentialImpulseConstraintSolver.h>
#include <BulletDynamics/Dynamics/btDiscreteDynamicsWorld.h>
#include <algorithm>
#include <cmath>

#include "core/Log.h"
#include "physics/BulletConversions.h"
#include "physics/MaskedRayCallback.h"

VORN_FILE_LOGGER("PhysicsScene")

namespace {

PhysicsMaterialDesc defaultMaterialDesc() {
    PhysicsMaterialDesc desc;
    desc.staticFriction = 0.5f;
    desc.dynamicFriction = 0.5f;
    return desc;
}

PhysicsActor* actorOf(const btCollisionObject* object) {
    return static_cast<PhysicsActor*>(object->getUserPointer());
}

} // namespace

PhysicsScene::PhysicsScene(const PhysicsSceneDesc& sceneDesc, float skin, float maxAngularVelocity)
    : desc(sceneDesc), skinWidth(skin), defaultMaxAngularVelocity(maxAngularVelocity),
      configuration(std::make_unique<btDefaultCollisionConfiguration>()),
      dispatcher(std::make_unique<btCollisionDispatcher>(configuration.get())),
      broadphase(std::make_unique<btDbvtBroadphase>()),
      solver(std::make_unique<btSequentialImpulseConstraintSolver>()),
      world(std::make_unique<btDiscreteDynamicsWorld>(dispatcher.get(), broadphase.get(), solver.get(),
                                                      configuration.get())) {
    broadphase->getOverlappingPairCache()->setOverlapFilterCallback(&pairFilter);
    world->setInternalTickCallback(&PhysicsScene::onPreTick, this, true);
    world->setInternalTickCallback(&PhysicsScene::onPostTick, this, false);
    world->setGravity(toBullet(desc.gravity));
    materials.push_back(std::make_unique<PhysicsMaterial>(0, defaultMaterialDesc()));
}

// Fluids and fields refer to actors, actors to the world: they go in that order.
PhysicsScene::~PhysicsScene() {
    fluids.clear();
    forceFields.clear();
    actors.clear();
}

void PhysicsScene::setActorGroupPairFlags(std::uint16_t group1, std::uint16_t group2, std::uint32_t flags) {
    contacts.setGroupPairFlags(group1, group2, flags);
}

std::uint32_t PhysicsScene::getActorGroupPairFlags(std::uint16_t group1, std::uint16_t group2) const {
    return contacts.getGroupPairFlags(group1, group2);
}

void PhysicsScene::setGroupCollisionFlag(std::uint16_t group1, std::uint16_t group2, bool enable) {
    pairFilter.setGroupCollisionFlag(group1, group2, enable);
    refreshAllCollisionFilters();
}

bool PhysicsScene::getGroupCollisionFlag(std::uint16_t group1, std::uint16_t group2) const {
    return pairFilter.getGroupCollisionFlag(group1, group2);
}

void PhysicsScene::refreshAllCollisionFilters() {
    for (const auto& actor : actors) {
        actor->refreshCollisionFilter();
    }
}

PhysicsActor* PhysicsScene::createActor(const PhysicsActorDesc& actorDesc) {
    const PhysicsActor::Context context{*this, *world, skinWidth, defaultMaxAngularVelocity, nextActorId};
    auto actor = PhysicsActor::create(context, actorDesc);
    if (!actor) {
        return nullptr;
    }
    ++nextActorId;
    actors.push_back(std::move(actor));
    return actors.back().get();
}

void PhysicsScene::releaseActor(PhysicsActor& actor) {
    contacts.forget(actor);
    triggers.forget(actor);
    for (const auto& fluid : fluids) {
        fluid->forget(actor);
    }
    for (const auto& field : forceFields) {
        field->detachFrom(actor);
    }
    std::erase_if(actors, [&actor](const auto& owned) { return owned.get() == &actor; });
}

PhysicsMaterial* PhysicsScene::createMaterial(const PhysicsMaterialDesc& materialDesc) {
    if (!materialDesc.isValid() || materials.size() > 0xFFFF) {
        LOG_WARN("Material refused");
        return nullptr;
    }
    const auto index = static_cast<std::uint16_t>(materials.size());
    materials.push_back(std::make_unique<PhysicsMaterial>(index, materialDesc));
    return materials.back().get();
}

PhysicsMaterial* PhysicsScene::getMaterialFromIndex(std::uint16_t index) const {
    return index < materials.size() ? materials[index].get() : nullptr;
}

const PhysicsMaterial& PhysicsScene::materialOf(const PhysicsShape& shape) const {
    const PhysicsMaterial* material = getMaterialFromIndex(shape.getMaterial());
    return material ? *material : *materials.front();
}

PhysicsFluid* PhysicsScene::createFluid(const PhysicsFluidDesc& fluidDesc) {
    if ((fluidDesc.flags & PhysicsFluidFlags::Hardware) != 0) {
        LOG_DEBUG("No physics hardware; hardware fluids are not available");
        return nullptr;
    }
    if (!fluidDesc.isValid()) {
        LOG_WARN("Fluid descriptor refused");
        return nullptr;
    }
    fluids.push_back(std::make_unique<PhysicsFluid>(*this, fluidDesc));
    return fluids.back().get();
}

void PhysicsScene::releaseFluid(PhysicsFluid& fluid) {
    std::erase_if(fluids, [&fluid](const auto& owned) { return owned.get() == &fluid; });
}

PhysicsForceField* PhysicsScene::createForceField(const PhysicsForceFieldDesc& fieldDesc) {
    if (!fieldDesc.isValid() || nextForceFieldMaterial == 0) {
        LOG_WARN("Force field descriptor refused");
        return nullptr;
    }
    forceFields.push_back(std::make_unique<PhysicsForceField>(fieldDesc, nextForceFieldMaterial++));
    return forceFields.back().get();
}

void PhysicsScene::releaseForceField(PhysicsForceField& field) {
    std::erase_if(forceFields, [&field](const auto& owned) { return owned.get() == &field; });
}

void PhysicsScene::setGravity(const PhysicsVec3& gravity) {
    world->setGravity(toBullet(gravity));
}

PhysicsVec3 PhysicsScene::getGravity() const {
    return fromBullet(world->getGravity());
}

void PhysicsScene::simulate(float elapsedTime) {
    if (simulating) {
        LOG_WARN("simulate called while a step is pending; the call is ignored");
        return;
    }
    if (std::isfinite(elapsedTime) && elapsedTime > 0.0f) {
        pendingTime += elapsedTime;
    }
    simulating = true;
}

bool PhysicsScene::fetchResults() {
    if (!simulating) {
        return false;
    }
    simulating = false;
    const int substeps = takeDueSubsteps();
    for (int i = 0; i < substeps; ++i) {
        for (const auto& actor : actors) {
            actor->advanceGlide(static_cast<float>(i + 1) / static_cast<float>(substeps));
        }
        world->stepSimulation(desc.substep, 0, desc.substep);
    }
    if (substeps > 0) {
        for (const auto& actor : actors) {
            actor->endStep();
        }
        for (const auto& fluid : fluids) {
            fluid->finishStep();
        }
        deliver(static_cast<float>(substeps) * desc.substep);
    }
    return true;
}

void PhysicsScene::dropStep() {
    simulating = false;
    pendingTime = 0.0;
}

void PhysicsScene::rebuildCaches() {
    btCollisionObjectArray& objects = world->getCollisionObjectArray();
    std::vector<btRigidBody*> bodies;
    for (int i = 0; i < objects.size(); ++i) {
        bodies.push_back(btRigidBody::upcast(objects[i]));
    }
    for (btRigidBody* body : bodies) {
        world->removeRigidBody(body);
    }
    broadphase = std::make_unique<btDbvtBroadphase>();
    broadphase->getOverlappingPairCache()->setOverlapFilterCallback(&pairFilter);
    world->setBroadphase(broadphase.get());
    for (btRigidBody* body : bodies) {
        world->addRigidBody(body);
        if (!body->isStaticOrKinematicObject()) {
            body->activate(true);
        }
    }
    solver->reset();
    contacts.clear();
    triggers.clear();
    dropStep();
}

// Whole internal steps due; a hitch longer than maxIter steps is dropped.
int PhysicsScene::takeDueSubsteps() {
    const int perStep = std::max(1, static_cast<int>(std::lround(desc.maxTimestep / desc.substep)));
    const int limit = perStep * static_cast<int>(desc.maxIter);
    const int due = static_cast<int>(std::floor(pendingTime / desc.substep + 1e-4));
    if (due > limit) {
        pendingTime = 0.0;
        return limit;
    }
    pendingTime = std::max(0.0, pendingTime - due * static_cast<double>(desc.substep));
    return due;
}

void PhysicsScene::deliver(float stepTime) {
    auto contactEvents = contacts.finishStep(stepTime);
    const auto triggerEvents = triggers.finishStep();
    if (contactReport) {
        for (auto& event : contactEvents) {
            contactReport->onContactNotify(event.pair, event.events);
        }
    }
    if (triggerReport) {
        for (const auto& event : triggerEvents) {
            triggerReport->onTrigger(*event.triggerShape, *event.otherShape, event.status);
        }
    }
}

void PhysicsScene::onPreTick(btDynamicsWorld* world, float dt) {
    static_cast<PhysicsScene*>(world->getWorldUserInfo())->beginSubstep(dt);
}

void PhysicsScene::onPostTick(btDynamicsWorld* world, float dt) {
    static_cast<PhysicsScene*>(world->getWorldUserInfo())->endSubstep(dt);
}

void PhysicsScene::beginSubstep(float dt) {
    contacts.beginSubstep();
    for (const auto& actor : actors) {
        actor->beginSubstep(dt);
    }
}

void PhysicsScene::endSubstep(float dt) {
    for (const auto& actor : actors) {
        actor->endSubstep();
    }
    observeManifolds(dt);
    stepFluids(dt);
}

void PhysicsScene::stepFluids(float dt) {
    for (const auto& field : forceFields) {
        field->prepare();
    }
    const btVector3 gravity = world->getGravity();
    for (const auto& fluid : fluids) {
        coupledFields.clear();
        for (const auto& field : forceFields) {
            if (field->getForceFieldMaterial() == fluid->getForceFieldMaterial()) {
                coupledFields.push_back(field.get());
            }
        }
        fluid->step(dt, gravity, coupledFields, *world);
    }
}

void PhysicsScene::observeManifolds(float dt) {
    for (int i = 0; i < dispatcher->getNumManifolds(); ++i) {
        const btPersistentManifold& manifold = *dispatcher->getManifoldByIndexInternal(i);
        PhysicsActor* actor0 = actorOf(manifold.getBody0());
        PhysicsActor* actor1 = actorOf(manifold.getBody1());
        if (manifold.getNumContacts() == 0 || !actor0 || !actor1 || actor0 == actor1) {
            continue;
        }
        const btManifoldPoint& first = manifold.getContactPoint(0);
        PhysicsShape& shape0 = actor0->shapeAt(first.m_index0);
        PhysicsShape& shape1 = actor1->shapeAt(first.m_index1);
        if (shape0.isTrigger() && shape1.isTrigger()) {
            continue;
        }
        if (shape0.isTrigger()) {
            triggers.observe(manifold, shape0, shape1);
        } else if (shape1.isTrigger()) {
            triggers.observe(manifold, shape1, shape0);
        } else {
            contacts.observe(manifold, shape0, shape1, dt);
        }
    }
}

PhysicsShape* PhysicsScene::raycastClosestShape(const PhysicsRay& ray, PhysicsShapesType shapesType,
                                                PhysicsRaycastHit& hit, std::uint32_t groups,
                                                float maxDist) const {
    const btVector3 from = toBullet(ray.orig);
    btVector3 dir = toBullet(ray.dir);
    const float length = dir.length();
    if (!(length > 0.0f) || !std::isfinite(length) || !(maxDist > 0.0f) || actors.empty()) {
        return nullptr;
    }
    dir /= length;
    // The engine wants a finite segment: end it just outside the world.
    const float reach = std::min(maxDist, worldReach(from));
    const btVector3 to = from + dir * reach;
    MaskedRayCallback callback(from, to, groups, shapesType);
    world->rayTest(from, to, callback);
    if (!callback.hasHit() || !callback.hitShape) {
        return nullptr;
    }
    hit.shape = callback.hitShape;
    hit.worldImpact = fromBullet(callback.m_hitPointWorld);
    hit.worldNormal = fromBullet(callback.m_hitNormalWorld);
    hit.distance = callback.m_closestHitFraction * reach;
    hit.faceID = callback.faceID;
    hit.materialIndex = callback.hitShape->getMaterial();
    return callback.hitShape;
}

float PhysicsScene::worldReach(const btVector3& from) const {
    btVector3 aabbMin;
    btVector3 aabbMax;
    broadphase->getBroadphaseAabb(aabbMin, aabbMax);
    btVector3 farthest = (from - aabbMin).absolute();
    farthest.setMax((from - aabbMax).absolute());
    return farthest.length() + 1.0f;
}
