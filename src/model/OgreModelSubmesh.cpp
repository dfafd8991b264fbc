#include "model/OgreModelSubmesh.h"

#include <GL/glew.h>

namespace {

void deleteBuffer(unsigned int* name) {
    if (name) {
        glDeleteBuffers(1, name);
        delete name;
    }
}

} // namespace

OgreModelSubmesh::~OgreModelSubmesh() {
    for (OgreModelFace* face : faces) {
        delete face;
    }
    for (OgreModelEdge* edge : edges) {
        delete edge;
    }
    delete geometry;
    for (float* array : {positionsAdj, normals, binormals, tangents, texcoords, shadowVertices}) {
        delete[] array;
    }
    for (unsigned int* buffer :
         {positionsBuffer, normalsBuffer, binormalsBuffer, tangentsBuffer, texcoordsBuffer}) {
        deleteBuffer(buffer);
    }
}
