#pragma once

#include <string>
#include <vector>

#include "model/OgreModelTrack.h"

struct OgreModelAnimation {
    OgreModelAnimation() = default;
    ~OgreModelAnimation();
    OgreModelAnimation(const OgreModelAnimation&) = delete;
    OgreModelAnimation& operator=(const OgreModelAnimation&) = delete;

    std::string name;
    float length = 0.0f;                  // seconds
    std::vector<OgreModelTrack*> tracks; // owned
};
