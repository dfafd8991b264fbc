#pragma once

#include "model/OgreModelVertexPosition.h"

// One vertex as read from the mesh XML.
struct OgreModelVertex {
    OgreModelVertex() = default;
    ~OgreModelVertex() { delete position; }
    OgreModelVertex(const OgreModelVertex&) = delete;
    OgreModelVertex& operator=(const OgreModelVertex&) = delete;

    int index = 0;
    OgreModelVertexPosition* position = nullptr; // owned
    float normal[3] = {};
    float binormal[3] = {};
    float tangent[4] = {};
    float texcoords[8][3] = {};
    float colourDiffuse[4] = {};
    float colourSpecular[4] = {};
};
