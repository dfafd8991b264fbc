#include "physics/ContactTracker.h"

#include <BulletCollision/NarrowPhaseCollision/btPersistentManifold.h>
#include <algorithm>

#include "physics/BulletConversions.h"
#include "physics/PhysicsActor.h"
#include "physics/PhysicsFlags.h"

namespace {

// Whole steps without points before a touch counts as ended.
constexpr int kEndTouchGraceSteps = 1;

std::pair<std::uint16_t, std::uint16_t> orderedGroups(std::uint16_t a, std::uint16_t b) {
    return {std::min(a, b), std::max(a, b)};
}

} // namespace

void ContactTracker::setGroupPairFlags(std::uint16_t group1, std::uint16_t group2, std::uint32_t flags) {
    groupPairFlags[orderedGroups(group1, group2)] = flags;
}

std::uint32_t ContactTracker::getGroupPairFlags(std::uint16_t group1, std::uint16_t group2) const {
    const auto found = groupPairFlags.find(orderedGroups(group1, group2));
    return found == groupPairFlags.end() ? 0 : found->second;
}

void ContactTracker::observe(const btPersistentManifold& manifold, const PhysicsShape& shape0,
                             const PhysicsShape& shape1, float substepTime) {
    PhysicsActor& actor0 = shape0.getActor();
    PhysicsActor& actor1 = shape1.getActor();
    if (getGroupPairFlags(actor0.getGroup(), actor1.getGroup()) == 0) {
        return;
    }
    // Pairs are keyed and ordered by creation, so reports do not depend on addresses.
    const bool flipped = actor0.getId() > actor1.getId();
    PairState& state = pairs[flipped ? std::pair(actor1.getId(), actor0.getId())
                                     : std::pair(actor0.getId(), actor1.getId())];
    state.actors[0] = flipped ? &actor1 : &actor0;
    state.actors[1] = flipped ? &actor0 : &actor1;
    if (state.patchesSubstep != substep) {
        state.patches.clear();
        state.patchesSubstep = substep;
    }
    const bool withForce = shape0.getFlag(PhysicsShapeFlags::PointContactForce) ||
                           shape1.getFlag(PhysicsShapeFlags::PointContactForce);
    state.patches.push_back(patchOf(manifold, withForce, flipped, substepTime, state));
    state.touchedThisStep = true;
}

// The engine's normal points from body 1 to body 0; ours towards actors[0].
PhysicsContactPatch ContactTracker::patchOf(const btPersistentManifold& manifold, bool withForce,
                                            bool flipped, float substepTime, PairState& state) {
    PhysicsContactPatch patch;
    const float sign = flipped ? -1.0f : 1.0f;
    btVector3 normalSum(0, 0, 0);
    btVector3 impulseSum = toBullet(state.impulse);
    for (int i = 0; i < manifold.getNumContacts(); ++i) {
        const btManifoldPoint& point = manifold.getContactPoint(i);
        const btVector3 position = 0.5f * (point.getPositionWorldOnA() + point.getPositionWorldOnB());
        float& peak = state.peakForces[{&manifold, i}];
        if (withForce) {
            peak = std::max(peak, point.getAppliedImpulse() / substepTime);
        }
        patch.points.push_back({fromBullet(position), point.getDistance(), peak});
        normalSum += point.m_normalWorldOnB;
        impulseSum += sign * point.getAppliedImpulse() * point.m_normalWorldOnB;
    }
    state.impulse = fromBullet(impulseSum);
    if (normalSum.length2() > 0.0f) {
        patch.normal = fromBullet(sign * normalSum.normalized());
    }
    return patch;
}

std::vector<ContactTracker::Notification> ContactTracker::finishStep(float stepTime) {
    std::vector<Notification> out;
    for (auto it = pairs.begin(); it != pairs.end();) {
        PairState& state = it->second;
        const std::uint32_t flags =
            getGroupPairFlags(state.actors[0]->getGroup(), state.actors[1]->getGroup());
        if (!state.touchedThisStep && ++state.missedSteps > kEndTouchGraceSteps) {
            if (state.touching && (flags & PhysicsContactEvents::EndTouch)) {
                out.push_back({{{state.actors[0], state.actors[1]}, state.patches, {}},
                               PhysicsContactEvents::EndTouch});
            }
            it = pairs.erase(it);
            continue;
        }
        notifyTouching(state, flags, stepTime, out);
        ++it;
    }
    return out;
}

void ContactTracker::notifyTouching(PairState& state, std::uint32_t flags, float stepTime,
                                    std::vector<Notification>& out) {
    const PhysicsVec3 sumNormalForce = fromBullet(toBullet(state.impulse) / stepTime);
    const PhysicsContactPair pair{{state.actors[0], state.actors[1]}, state.patches, sumNormalForce};
    if (state.touchedThisStep) {
        state.missedSteps = 0;
        if (!state.touching && (flags & PhysicsContactEvents::StartTouch)) {
            out.push_back({pair, PhysicsContactEvents::StartTouch});
        }
        state.touching = true;
    }
    if (flags & PhysicsContactEvents::Touch) {
        out.push_back({pair, PhysicsContactEvents::Touch});
    }
    state.touchedThisStep = false;
    state.impulse = {};
    state.peakForces.clear();
}

void ContactTracker::forget(const PhysicsActor& actor) {
    std::erase_if(pairs, [&actor](const auto& entry) {
        return entry.second.actors[0] == &actor || entry.second.actors[1] == &actor;
    });
}

void ContactTracker::clear() {
    pairs.clear();
    substep = 0;
}
