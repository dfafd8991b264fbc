#pragma once

// One vertex position, as read from a vertex or a morph keyframe.
struct OgreModelVertexPosition {
    float position[3] = {0.0f, 0.0f, 0.0f};
};
