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

void notifyIfWanted(const std::pair<PhysicsShape*, PhysicsShape*>& overlap, std::uint32_t status,
                    std::vector<TriggerTracker::Notification>& out) {
    if (overlap.first->getFlag(status)) {
        out.push_back({overlap.first, overlap.second, status});
    }
}

} // namespace

void TriggerTracker::observe(const btPersistentManifold& manifold, PhysicsShape& triggerShape,
                             PhysicsShape& otherShape) {
    if (overlaps(manifold)) {
        seenThisStep.insert({&triggerShape, &otherShape});
    }
}

std::vector<TriggerTracker::Notification> TriggerTracker::finishStep() {
    std::vector<Notification> out;
    for (const Overlap& overlap : seenThisStep) {
        const bool stays = inside.contains(overlap);
        notifyIfWanted(overlap, stays ? PhysicsShapeFlags::TriggerOnStay : PhysicsShapeFlags::TriggerOnEnter,
                       out);
    }
    for (const Overlap& overlap : inside) {
        if (!seenThisStep.contains(overlap)) {
            notifyIfWanted(overlap, PhysicsShapeFlags::TriggerOnLeave, out);
        }
    }
    inside = std::move(seenThisStep);
    seenThisStep.clear();
    return out;
}

void TriggerTracker::forget(const PhysicsActor& actor) {
    const auto involves = [&actor](const Overlap& overlap) {
        return &overlap.first->getActor() == &actor || &overlap.second->getActor() == &actor;
    };
    std::erase_if(inside, involves);
    std::erase_if(seenThisStep, involves);
}
