#include "render/GlStateScope.h"

GlStateScope::GlStateScope() {
    glPushAttrib(GL_CURRENT_BIT | GL_ENABLE_BIT | GL_TEXTURE_BIT | GL_TRANSFORM_BIT);
    glPushClientAttrib(GL_CLIENT_VERTEX_ARRAY_BIT);
    // Client pointers set below must be read from memory, not as offsets into a buffer left bound.
    glGetIntegerv(GL_ARRAY_BUFFER_BINDING, &arrayBuffer);
    glBindBuffer(GL_ARRAY_BUFFER, 0);
}

GlStateScope::~GlStateScope() {
    glBindBuffer(GL_ARRAY_BUFFER, static_cast<GLuint>(arrayBuffer));
    glPopClientAttrib();
    glPopAttrib();
}
