#include "physics/PhysicsForceField.h"

#include <BulletDynamics/Dynamics/btRigidBody.h>
#include <cmath>

#include "physics/BulletConversions.h"
#include "physics/PhysicsActor.h"

struct PhysicsForceField::Frame {
    btTransform worldToField;
    btTransform fieldToWorld;
    btVector3 halfExtents;
};

PhysicsForceField::PhysicsForceField(const PhysicsForceFieldDesc& desc, std::uint16_t fieldMaterial)
    : actor(desc.actor), localPose(desc.pose), halfExtents(desc.boxHalfExtents), kernel(desc.kernel),
      material(fieldMaterial), frame(std::make_unique<Frame>()) {
    prepare();
}

PhysicsForceField::~PhysicsForceField() = default;

btTransform PhysicsForceField::globalTransform() const {
    const btTransform local = toBullet(localPose);
    return actor ? actor->getRigidBody().getWorldTransform() * local : local;
}

PhysicsPose PhysicsForceField::getGlobalPose() const {
    return fromBullet(globalTransform());
}

void PhysicsForceField::prepare() {
    frame->fieldToWorld = globalTransform();
    frame->worldToField = frame->fieldToWorld.inverse();
    frame->halfExtents = toBullet(halfExtents);
}

void PhysicsForceField::detachFrom(const PhysicsActor& gone) {
    if (actor == &gone) {
        localPose = fromBullet(globalTransform());
        actor = nullptr;
    }
}

// The strength curve. The radial term pushes away from the field's vertical axis
// and is shaped twice: across, radialGain * r * (1 - r / R) for the distance r
// from the axis and the box's half width R, so particles near the axis are
// eased apart and reach the box's sides already slowing down instead of being
// flung off; upwards, it falls with the square of the height from full strength
// at the bottom of the box to nothing at its top. With the box's bottom at a
// flame's root, the field spreads the young, bright particles into a body a
// little wider than the emitter, while higher up the fluid's own upward
// acceleration carries them on undisturbed, so the flame rises and narrows to
// a tip as its puffs shrink and fade.
bool PhysicsForceField::push(const btVector3& position, btVector3& acceleration) const {
    const btVector3 local = frame->worldToField(position);
    const btVector3& half = frame->halfExtents;
    if (std::abs(local.x()) > half.x() || std::abs(local.y()) > half.y() || std::abs(local.z()) > half.z()) {
        return false;
    }
    const float fromTop = (half.y() - local.y()) / (2.0f * half.y());
    const btVector3 offAxis(local.x(), 0.0f, local.z());
    const float reach = std::min(1.0f, offAxis.length() / std::min(half.x(), half.z()));
    const float taper = fromTop * fromTop * (1.0f - reach);
    btVector3 push = toBullet(kernel.constant) + offAxis * (kernel.radialGain * taper) +
                     btVector3(0.0f, kernel.axialGain * local.y(), 0.0f);
    const float distance = local.length();
    push /= 1.0f + kernel.falloffLinear * distance + kernel.falloffQuadratic * distance * distance;
    acceleration += frame->fieldToWorld.getBasis() * push;
    return true;
}
