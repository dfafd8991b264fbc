#include "render/SceneTarget.h"

#include <algorithm>
#include <cmath>

#include "core/Log.h"

VORN_FILE_LOGGER("SceneTarget")

SceneTarget::~SceneTarget() {
    release();
}

bool SceneTarget::supported() {
    return GLEW_ARB_framebuffer_object || GLEW_VERSION_3_0;
}

void SceneTarget::release() {
    if (framebuffer) {
        glDeleteFramebuffers(1, &framebuffer);
        glDeleteRenderbuffers(1, &colour);
        glDeleteRenderbuffers(1, &depthStencil);
    }
    framebuffer = colour = depthStencil = 0;
    size = {0, 0};
}

bool SceneTarget::resize(Size wanted) {
    if (framebuffer && wanted.width == size.width && wanted.height == size.height) {
        return true;
    }
    release();
    glGenFramebuffers(1, &framebuffer);
    glGenRenderbuffers(1, &colour);
    glGenRenderbuffers(1, &depthStencil);
    glBindRenderbuffer(GL_RENDERBUFFER, colour);
    glRenderbufferStorage(GL_RENDERBUFFER, GL_RGBA8, wanted.width, wanted.height);
    glBindRenderbuffer(GL_RENDERBUFFER, depthStencil);
    glRenderbufferStorage(GL_RENDERBUFFER, GL_DEPTH24_STENCIL8, wanted.width, wanted.height);
    glBindRenderbuffer(GL_RENDERBUFFER, 0);
    glBindFramebuffer(GL_FRAMEBUFFER, framebuffer);
    glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, colour);
    glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_STENCIL_ATTACHMENT, GL_RENDERBUFFER, depthStencil);
    const bool complete = glCheckFramebufferStatus(GL_FRAMEBUFFER) == GL_FRAMEBUFFER_COMPLETE;
    glBindFramebuffer(GL_FRAMEBUFFER, static_cast<GLuint>(previousFramebuffer));
    if (!complete) {
        LOG_WARN("The scene cannot be drawn off-screen at " << wanted.width << "x" << wanted.height
                                                            << "; it is drawn at the window's size");
        release();
        return false;
    }
    size = wanted;
    return true;
}

SceneTarget::Size SceneTarget::begin(Size windowSize, float scale) {
    window = windowSize;
    drawing = false;
    scale = std::clamp(scale, 0.1f, 1.0f);
    const Size scaled{std::max(1, static_cast<int>(std::lround(static_cast<float>(window.width) * scale))),
                      std::max(1, static_cast<int>(std::lround(static_cast<float>(window.height) * scale)))};
    if (scale >= 1.0f || !supported()) {
        release();
        return window;
    }
    glGetIntegerv(GL_FRAMEBUFFER_BINDING, &previousFramebuffer);
    if (!resize(scaled)) {
        return window;
    }
    glBindFramebuffer(GL_FRAMEBUFFER, framebuffer);
    glViewport(0, 0, size.width, size.height);
    drawing = true;
    return size;
}

void SceneTarget::finish() {
    if (!drawing) {
        return;
    }
    drawing = false;
    glBindFramebuffer(GL_READ_FRAMEBUFFER, framebuffer);
    glBindFramebuffer(GL_DRAW_FRAMEBUFFER, static_cast<GLuint>(previousFramebuffer));
    glBlitFramebuffer(0, 0, size.width, size.height, 0, 0, window.width, window.height, GL_COLOR_BUFFER_BIT,
                      GL_LINEAR);
    glBindFramebuffer(GL_FRAMEBUFFER, static_cast<GLuint>(previousFramebuffer));
    glViewport(0, 0, window.width, window.height);
}
