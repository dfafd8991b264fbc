#pragma once

#include <map>
#include <string>

#include "model/OgreModelAnimation.h"
#include "model/OgreModelSharedgeometry.h"
#include "model/OgreModelSubmesh.h"

// The record tree of one mesh file, shared by every model loaded from it.
struct OgreModelMesh {
    OgreModelMesh() = default;
    ~OgreModelMesh();
    OgreModelMesh(const OgreModelMesh&) = delete;
    OgreModelMesh& operator=(const OgreModelMesh&) = delete;

    std::map<std::string, OgreModelSubmesh*> submeshes;     // owned
    std::map<std::string, OgreModelAnimation*> animations;  // owned
    std::map<std::string, OgreModelTrack*> meshTracks;      // owned by the animations
    OgreModelSharedgeometry* sharedGeometry = nullptr;      // owned, may be null
    float extents[3] = {};                                  // bounding box half sizes
    float radius = 0.0f;                                    // bounding sphere about the origin
    bool hasCracks = false;                                 // open edges remain
};
