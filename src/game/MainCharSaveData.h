#pragma once

#include "game/ModelSaveData.h"

// The main character's energy, turbo and ground flags.
class MainCharSaveData : public ModelSaveData {
public:
    void capture(OgreModel& model) override;
    // The character is reset first, which drops its fire's particles.
    void restore(OgreModel& model) override;

    float energy = 1.0f;
    float turboLevel = 0.0f;
    bool onGround = false;
    bool onCheckPoint = false;
};
