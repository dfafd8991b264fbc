#pragma once

#include <vector>

#include "model/OgreModelKeyframe.h"

// One track of an animation, aimed at the shared geometry or at one submesh.
struct OgreModelTrack {
    enum Target { MESH = 0, SUBMESH = 1 };
    enum Type { MORPH = 0, POSE = 1 };

    OgreModelTrack() = default;
    ~OgreModelTrack();
    OgreModelTrack(const OgreModelTrack&) = delete;
    OgreModelTrack& operator=(const OgreModelTrack&) = delete;

    int target = SUBMESH;
    int index = 0; // the target submesh
    int type = MORPH;
    std::vector<OgreModelKeyframe*> keyframes; // owned; how far a model has played is its own
};
