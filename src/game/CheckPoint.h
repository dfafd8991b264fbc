#pragma once

#include <optional>
#include <string>

#include "model/OgreModel.h"
#include "platform/Clock.h"

// A pad that saves the game when the main character lands on it; the first
// landing plays its sound and marks it reached, and from then on it glows.
class CheckPoint : public OgreModel {
public:
    explicit CheckPoint(const OgreModel& model);

    void reset() override;
    // Draws with its glow as "fadeTime"; later objects draw without one.
    void render(LightSource* light) override;
    // A reached checkpoint pulses between 0.2 and 1.0 with a period of pi seconds.
    void update() override;

    std::optional<Milliseconds> saveTime; // the time of the save state it last made, none before
    float fade = 0.0f;                    // glow handed to the shader, 0 until reached
    bool reached = false;
    std::string checkpointSound; // empty when none is configured
};
