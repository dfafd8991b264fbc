#pragma once

#include <string>

#include "model/OgreModel.h"

// A pad that saves the game when the main character lands on it; the first
// landing plays its sound and marks it reached.
class CheckPoint : public OgreModel {
public:
    explicit CheckPoint(const OgreModel& model);

    void reset() override;

    int saveTime = -1; // milliseconds stamp of the save state it last made, -1 for none
    float fade = 0.0f; // glow handed to the shader, 0 until reached
    bool reached = false;
    std::string checkpointSound; // empty when none is configured
};
