#include "scene/PassState.h"

#include "render/SystemInfo.h"
#include "render/LightManager.h"
#include "render/ShaderManager.h"
#include "scene/LightScissor.h"

namespace {

bool enabled(GLenum capability) {
    return glIsEnabled(capability) == GL_TRUE;
}

bool attributeArrayEnabled(GLint location) {
    GLint on = 0;
    if (location >= 0) {
        glGetVertexAttribiv(static_cast<GLuint>(location), GL_VERTEX_ATTRIB_ARRAY_ENABLED, &on);
    }
    return on != 0;
}

void setClientState(GLenum array, bool on) {
    if (on) {
        glEnableClientState(array);
    } else {
        glDisableClientState(array);
    }
}

void setAttributeArray(GLint location, bool on) {
    if (location < 0) {
        return;
    }
    if (on) {
        glEnableVertexAttribArray(static_cast<GLuint>(location));
    } else {
        glDisableVertexAttribArray(static_cast<GLuint>(location));
    }
}

} // namespace

std::vector<GLenum> PassState::switchedCapabilities() {
    std::vector<GLenum> capabilities = {GL_BLEND, GL_STENCIL_TEST, GL_SCISSOR_TEST, GL_LIGHTING, GL_CULL_FACE};
    for (int light = 0; light < LightManager::kSlots; ++light) {
        capabilities.push_back(GL_LIGHT0 + static_cast<GLenum>(light));
    }
    if (SystemInfo::getInstance()->depthBoundsTest) {
        capabilities.push_back(GL_DEPTH_BOUNDS_TEST_EXT);
    }
    return capabilities;
}

PassState::PassState()
    : saved(GlSavedState::Blending | GlSavedState::Stencil | GlSavedState::ScissorBox | GlSavedState::DepthBounds |
                GlSavedState::ColourMask | GlSavedState::Depth | GlSavedState::CullFaceMode,
            switchedCapabilities()) {
    ShaderManager* shaders = ShaderManager::getInstance();
    program = shaders->current;
    tangent = shaders->getAttribLocation("tangent");
    binormal = shaders->getAttribLocation("binormal");
    vertexArray = enabled(GL_VERTEX_ARRAY);
    normalArray = enabled(GL_NORMAL_ARRAY);
    texcoordArray = enabled(GL_TEXTURE_COORD_ARRAY);
    tangentArray = attributeArrayEnabled(tangent);
    binormalArray = attributeArrayEnabled(binormal);
    blend = enabled(GL_BLEND);
    depthBoundsSupported = SystemInfo::getInstance()->depthBoundsTest;
}

PassState::~PassState() {
    ShaderManager::getInstance()->useProgram(program);
    setClientState(GL_VERTEX_ARRAY, vertexArray);
    setClientState(GL_NORMAL_ARRAY, normalArray);
    setClientState(GL_TEXTURE_COORD_ARRAY, texcoordArray);
    setAttributeArray(tangent, tangentArray);
    setAttributeArray(binormal, binormalArray);
}

void PassState::setEnabled(GLenum capability, bool on) {
    if (on) {
        glEnable(capability);
    } else {
        glDisable(capability);
    }
}

void PassState::drawingArrays(bool on) {
    setClientState(GL_VERTEX_ARRAY, on);
    setClientState(GL_NORMAL_ARRAY, on);
    setClientState(GL_TEXTURE_COORD_ARRAY, on);
    setAttributeArray(tangent, on);
    setAttributeArray(binormal, on);
}

void PassState::shadowArrays() {
    drawingArrays(false);
    glEnableClientState(GL_VERTEX_ARRAY);
}

void PassState::blendOver() {
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
}

void PassState::blendAdditive() {
    glBlendFunc(GL_SRC_ALPHA, GL_ONE);
}

void PassState::enableLights(const std::vector<LightSource*>& lights) {
    for (const LightSource* light : lights) {
        glEnable(GL_LIGHT0 + static_cast<GLenum>(light->index));
    }
}

void PassState::beginLightPasses(bool scissor, bool bounds) {
    glEnable(GL_STENCIL_TEST);
    glClearStencil(0);
    setEnabled(GL_SCISSOR_TEST, scissor);
    if (depthBoundsSupported) {
        setEnabled(GL_DEPTH_BOUNDS_TEST_EXT, bounds);
    }
    // Each light adds to the ambient pass, whether or not transparency is on.
    glEnable(GL_BLEND);
    blendAdditive();
}

void PassState::endLightPasses() {
    glDisable(GL_STENCIL_TEST);
    glDisable(GL_SCISSOR_TEST);
    if (depthBoundsSupported) {
        glDisable(GL_DEPTH_BOUNDS_TEST_EXT);
    }
    setEnabled(GL_BLEND, blend);
    blendOver();
}

void PassState::restrictTo(const LightScissor& bounds) {
    glScissor(bounds.x, bounds.y, bounds.width, bounds.height);
    if (depthBoundsSupported) {
        glDepthBoundsEXT(bounds.nearDepth, bounds.farDepth);
    }
}

void PassState::beginStencilCounting() {
    counting.emplace(GlSavedState::ColourMask | GlSavedState::Depth | GlSavedState::CullFaceMode,
                     std::vector<GLenum>{GL_LIGHTING, GL_CULL_FACE});
    glClear(GL_STENCIL_BUFFER_BIT);
    glColorMask(GL_FALSE, GL_FALSE, GL_FALSE, GL_FALSE);
    glDepthMask(GL_FALSE);
    glDepthFunc(GL_LESS);
    glDisable(GL_LIGHTING);
    glStencilFunc(GL_ALWAYS, 0, ~0u);
}

void PassState::countBothSides(bool zPass) {
    glDisable(GL_CULL_FACE);
    if (zPass) {
        glStencilOpSeparate(GL_FRONT, GL_KEEP, GL_KEEP, GL_INCR_WRAP);
        glStencilOpSeparate(GL_BACK, GL_KEEP, GL_KEEP, GL_DECR_WRAP);
    } else {
        glStencilOpSeparate(GL_FRONT, GL_KEEP, GL_DECR_WRAP, GL_KEEP);
        glStencilOpSeparate(GL_BACK, GL_KEEP, GL_INCR_WRAP, GL_KEEP);
    }
}

void PassState::countOneSide(bool zPass, int drawing) {
    glEnable(GL_CULL_FACE);
    // Increments come first, so the saturating count never clips at zero.
    const bool increment = drawing == 0;
    const GLenum change = increment ? GL_INCR : GL_DECR;
    if (zPass) {
        glCullFace(increment ? GL_BACK : GL_FRONT);
        glStencilOp(GL_KEEP, GL_KEEP, change);
    } else {
        glCullFace(increment ? GL_FRONT : GL_BACK);
        glStencilOp(GL_KEEP, change, GL_KEEP);
    }
}

void PassState::endStencilCounting() {
    counting.reset();
}

void PassState::beginLitPass(const LightSource& light) {
    glStencilFunc(GL_EQUAL, 0, ~0u);
    glStencilOp(GL_KEEP, GL_KEEP, GL_KEEP);
    glEnable(GL_LIGHT0 + static_cast<GLenum>(light.index));
}
