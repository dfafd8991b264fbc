#pragma once

#include <cstdint>
#include <map>
#include <tuple>
#include <vector>

class PhysicsActor;
class PhysicsShape;
class btPersistentManifold;

// Follows which shapes overlap which trigger shapes from step to step and
// reports enter, stay and leave as the trigger's flags ask. Events come in the
// order the actors were created, like contacts, never in the order of addresses.
class TriggerTracker {
public:
    struct Notification {
        PhysicsShape* triggerShape;
        PhysicsShape* otherShape;
        std::uint32_t status;
    };

    void observe(const btPersistentManifold& manifold, PhysicsShape& triggerShape, PhysicsShape& otherShape);
    std::vector<Notification> finishStep();
    void forget(const PhysicsActor& actor);
    // Nothing is inside any trigger any more, and nothing reports leaving.
    void clear() {
        inside.clear();
        seenThisStep.clear();
    }

private:
    // Actor id and shape index of the trigger, then of the other shape.
    using Key = std::tuple<std::uint64_t, int, std::uint64_t, int>;
    struct Overlap {
        PhysicsShape* triggerShape;
        PhysicsShape* otherShape;
    };

    static Key keyOf(const PhysicsShape& triggerShape, const PhysicsShape& otherShape);

    std::map<Key, Overlap> inside;
    std::map<Key, Overlap> seenThisStep;
};
