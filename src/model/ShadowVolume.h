#pragma once

#include "model/OgreModelSubmesh.h"
#include "render/Vector3.h"

// The shadow volume of one submesh built on the CPU, as triangles whose far
// vertices have w = 0; the shadow program sends those to infinity straight away
// from the light. Faces turned to the light extrude their silhouette edges with
// the mesh's winding. In robust mode (meshes with cracks) faces turned away take
// part too, with their winding reversed, and open edges always extrude, so every
// face's volume stays closed; the geometry shader builds the same volumes.
class ShadowVolume {
public:
    static constexpr int kFloatsPerFace = 96; // both caps and three side quads

    struct Source {
        const OgreModelSubmesh* submesh;
        const float* positions;     // with adjacency, 24 floats per face
        const float* nextPositions; // null unless a morph plays
        float blend;                // from positions (0) to nextPositions (1)
    };

    // Writes the volume into `out` (kFloatsPerFace floats per face) and returns
    // the number of vertices; `light` in object space. Caps only for z-fail counting,
    // except that a volume the program ends at a distance (`ends`) always needs its far cap.
    static int build(const Source& source, const Vector3& light, bool zPass, bool robust, float* out,
                     bool ends = false);
};
