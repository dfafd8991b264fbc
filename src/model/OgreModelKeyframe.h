#pragma once

#include <vector>

#include "model/OgreModelVertexPosition.h"

// One morph keyframe: a position per vertex of the track's target, in vertex order.
struct OgreModelKeyframe {
    OgreModelKeyframe() = default;
    ~OgreModelKeyframe();
    OgreModelKeyframe(const OgreModelKeyframe&) = delete;
    OgreModelKeyframe& operator=(const OgreModelKeyframe&) = delete;

    float time = 0.0f;
    std::vector<OgreModelVertexPosition*> positions; // owned
};
