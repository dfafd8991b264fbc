#include "render/GlSavedState.h"

#include "render/SystemInfo.h"

namespace {

constexpr GLenum kFaces[2] = {GL_FRONT, GL_BACK};

void setEnabled(GLenum capability, bool on) {
    if (on) {
        glEnable(capability);
    } else {
        glDisable(capability);
    }
}

} // namespace

// Texture switches belong to a unit: with the textures saved, they are unit 0's.
GlSavedState::GlSavedState(unsigned savedPieces, const std::vector<GLenum>& switched) : pieces(savedPieces) {
    if (has(Textures)) {
        saveTextures();
    }
    for (const GLenum capability : switched) {
        capabilities.push_back({capability, glIsEnabled(capability) == GL_TRUE});
    }
    if (has(Colour)) {
        glGetFloatv(GL_CURRENT_COLOR, colour);
        colourTracking = glIsEnabled(GL_COLOR_MATERIAL) == GL_TRUE;
        glGetIntegerv(GL_COLOR_MATERIAL_FACE, &trackedFace);
        glGetIntegerv(GL_COLOR_MATERIAL_PARAMETER, &trackedProperty);
    }
    if (has(MatrixMode)) {
        glGetIntegerv(GL_MATRIX_MODE, &matrixMode);
    }
    if (has(ArrayBuffer)) {
        glGetIntegerv(GL_ARRAY_BUFFER_BINDING, &arrayBuffer);
        glBindBuffer(GL_ARRAY_BUFFER, 0);
    }
    if (has(Program)) {
        glGetIntegerv(GL_CURRENT_PROGRAM, &program);
    }
    if (has(Blending)) {
        glGetIntegerv(GL_BLEND_SRC_RGB, &blend[0]);
        glGetIntegerv(GL_BLEND_DST_RGB, &blend[1]);
        glGetIntegerv(GL_BLEND_SRC_ALPHA, &blend[2]);
        glGetIntegerv(GL_BLEND_DST_ALPHA, &blend[3]);
    }
    if (has(Depth)) {
        glGetBooleanv(GL_DEPTH_WRITEMASK, &depthMask);
        glGetIntegerv(GL_DEPTH_FUNC, &depthFunction);
    }
    if (has(ColourMask)) {
        glGetBooleanv(GL_COLOR_WRITEMASK, colourMask);
    }
    if (has(Stencil)) {
        saveStencil();
    }
    if (has(ScissorBox)) {
        glGetIntegerv(GL_SCISSOR_BOX, scissorBox);
    }
    depthBoundsSupported = has(DepthBounds) && SystemInfo::getInstance()->depthBoundsTest;
    if (depthBoundsSupported) {
        glGetDoublev(GL_DEPTH_BOUNDS_EXT, depthBounds);
    }
    if (has(CullFaceMode)) {
        glGetIntegerv(GL_CULL_FACE_MODE, &cullFaceMode);
    }
    if (has(UnpackAlignment)) {
        glGetIntegerv(GL_UNPACK_ALIGNMENT, &unpackAlignment);
    }
    if (has(ClientArrays)) {
        glPushClientAttrib(GL_CLIENT_VERTEX_ARRAY_BIT);
    }
}

GlSavedState::~GlSavedState() {
    if (has(ClientArrays)) {
        glPopClientAttrib();
    }
    if (has(UnpackAlignment)) {
        glPixelStorei(GL_UNPACK_ALIGNMENT, unpackAlignment);
    }
    if (has(CullFaceMode)) {
        glCullFace(static_cast<GLenum>(cullFaceMode));
    }
    if (depthBoundsSupported) {
        glDepthBoundsEXT(depthBounds[0], depthBounds[1]);
    }
    if (has(ScissorBox)) {
        glScissor(scissorBox[0], scissorBox[1], scissorBox[2], scissorBox[3]);
    }
    if (has(Stencil)) {
        restoreStencil();
    }
    if (has(ColourMask)) {
        glColorMask(colourMask[0], colourMask[1], colourMask[2], colourMask[3]);
    }
    if (has(Depth)) {
        glDepthMask(depthMask);
        glDepthFunc(static_cast<GLenum>(depthFunction));
    }
    if (has(Blending)) {
        glBlendFuncSeparate(static_cast<GLenum>(blend[0]), static_cast<GLenum>(blend[1]),
                            static_cast<GLenum>(blend[2]), static_cast<GLenum>(blend[3]));
    }
    if (has(Program)) {
        glUseProgram(static_cast<GLuint>(program));
    }
    if (has(ArrayBuffer)) {
        glBindBuffer(GL_ARRAY_BUFFER, static_cast<GLuint>(arrayBuffer));
    }
    if (has(MatrixMode)) {
        glMatrixMode(static_cast<GLenum>(matrixMode));
    }
    if (has(Colour)) {
        restoreColour();
    }
    if (has(Textures)) {
        glActiveTexture(GL_TEXTURE0);
    }
    for (auto capability = capabilities.rbegin(); capability != capabilities.rend(); ++capability) {
        setEnabled(capability->name, capability->on);
    }
    if (has(Textures)) {
        restoreTextures();
    }
}

void GlSavedState::saveTextures() {
    glGetIntegerv(GL_ACTIVE_TEXTURE, &activeTexture);
    glGetIntegerv(GL_CLIENT_ACTIVE_TEXTURE, &clientActiveTexture);
    glActiveTexture(GL_TEXTURE0);
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &texture2D);
    glGetIntegerv(GL_TEXTURE_BINDING_3D, &texture3D);
    glGetTexEnviv(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, &environmentMode);
}

void GlSavedState::restoreTextures() const {
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, environmentMode);
    glBindTexture(GL_TEXTURE_2D, static_cast<GLuint>(texture2D));
    glBindTexture(GL_TEXTURE_3D, static_cast<GLuint>(texture3D));
    glClientActiveTexture(static_cast<GLenum>(clientActiveTexture));
    glActiveTexture(static_cast<GLenum>(activeTexture));
}

void GlSavedState::saveStencil() {
    const GLenum names[2][6] = {{GL_STENCIL_FUNC, GL_STENCIL_REF, GL_STENCIL_VALUE_MASK, GL_STENCIL_FAIL,
                                 GL_STENCIL_PASS_DEPTH_FAIL, GL_STENCIL_PASS_DEPTH_PASS},
                                {GL_STENCIL_BACK_FUNC, GL_STENCIL_BACK_REF, GL_STENCIL_BACK_VALUE_MASK,
                                 GL_STENCIL_BACK_FAIL, GL_STENCIL_BACK_PASS_DEPTH_FAIL,
                                 GL_STENCIL_BACK_PASS_DEPTH_PASS}};
    for (int side = 0; side < 2; ++side) {
        glGetIntegerv(names[side][0], &stencilFunction[side]);
        glGetIntegerv(names[side][1], &stencilReference[side]);
        glGetIntegerv(names[side][2], &stencilMask[side]);
        for (int operation = 0; operation < 3; ++operation) {
            glGetIntegerv(names[side][3 + operation], &stencilOperations[side][operation]);
        }
    }
    glGetIntegerv(GL_STENCIL_CLEAR_VALUE, &stencilClear);
}

void GlSavedState::restoreStencil() const {
    for (int side = 0; side < 2; ++side) {
        glStencilFuncSeparate(kFaces[side], static_cast<GLenum>(stencilFunction[side]), stencilReference[side],
                              static_cast<GLuint>(stencilMask[side]));
        glStencilOpSeparate(kFaces[side], static_cast<GLenum>(stencilOperations[side][0]),
                            static_cast<GLenum>(stencilOperations[side][1]),
                            static_cast<GLenum>(stencilOperations[side][2]));
    }
    glClearStencil(stencilClear);
}

// Tracking is switched off while the colour is set, so the colour reaches no
// material; switching it back on hands the restored colour to the tracked property.
void GlSavedState::restoreColour() const {
    glDisable(GL_COLOR_MATERIAL);
    glColor4fv(colour);
    glColorMaterial(static_cast<GLenum>(trackedFace), static_cast<GLenum>(trackedProperty));
    setEnabled(GL_COLOR_MATERIAL, colourTracking);
}
