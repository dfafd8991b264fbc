#include "render/GlStateScope.h"

// Bindings are kept by hand: popping the texture attributes does not bring them back on every driver.
GlStateScope::GlStateScope() {
    glPushAttrib(GL_CURRENT_BIT | GL_ENABLE_BIT | GL_TRANSFORM_BIT);
    glPushClientAttrib(GL_CLIENT_VERTEX_ARRAY_BIT);
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &texture);
    // Client pointers set below must be read from memory, not as offsets into a buffer left bound.
    glGetIntegerv(GL_ARRAY_BUFFER_BINDING, &arrayBuffer);
    glBindBuffer(GL_ARRAY_BUFFER, 0);
}

GlStateScope::~GlStateScope() {
    glBindBuffer(GL_ARRAY_BUFFER, static_cast<GLuint>(arrayBuffer));
    glBindTexture(GL_TEXTURE_2D, static_cast<GLuint>(texture));
    glPopClientAttrib();
    glPopAttrib();
}
