#pragma once

#include "model/OgreModel.h"

// An invisible volume that ends the game when the main character enters it.
class Fog : public OgreModel {
public:
    explicit Fog(const OgreModel& model);
};
