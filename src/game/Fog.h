#pragma once

#include <vector>

#include "model/OgreModel.h"

// An invisible volume that ends the game when the main character enters it.
// It draws nothing but still casts its shadow.
class Fog : public OgreModel {
public:
    explicit Fog(const OgreModel& model);

    void renderIfInRange(std::vector<LightSource*> lights) override;
    void render(LightSource* light) override;
};
