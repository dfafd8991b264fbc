#include "physics/TriggerTracker.h"

#include <BulletCollision/NarrowPhaseCollision/btPersistentManifold.h>

#include "physics/PhysicsActor.h"
#include "physics/PhysicsFlags.h"

namespace {

bool overlaps(const btPersistentManifold& manifold) {
    for (int i = 0; i < manifold.getNumContacts(); ++i) {
        if (manifold.getContactPoint(i).getDistance() <= 0.0f) {
            return true;
        }
    }
    return false;
}

} // namespace

TriggerTracker::Key TriggerTracker::keyOf(const PhysicsShape& triggerShape, const PhysicsShape& otherShape) {
    return {triggerShape.getActor().getId(), triggerShape.getIndex(), otherShape.getActor().getId(),
            otherShape.getIndex()};
}

void TriggerTracker::observe(const btPersistentManifold& manifold, PhysicsShape& triggerShape,
                             PhysicsShape& otherShape) {
    if (overlaps(manifold)) {
        seenThisStep[keyOf(triggerShape, otherShape)] = {&triggerShape, &otherShape};
    }
}

std::vector<TriggerTracker::Notification> TriggerTracker::finishStep() {
    std::vector<Notification> out;
    const auto notifyIfWanted = [&out](const Overlap& overlap, std::uint32_t status) {
        if (overlap.triggerShape->getFlag(status)) {
            out.push_back({overlap.triggerShape, overlap.otherShape, status});
        }
    };
    for (const auto& [key, overlap] : seenThisStep) {
        notifyIfWanted(overlap, inside.contains(key) ? PhysicsShapeFlags::TriggerOnStay
                                                     : PhysicsShapeFlags::TriggerOnEnter);
    }
    for (const auto& [key, overlap] : inside) {
        if (!seenThisStep.contains(key)) {
            notifyIfWanted(overlap, PhysicsShapeFlags::TriggerOnLeave);
        }
    }
    inside = std::move(seenThisStep);
    seenThisStep.clear();
    return out;
}

void TriggerTracker::forget(const PhysicsActor& actor) {
    const auto involves = [&actor](const auto& entry) {
        return &entry.second.triggerShape->getActor() == &actor ||
               &entry.second.otherShape->getActor() == &actor;
    };
    std::erase_if(inside, involves);
    std::erase_if(seenThisStep, involves);
}
