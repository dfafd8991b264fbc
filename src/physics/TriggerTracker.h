#pragma once

#include <cstdint>
#include <set>
#include <utility>
#include <vector>

class PhysicsActor;
class PhysicsShape;
class btPersistentManifold;

// Follows which shapes overlap which trigger shapes from step to step and
// reports enter, stay and leave as the trigger's flags ask.
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

private:
    using Overlap = std::pair<PhysicsShape*, PhysicsShape*>;

    std::set<Overlap> inside;
    std::set<Overlap> seenThisStep;
};
