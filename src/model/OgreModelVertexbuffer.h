#pragma once

#include <vector>

#include "model/OgreModelVertex.h"

// One vertex buffer: the attributes it declares and its vertices in file order.
struct OgreModelVertexbuffer {
    OgreModelVertexbuffer() = default;
    ~OgreModelVertexbuffer();
    OgreModelVertexbuffer(const OgreModelVertexbuffer&) = delete;
    OgreModelVertexbuffer& operator=(const OgreModelVertexbuffer&) = delete;

    bool positions = false;
    bool normals = false;
    bool coloursDiffuse = false;
    bool coloursSpecular = false;
    bool tangents = false;
    bool binormals = false;
    int tangentDimensions = 3;
    int textureCoords = 0;
    int textureCoordDimensions[8] = {2, 2, 2, 2, 2, 2, 2, 2};
    std::vector<OgreModelVertex*> vertices; // owned
};
