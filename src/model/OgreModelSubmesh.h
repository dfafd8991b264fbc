#pragma once

#include <map>
#include <string>
#include <vector>

#include "model/OgreModelEdge.h"
#include "model/OgreModelFace.h"
#include "model/OgreModelGeometry.h"
#include "model/OgreModelTrack.h"

// One submesh: its faces, edges, own geometry and the per-corner arrays it is drawn from.
struct OgreModelSubmesh {
    enum OperationType { TRIANGLE_LIST = 0, TRIANGLE_STRIP = 1, TRIANGLE_FAN = 2 };

    OgreModelSubmesh() = default;
    ~OgreModelSubmesh();
    OgreModelSubmesh(const OgreModelSubmesh&) = delete;
    OgreModelSubmesh& operator=(const OgreModelSubmesh&) = delete;

    int index = 0;
    std::string material;
    bool useSharedVertices = true;
    bool use32BitIndexes = false;
    int operationType = TRIANGLE_LIST;
    int faceCount = 0;
    std::vector<OgreModelFace*> faces;             // owned
    std::vector<OgreModelEdge*> edges;             // owned
    OgreModelGeometry* geometry = nullptr;         // owned, may be null
    std::map<std::string, OgreModelTrack*> tracks; // by animation name; owned by the animations

    // Per-corner arrays in face order (owned, built for drawing and shadow volumes).
    // Positions are those of the vertices; a model playing a morph keeps its own (SubmeshPlayback).
    float* positionsAdj = nullptr;   // 24 per face: corner xyzw, then the vertex across its edge
    float* normals = nullptr;        // 9 per face
    float* binormals = nullptr;      // 9 per face
    float* tangents = nullptr;       // 9 per face
    float* texcoords = nullptr;      // 6 per face
    float* shadowVertices = nullptr; // up to 96 per face, rebuilt for every volume drawn
    // 3 per face: the vertex across each corner's outgoing edge, null where the edge is open.
    std::vector<OgreModelVertex*> oppositeVertices;

    // OpenGL buffer object names (owned, null until created).
    unsigned int* positionsBuffer = nullptr;
    unsigned int* normalsBuffer = nullptr;
    unsigned int* binormalsBuffer = nullptr;
    unsigned int* tangentsBuffer = nullptr;
    unsigned int* texcoordsBuffer = nullptr;
};
