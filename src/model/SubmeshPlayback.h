#pragma once

#include <vector>

// How far one model has played the morph track of one of its submeshes. The
// mesh is shared by every model of its path, so each model keeps its own
// keyframe segment and the positions it blends between.
struct SubmeshPlayback {
    int currentKeyframe = 0;
    int nextKeyframe = 1;
    float blendFactor = 0.0f;
    std::vector<float> positions;     // the current keyframe, with adjacency
    std::vector<float> nextPositions; // the keyframe blended towards
};
