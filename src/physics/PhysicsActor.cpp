#include "physics/PhysicsActor.h"

#include <BulletCollision/CollisionShapes/btCompoundShape.h>
#include <BulletDynamics/Dynamics/btDiscreteDynamicsWorld.h>
#include <BulletDynamics/Dynamics/btRigidBody.h>
#include <algorithm>

#include "core/Log.h"
#include "physics/BulletConversions.h"

VORN_FILE_LOGGER("PhysicsActor")

namespace {

// Below these speeds a body may fall asleep; the engine's defaults are far
// higher and would stop a slowly coasting ball.
constexpr float kSleepLinearSpeed = 0.15f;
constexpr float kSleepAngularSpeed = 0.15f;

// Wakes every movable body whose bounds overlap the queried box.
struct SleeperWaker : btBroadphaseAabbCallback {
    bool process(const btBroadphaseProxy* proxy) override {
        const auto* object = static_cast<const btCollisionObject*>(proxy->m_clientObject);
        const auto* actor = static_cast<const PhysicsActor*>(object->getUserPointer());
        if (actor && actor->isMovable()) {
            actor->getRigidBody().activate(true);
        }
        return true;
    }
};

bool hasTriangleMesh(const PhysicsActorDesc& desc) {
    return std::any_of(desc.shapes.begin(), desc.shapes.end(), [](const PhysicsShapeDesc& shape) {
        return shape.type == PhysicsShapeType::TriangleMesh;
    });
}

// The body mass from either the given mass or the density; 0 when the two are
// not given exactly once.
float bodyMassOf(const PhysicsActorDesc& desc) {
    const float givenMass = desc.body->mass;
    if (givenMass > 0.0f && desc.density == 0.0f) {
        return givenMass;
    }
    if (givenMass != 0.0f || !(desc.density > 0.0f)) {
        return 0.0f;
    }
    float volume = 0.0f;
    for (const PhysicsShapeDesc& shape : desc.shapes) {
        volume += PhysicsShape::volumeOf(shape);
    }
    return desc.density * volume;
}

} // namespace

std::unique_ptr<PhysicsActor> PhysicsActor::create(const Context& context, const PhysicsActorDesc& desc) {
    if (desc.shapes.empty()) {
        LOG_WARN("An actor needs at least one shape");
        return nullptr;
    }
    if (desc.body && hasTriangleMesh(desc)) {
        LOG_WARN("A triangle mesh can only be part of a static actor");
        return nullptr;
    }
    const float bodyMass = desc.body ? bodyMassOf(desc) : 0.0f;
    if (desc.body && !(bodyMass > 0.0f)) {
        LOG_WARN("A moving actor needs either a mass or a density");
        return nullptr;
    }
    std::vector<std::unique_ptr<btCollisionShape>> collisionShapes;
    for (const PhysicsShapeDesc& shapeDesc : desc.shapes) {
        collisionShapes.push_back(PhysicsShape::buildCollisionShape(shapeDesc, context.skinWidth));
        if (!collisionShapes.back()) {
            LOG_WARN("Shape " << collisionShapes.size() - 1 << " of the actor is not usable");
            return nullptr;
        }
    }
    return std::unique_ptr<PhysicsActor>(
        new PhysicsActor(context, desc, std::move(collisionShapes), bodyMass));
}

PhysicsActor::PhysicsActor(const Context& context, const PhysicsActorDesc& desc,
                           std::vector<std::unique_ptr<btCollisionShape>> collisionShapes, float bodyMass)
    : scene(context.scene), world(context.world), id(context.id), dynamic(desc.body != nullptr),
      mass(bodyMass), userData(desc.userData), group(desc.group),
      maxAngularVelocity(context.defaultMaxAngularVelocity) {
    for (std::size_t i = 0; i < collisionShapes.size(); ++i) {
        shapes.push_back(std::make_unique<PhysicsShape>(*this, static_cast<int>(i), desc.shapes[i],
                                                        std::move(collisionShapes[i])));
        shapeView.push_back(shapes.back().get());
    }
    createBody(desc);
    if (desc.body) {
        applyBodyDesc(*desc.body);
    }
}

PhysicsActor::~PhysicsActor() {
    wakeTouchingBodies();
    world.removeRigidBody(body.get());
}

// Bodies resting on this one must not sleep on when it vanishes.
void PhysicsActor::wakeTouchingBodies() {
    btDispatcher& dispatcher = *world.getDispatcher();
    for (int i = 0; i < dispatcher.getNumManifolds(); ++i) {
        const btPersistentManifold& manifold = *dispatcher.getManifoldByIndexInternal(i);
        if (manifold.getBody0() == body.get() || manifold.getBody1() == body.get()) {
            const btCollisionObject* other =
                manifold.getBody0() == body.get() ? manifold.getBody1() : manifold.getBody0();
            static_cast<PhysicsActor*>(other->getUserPointer())->wake();
        }
    }
}

btCollisionShape& PhysicsActor::buildRootShape() {
    if (shapes.size() == 1 && isIdentity(shapes.front()->getLocalPose())) {
        return shapes.front()->getCollisionShape();
    }
    compound = std::make_unique<btCompoundShape>(true, static_cast<int>(shapes.size()));
    for (const auto& shape : shapes) {
        compound->addChildShape(toBullet(shape->getLocalPose()), &shape->getCollisionShape());
    }
    return *compound;
}

void PhysicsActor::createBody(const PhysicsActorDesc& desc) {
    btCollisionShape& rootShape = buildRootShape();
    btVector3 inertia(0, 0, 0);
    if (dynamic) {
        rootShape.calculateLocalInertia(mass, inertia);
    }
    btRigidBody::btRigidBodyConstructionInfo info(dynamic ? mass : 0.0f, nullptr, &rootShape, inertia);
    info.m_startWorldTransform = toBullet(desc.globalPose);
    info.m_linearSleepingThreshold = kSleepLinearSpeed;
    info.m_angularSleepingThreshold = kSleepAngularSpeed;
    body = std::make_unique<btRigidBody>(info);
    body->setUserPointer(this);
    // Every contact passes the material callback, which also smooths mesh edges.
    body->setCollisionFlags(body->getCollisionFlags() | btCollisionObject::CF_CUSTOM_MATERIAL_CALLBACK);
    if (hasOnlyTriggers()) {
        body->setCollisionFlags(body->getCollisionFlags() | btCollisionObject::CF_NO_CONTACT_RESPONSE);
    }
    if (dynamic) {
        enableContinuousCollision();
    }
    world.addRigidBody(body.get());
}

void PhysicsActor::applyBodyDesc(const PhysicsBodyDesc& bodyDesc) {
    linearDamping = bodyDesc.linearDamping;
    angularDamping = bodyDesc.angularDamping;
    body->setLinearVelocity(toBullet(bodyDesc.linearVelocity));
    body->setAngularVelocity(toBullet(bodyDesc.angularVelocity));
    if (bodyDesc.maxAngularVelocity >= 0.0f) {
        setMaxAngularVelocity(bodyDesc.maxAngularVelocity);
    }
    if (bodyDesc.kinematic) {
        setBodyFlag(PhysicsBodyFlag::Kinematic, true);
    }
}

// A body that moves more than half its smallest extent in one internal step
// is swept, so small fast bodies cannot tunnel through thin walls.
void PhysicsActor::enableContinuousCollision() {
    btVector3 aabbMin;
    btVector3 aabbMax;
    body->getCollisionShape()->getAabb(btTransform::getIdentity(), aabbMin, aabbMax);
    const btVector3 halfExtents = 0.5f * (aabbMax - aabbMin);
    const float smallest = std::min({halfExtents.x(), halfExtents.y(), halfExtents.z()});
    body->setCcdMotionThreshold(0.5f * smallest);
    body->setCcdSweptSphereRadius(0.9f * smallest);
}

PhysicsShape& PhysicsActor::shapeAt(int index) const {
    const bool inRange = index >= 0 && index < static_cast<int>(shapes.size());
    return *shapes[inRange ? index : 0];
}

bool PhysicsActor::hasOnlyTriggers() const {
    return std::all_of(shapes.begin(), shapes.end(), [](const auto& shape) { return shape->isTrigger(); });
}

void PhysicsActor::refreshCollisionFilter() {
    const int noResponse = btCollisionObject::CF_NO_CONTACT_RESPONSE;
    const int flags = body->getCollisionFlags() & ~noResponse;
    body->setCollisionFlags(hasOnlyTriggers() ? flags | noResponse : flags);
    // Re-inserting the body drops its pairs and lets the pair filter judge anew.
    wakeTouchingBodies();
    world.removeRigidBody(body.get());
    world.addRigidBody(body.get());
    wake();
}

void PhysicsActor::wake() {
    if (isMovable()) {
        body->activate(true);
    }
}

// A static trigger moved onto a sleeping body must still see it.
void PhysicsActor::teleport(const PhysicsPose& pose) {
    glideFrom.reset();
    body->setCenterOfMassTransform(toBullet(pose));
    wake();
    world.updateSingleAabb(body.get());
    if (!isMovable()) {
        SleeperWaker waker;
        const btBroadphaseProxy& proxy = *body->getBroadphaseHandle();
        world.getBroadphase()->aabbTest(proxy.m_aabbMin, proxy.m_aabbMax, waker);
    }
}

void PhysicsActor::setGlobalPosition(const PhysicsVec3& position) {
    PhysicsPose pose = getGlobalPose();
    pose.position = position;
    teleport(pose);
}

PhysicsVec3 PhysicsActor::getGlobalPosition() const {
    return fromBullet(body->getWorldTransform().getOrigin());
}

void PhysicsActor::setGlobalOrientationQuat(const PhysicsQuat& orientation) {
    btTransform transform = body->getWorldTransform();
    transform.setRotation(toBullet(orientation).normalized());
    teleport(fromBullet(transform));
}

PhysicsQuat PhysicsActor::getGlobalOrientationQuat() const {
    return fromBullet(body->getWorldTransform().getRotation());
}

void PhysicsActor::setGlobalPose(const PhysicsPose& pose) {
    teleport(pose);
}

PhysicsPose PhysicsActor::getGlobalPose() const {
    return fromBullet(body->getWorldTransform());
}

void PhysicsActor::moveGlobalPosition(const PhysicsVec3& position) {
    if (!kinematic) {
        setGlobalPosition(position);
        return;
    }
    glideFrom = getGlobalPosition();
    glideTo = position;
}

// Only the world transform moves: the engine takes the body's velocity for the internal step
// from where it was before it, which is what carries a body resting on this one.
void PhysicsActor::advanceGlide(float fraction) {
    if (!glideFrom) {
        return;
    }
    const btVector3 from = toBullet(*glideFrom);
    btTransform transform = body->getWorldTransform();
    transform.setOrigin(from + (toBullet(glideTo) - from) * std::min(fraction, 1.0f));
    body->setWorldTransform(transform);
    world.updateSingleAabb(body.get());
    if (fraction >= 1.0f) {
        glideFrom.reset();
    }
}

void PhysicsActor::setLinearVelocity(const PhysicsVec3& velocity) {
    if (isMovable()) {
        body->setLinearVelocity(toBullet(velocity));
        wake();
    }
}

PhysicsVec3 PhysicsActor::getLinearVelocity() const {
    return fromBullet(body->getLinearVelocity());
}

void PhysicsActor::setAngularVelocity(const PhysicsVec3& velocity) {
    if (isMovable()) {
        body->setAngularVelocity(toBullet(velocity));
        clampAngularVelocity();
        wake();
    }
}

PhysicsVec3 PhysicsActor::getAngularVelocity() const {
    return fromBullet(body->getAngularVelocity());
}

void PhysicsActor::setLinearMomentum(const PhysicsVec3& momentum) {
    setLinearVelocity(fromBullet(toBullet(momentum) / mass));
}

PhysicsVec3 PhysicsActor::getLinearMomentum() const {
    return fromBullet(getMass() * body->getLinearVelocity());
}

void PhysicsActor::setAngularMomentum(const PhysicsVec3& momentum) {
    if (isMovable()) {
        body->updateInertiaTensor();
        setAngularVelocity(fromBullet(body->getInvInertiaTensorWorld() * toBullet(momentum)));
    }
}

// L = R * I * R^T * w with the body's principal inertia I.
PhysicsVec3 PhysicsActor::getAngularMomentum() const {
    if (!dynamic) {
        return {};
    }
    const btMatrix3x3& rotation = body->getWorldTransform().getBasis();
    const btVector3 local = rotation.transpose() * body->getAngularVelocity();
    return fromBullet(rotation * (body->getLocalInertia() * local));
}

void PhysicsActor::setMaxAngularVelocity(float maximum) {
    maxAngularVelocity = std::max(0.0f, maximum);
    if (dynamic) {
        // With no rotation allowed the solver must not spin the body either.
        body->setAngularFactor(maxAngularVelocity > 0.0f ? 1.0f : 0.0f);
        clampAngularVelocity();
    }
}

void PhysicsActor::clampAngularVelocity() {
    const btVector3 velocity = body->getAngularVelocity();
    const float speed = velocity.length();
    if (speed > maxAngularVelocity) {
        body->setAngularVelocity(speed > 0.0f ? velocity * (maxAngularVelocity / speed) : btVector3(0, 0, 0));
    }
}

void PhysicsActor::addForce(const PhysicsVec3& force, PhysicsForceMode mode) {
    if (!isMovable()) {
        return;
    }
    if (mode == PhysicsForceMode::Impulse) {
        body->applyCentralImpulse(toBullet(force));
    } else {
        pendingForce = fromBullet(toBullet(pendingForce) + toBullet(force));
    }
    wake();
}

void PhysicsActor::addTorque(const PhysicsVec3& torque, PhysicsForceMode mode) {
    if (!isMovable()) {
        return;
    }
    if (mode == PhysicsForceMode::Impulse) {
        body->updateInertiaTensor();
        body->applyTorqueImpulse(toBullet(torque));
    } else {
        pendingTorque = fromBullet(toBullet(pendingTorque) + toBullet(torque));
    }
    wake();
}

void PhysicsActor::setActorFlag(PhysicsActorFlag, bool value) {
    if (collisionDisabled != value) {
        collisionDisabled = value;
        refreshCollisionFilter();
    }
}

void PhysicsActor::setBodyFlag(PhysicsBodyFlag, bool value) {
    if (!dynamic || kinematic == value) {
        return;
    }
    kinematic = value;
    const int kinematicFlag = btCollisionObject::CF_KINEMATIC_OBJECT;
    if (kinematic) {
        // No mass for the solver, yet not static: the world keeps it awake and moving.
        body->setMassProps(0.0f, btVector3(0, 0, 0));
        body->setCollisionFlags((body->getCollisionFlags() | kinematicFlag) &
                                ~btCollisionObject::CF_STATIC_OBJECT);
        body->setLinearVelocity(btVector3(0, 0, 0));
        body->setAngularVelocity(btVector3(0, 0, 0));
        body->forceActivationState(DISABLE_DEACTIVATION);
    } else {
        btVector3 inertia;
        body->getCollisionShape()->calculateLocalInertia(mass, inertia);
        body->setMassProps(mass, inertia);
        body->setCollisionFlags(body->getCollisionFlags() & ~kinematicFlag);
        body->updateInertiaTensor();
        body->forceActivationState(ACTIVE_TAG);
    }
    refreshCollisionFilter();
}

void PhysicsActor::beginSubstep(float dt) {
    if (!isMovable() || !body->isActive()) {
        return;
    }
    body->applyCentralForce(toBullet(pendingForce));
    body->applyTorque(toBullet(pendingTorque));
    body->setLinearVelocity(body->getLinearVelocity() * std::max(0.0f, 1.0f - linearDamping * dt));
    body->setAngularVelocity(body->getAngularVelocity() * std::max(0.0f, 1.0f - angularDamping * dt));
    clampAngularVelocity();
}

void PhysicsActor::endStep() {
    pendingForce = {};
    pendingTorque = {};
}
