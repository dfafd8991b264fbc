#pragma once

#include <cstdint>
#include <map>
#include <utility>
#include <vector>

#include "physics/PhysicsContactReport.h"

class PhysicsActor;
class PhysicsShape;
class btPersistentManifold;

// Turns the engine's contact manifolds, seen after every internal step, into
// start-touch, touch and end-touch events per actor pair. A pair that loses
// its points only briefly, as a ball rolling over mesh edges does, keeps
// touching: its end is reported after a whole step without points. A point
// carries the largest normal force its slot of the manifold saw during the
// step, so an impact in an early internal step is not lost to a later one.
class ContactTracker {
public:
    struct Notification {
        PhysicsContactPair pair;
        std::uint32_t events;
    };

    void setGroupPairFlags(std::uint16_t group1, std::uint16_t group2, std::uint32_t flags);
    std::uint32_t getGroupPairFlags(std::uint16_t group1, std::uint16_t group2) const;

    void beginSubstep() { ++substep; }
    void observe(const btPersistentManifold& manifold, const PhysicsShape& shape0, const PhysicsShape& shape1,
                 float substepTime);
    // The events of one simulate step, one notification per event.
    std::vector<Notification> finishStep(float stepTime);
    void forget(const PhysicsActor& actor);
    // No pair touches any more, and none reports its end.
    void clear();

private:
    struct PairState {
        PhysicsActor* actors[2] = {nullptr, nullptr};
        std::vector<PhysicsContactPatch> patches;
        std::uint64_t patchesSubstep = 0;
        PhysicsVec3 impulse;
        std::map<std::pair<const btPersistentManifold*, int>, float> peakForces; // this step's
        bool touchedThisStep = false;
        bool touching = false;
        int missedSteps = 0;
    };

    static PhysicsContactPatch patchOf(const btPersistentManifold& manifold, bool withForce, bool flipped,
                                       float substepTime, PairState& state);
    void notifyTouching(PairState& state, std::uint32_t flags, float stepTime,
                        std::vector<Notification>& out);

    std::map<std::pair<std::uint64_t, std::uint64_t>, PairState> pairs;
    std::map<std::pair<std::uint16_t, std::uint16_t>, std::uint32_t> groupPairFlags;
    std::uint64_t substep = 0;
};
