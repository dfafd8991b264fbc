#pragma once

#include "game/ModelSaveData.h"

// The main character's energy and turbo.
class MainCharSaveData : public ModelSaveData {
public:
    void capture(OgreModel& model) override;
    // The character is reset first, which drops its fire's particles and clears its
    // ground and checkpoint flags: it respawns in the air above the checkpoint, so a jump
    // must wait for the landing and the energy drains until then.
    void restore(OgreModel& model) override;

    float energy = 1.0f;
    float turboLevel = 0.0f;
};
