#pragma once

#include <vector>

#include "model/OgreModelVertexbuffer.h"

// A submesh's own vertex data.
struct OgreModelGeometry {
    OgreModelGeometry() = default;
    ~OgreModelGeometry();
    OgreModelGeometry(const OgreModelGeometry&) = delete;
    OgreModelGeometry& operator=(const OgreModelGeometry&) = delete;

    int vertexCount = 0;
    std::vector<OgreModelVertexbuffer*> vertexBuffers; // owned
};
