#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "model/OgreModel.h"
#include "render/Vector3.h"

class PhysicsActor;

// A pickup lying in the level: energy or turbo, small or bottle. A trigger box a
// little larger than the item follows it; rolling into the box hands the item's
// value to the main character once.
class Item : public OgreModel {
public:
    Item(const OgreModel& model, bool turbo, bool bottle, float value);

    // The item leaves play: its body stops colliding and moving, its sound plays once.
    void pickUp();
    // The item is back as it was built: colliding, moving and there to be picked up.
    void putBack();
    // Put back, with its trigger where the item now is.
    void reset() override;
    // A picked-up item is neither drawn nor casts a shadow.
    void renderIfInRange(std::vector<LightSource*> lights) override;
    void render(LightSource* light) override;
    void renderShadowVolume(LightSource* light, bool useGeometryShader, bool zPass) override;
    void update() override;

    // Puts the trigger onto the item, wherever the item is now.
    void placeTrigger();

    int turbo;                            // used as a boolean: a turbo pickup, else energy
    PhysicsActor* triggerActor = nullptr; // owned by the physics scene
    bool active = true;
    bool bottle;
    float value;
    std::string pickupSound; // empty when none is configured

    // The trigger moves only when the item moved further than this since the
    // trigger was placed: moving it wakes the item, so a resting item could never sleep.
    static constexpr float kTriggerSlack = 0.01f;
    // Added to the mesh's half extents on each axis.
    static constexpr float kTriggerMargin = 0.005f;
    static constexpr std::uint16_t kTriggerGroup = 31;

private:
    void createTrigger();

    Vector3 triggerPosition;
};
