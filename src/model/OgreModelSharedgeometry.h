#pragma once

#include <vector>

#include "model/OgreModelVertexbuffer.h"

// The vertex data shared by the submeshes of a mesh.
struct OgreModelSharedgeometry {
    OgreModelSharedgeometry() = default;
    ~OgreModelSharedgeometry();
    OgreModelSharedgeometry(const OgreModelSharedgeometry&) = delete;
    OgreModelSharedgeometry& operator=(const OgreModelSharedgeometry&) = delete;

    int vertexCount = 0;
    std::vector<OgreModelVertexbuffer*> vertexBuffers; // owned
};
