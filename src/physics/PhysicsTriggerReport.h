#pragma once

#include <cstdint>

class PhysicsShape;

// Receives TriggerOnEnter, TriggerOnLeave and TriggerOnStay of trigger shapes,
// once per other shape and step.
class PhysicsTriggerReport {
public:
    virtual ~PhysicsTriggerReport() = default;
    virtual void onTrigger(PhysicsShape& triggerShape, PhysicsShape& otherShape, std::uint32_t status) = 0;
};
