#pragma once

#include "render/Vector3.h"

// One vertex position, as read from a vertex or a morph keyframe.
struct OgreModelVertexPosition {
    Vector3 position;
};
