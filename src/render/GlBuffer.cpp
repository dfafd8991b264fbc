#include "render/GlBuffer.h"

GlBuffer::~GlBuffer() {
    if (id != 0) {
        glDeleteBuffers(1, &id);
    }
}

GLuint GlBuffer::name() {
    if (id == 0) {
        glGenBuffers(1, &id);
    }
    return id;
}
