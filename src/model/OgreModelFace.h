#pragma once

#include "model/OgreModelVertex.h"

struct OgreModelEdge;

// One triangle; its corners are not owned (they belong to a vertex buffer).
struct OgreModelFace {
    int index = 0;
    OgreModelVertex* v1 = nullptr;
    OgreModelVertex* v2 = nullptr;
    OgreModelVertex* v3 = nullptr;
    // Edge list indices of the sides v1-v2, v2-v3, v3-v1.
    int e1 = 0;
    int e2 = 0;
    int e3 = 0;
    // The same edges while the edges are analysed; not stored in the cache.
    OgreModelEdge* edge1 = nullptr;
    OgreModelEdge* edge2 = nullptr;
    OgreModelEdge* edge3 = nullptr;
    float normal[3] = {}; // unit face normal
};
