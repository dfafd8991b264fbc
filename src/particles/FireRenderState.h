#pragma once

#include <GL/glew.h>

// The OpenGL state fire drawing changes: captured when made, set for the fire
// by apply, and put back as it was when it goes.
class FireRenderState {
public:
    FireRenderState();
    ~FireRenderState();
    FireRenderState(const FireRenderState&) = delete;
    FireRenderState& operator=(const FireRenderState&) = delete;

    // Additive blending without depth writes or lighting, white, with the
    // fixed-function pipeline and `texture` as the 3D texture of unit 0 (0: none).
    void apply(GLuint texture) const;

private:
    GLboolean depthMask = GL_TRUE;
    GLboolean lighting = GL_FALSE;
    GLboolean blend = GL_FALSE;
    GLboolean texture3D = GL_FALSE;
    GLint blendSourceRgb = GL_ONE;
    GLint blendSourceAlpha = GL_ONE;
    GLint blendDestinationRgb = GL_ZERO;
    GLint blendDestinationAlpha = GL_ZERO;
    GLint boundTexture3D = 0;
    GLint program = 0;
    GLint arrayBuffer = 0;
    GLint activeTexture = GL_TEXTURE0;
    GLint clientActiveTexture = GL_TEXTURE0;
    GLfloat colour[4] = {1.0f, 1.0f, 1.0f, 1.0f};
};
