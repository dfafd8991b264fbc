#include "particles/FireRenderState.h"

namespace {

void setEnabled(GLenum capability, GLboolean on) {
    if (on) {
        glEnable(capability);
    } else {
        glDisable(capability);
    }
}

} // namespace

FireRenderState::FireRenderState() {
    glGetIntegerv(GL_ACTIVE_TEXTURE, &activeTexture);
    glGetIntegerv(GL_CLIENT_ACTIVE_TEXTURE, &clientActiveTexture);
    glActiveTexture(GL_TEXTURE0);
    glGetBooleanv(GL_DEPTH_WRITEMASK, &depthMask);
    lighting = glIsEnabled(GL_LIGHTING);
    blend = glIsEnabled(GL_BLEND);
    texture3D = glIsEnabled(GL_TEXTURE_3D);
    glGetIntegerv(GL_BLEND_SRC_RGB, &blendSourceRgb);
    glGetIntegerv(GL_BLEND_SRC_ALPHA, &blendSourceAlpha);
    glGetIntegerv(GL_BLEND_DST_RGB, &blendDestinationRgb);
    glGetIntegerv(GL_BLEND_DST_ALPHA, &blendDestinationAlpha);
    glGetIntegerv(GL_TEXTURE_BINDING_3D, &boundTexture3D);
    glGetIntegerv(GL_CURRENT_PROGRAM, &program);
    glGetIntegerv(GL_ARRAY_BUFFER_BINDING, &arrayBuffer);
    glGetFloatv(GL_CURRENT_COLOR, colour);
}

FireRenderState::~FireRenderState() {
    glBindBuffer(GL_ARRAY_BUFFER, static_cast<GLuint>(arrayBuffer));
    glUseProgram(static_cast<GLuint>(program));
    glColor4fv(colour);
    glBindTexture(GL_TEXTURE_3D, static_cast<GLuint>(boundTexture3D));
    glBlendFuncSeparate(static_cast<GLenum>(blendSourceRgb), static_cast<GLenum>(blendDestinationRgb),
                        static_cast<GLenum>(blendSourceAlpha), static_cast<GLenum>(blendDestinationAlpha));
    setEnabled(GL_TEXTURE_3D, texture3D);
    setEnabled(GL_BLEND, blend);
    setEnabled(GL_LIGHTING, lighting);
    glDepthMask(depthMask);
    glClientActiveTexture(static_cast<GLenum>(clientActiveTexture));
    glActiveTexture(static_cast<GLenum>(activeTexture));
}

void FireRenderState::apply(GLuint texture) const {
    glClientActiveTexture(GL_TEXTURE0);
    glUseProgram(0);
    glDepthMask(GL_FALSE);
    glDisable(GL_LIGHTING);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE);
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    glEnable(GL_TEXTURE_3D);
    glBindTexture(GL_TEXTURE_3D, texture);
}
