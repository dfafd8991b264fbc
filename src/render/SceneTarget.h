#pragma once

#include <GL/glew.h>

// Where the 3D scene is drawn when it is drawn at a fraction of the window's size: an
// off-screen colour buffer with its own depth and stencil (the shadows need them), scaled
// up into the window afterwards, so the HUD and menus drawn over it stay sharp. At the
// full size, or where the driver has no framebuffer objects, the scene goes straight to
// the window.
class SceneTarget {
public:
    SceneTarget() = default;
    ~SceneTarget();
    SceneTarget(const SceneTarget&) = delete;
    SceneTarget& operator=(const SceneTarget&) = delete;

    struct Size {
        int width;
        int height;
    };

    // Binds the buffer (made or resized as needed) and its viewport; what the scene is drawn at.
    Size begin(Size window, float scale);
    // Scales what was drawn into the window and restores the window's framebuffer and viewport.
    void finish();
    // Whether the last begin drew off-screen.
    bool offScreen() const { return drawing; }

    static bool supported();

private:
    bool resize(Size size);
    void release();

    GLuint framebuffer = 0;
    GLuint colour = 0;
    GLuint depthStencil = 0;
    Size size{0, 0};
    Size window{0, 0};
    bool drawing = false;
    GLint previousFramebuffer = 0;
};
