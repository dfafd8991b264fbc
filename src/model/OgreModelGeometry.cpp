#include "model/OgreModelGeometry.h"

OgreModelGeometry::~OgreModelGeometry() {
    for (OgreModelVertexbuffer* buffer : vertexBuffers) {
        delete buffer;
    }
}
