#pragma once

#include "model/OgreModelFace.h"

// One edge between two faces; runs v1->v2 in face1's winding and v2->v1 in face2's.
// face2 is null for an open edge. Nothing here is owned.
struct OgreModelEdge {
    int index = 0;
    OgreModelVertex* v1 = nullptr;
    OgreModelVertex* v2 = nullptr;
    OgreModelFace* face1 = nullptr;
    OgreModelFace* face2 = nullptr;
};
