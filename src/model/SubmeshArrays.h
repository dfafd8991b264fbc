#pragma once

#include "model/OgreModelKeyframe.h"
#include "model/OgreModelSubmesh.h"

// The flat per-corner arrays a submesh is drawn from: three corners per face,
// no index buffer, positions interleaved with the vertex across each corner's
// outgoing edge (the triangles-with-adjacency order shadow volumes need).
class SubmeshArrays {
public:
    static constexpr int kPositionFloatsPerFace = 24;
    static constexpr int kVectorFloatsPerFace = 9;
    static constexpr int kTexcoordFloatsPerFace = 6;

    // Allocates and fills every array from the vertices. An edge without a
    // second face, or whose faces do not meet at its positions, counts as open.
    static void build(OgreModelSubmesh& submesh);
    // Writes positions with adjacency into `target`: the keyframe's position at
    // each vertex's index, or the vertex's own position without a keyframe.
    static void fillPositions(const OgreModelSubmesh& submesh, float* target,
                              const OgreModelKeyframe* keyframe);
};
