#pragma once

#include <GL/glew.h>

// One OpenGL buffer object: named on first use, deleted with its holder.
class GlBuffer {
public:
    GlBuffer() = default;
    ~GlBuffer();
    GlBuffer(const GlBuffer&) = delete;
    GlBuffer& operator=(const GlBuffer&) = delete;

    // The buffer's name; the first call makes the buffer.
    GLuint name();
    bool exists() const { return id != 0; }

private:
    GLuint id = 0;
};
