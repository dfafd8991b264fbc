#include "model/OgreModelSharedgeometry.h"

OgreModelSharedgeometry::~OgreModelSharedgeometry() {
    for (OgreModelVertexbuffer* buffer : vertexBuffers) {
        delete buffer;
    }
}
