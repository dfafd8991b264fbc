#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "physics/PhysicsMath.h"

class PhysicsActor;
class PhysicsForceField;

// A force field on a small actor of its own that follows its owner at a height
// `offset` above it, pushing the fluids linked to it (see PhysicsForceField for
// the push). Read from a section of the main configuration.
class ForceField {
public:
    ForceField(PhysicsActor* owner, const std::string& section);
    ~ForceField();
    ForceField(const ForceField&) = delete;
    ForceField& operator=(const ForceField&) = delete;

    // Moves the field to `offset` above the given position.
    void moveTo(const PhysicsVec3& position);

    static constexpr float kRadialGain = 15.0f;
    static constexpr float kAxialGain = 0.0f;
    // Half the side of the box in which the field pushes.
    static constexpr float kHalfSize = 1.0f;

    PhysicsActor* actor = nullptr; // the field's own
    PhysicsActor* ownerActor;
    float offset = 0.0f;
    int group = 0;
    PhysicsForceField* forceField = nullptr;
    std::uint16_t materialIndex = 0; // fluids with this force field material feel the field

private:
    void createActor();
    void createField();

    std::weak_ptr<const void> sceneLifetime;
};
