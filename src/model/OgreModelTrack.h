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
    std::vector<OgreModelKeyframe*> keyframes; // owned

    // Playback state; not stored in the cache.
    int currentKeyframe = 0;
    int nextKeyframe = 1;
    float blendFactor = 0.0f;
};
