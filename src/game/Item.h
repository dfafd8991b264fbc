#pragma once

#include <string>

#include "model/OgreModel.h"

class PhysicsActor;

// A pickup lying in the level: energy or turbo, small or bottle. Rolling into it
// hands its value to the main character once.
class Item : public OgreModel {
public:
    Item(const OgreModel& model, bool turbo, bool bottle, float value);

    // The item leaves play: its body stops colliding and moving, its sound plays once.
    void pickUp();
    void reset() override;

    int turbo;                            // used as a boolean: a turbo pickup, else energy
    PhysicsActor* triggerActor = nullptr; // owned by the physics scene
    bool active = true;
    bool bottle;
    float value;
    std::string pickupSound; // empty when none is configured
};
