#pragma once

#include "model/OgreModelMesh.h"

// Finds the edges of every submesh for shadow volumes: joins the two faces of
// each edge, welds open edges whose end points coincide in position (texture
// seams split vertices), reports cracks and puts each edge forward in face1.
// Lookups go through hash maps, so large meshes are analysed in linear time.
class EdgeAnalysis {
public:
    static void calcEdges(OgreModelMesh& mesh);

    // The corner of `face` that is not at either end of `edge` (by position), or null.
    static OgreModelVertex* findThirdVertex(const OgreModelFace* face, const OgreModelEdge* edge);

    // The steps of calcEdges: edges and welding per submesh, then the crack
    // report, the face order of each edge and the faces' edge indices.
    static void findEdges(OgreModelSubmesh& submesh);
    static void weldEdges(OgreModelSubmesh& submesh);
    static void checkCracksAndWinding(OgreModelMesh& mesh);

    // Exact float equality of the x, y and z of two vertex positions.
    static bool samePosition(const OgreModelVertex* a, const OgreModelVertex* b);
};
