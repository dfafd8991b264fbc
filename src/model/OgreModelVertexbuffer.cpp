#include "model/OgreModelVertexbuffer.h"

OgreModelVertexbuffer::~OgreModelVertexbuffer() {
    for (OgreModelVertex* vertex : vertices) {
        delete vertex;
    }
}
