#include <GL/glew.h>
#include <gtest/gtest.h>

#include "FrameCapture.h"
#include "GlTest.h"
#include "render/SceneTarget.h"

namespace {

// Fills the viewport's left half red where the stencil holds 1 (written by a first
// pass over the top half), over a depth-tested blue backdrop.
void drawStencilledScene() {
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    glClearStencil(0);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_STENCIL_BUFFER_BIT);
    glDisable(GL_LIGHTING);
    glDisable(GL_TEXTURE_2D);
    glEnable(GL_DEPTH_TEST);
    glColor3f(0.0f, 0.0f, 1.0f);
    glRectf(-1.0f, -1.0f, 1.0f, 1.0f);
    glEnable(GL_STENCIL_TEST);
    glStencilFunc(GL_ALWAYS, 1, 0xff);
    glStencilOp(GL_KEEP, GL_KEEP, GL_REPLACE);
    glColorMask(GL_FALSE, GL_FALSE, GL_FALSE, GL_FALSE);
    glDepthFunc(GL_ALWAYS);
    glRectf(-1.0f, 0.0f, 1.0f, 1.0f);
    glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
    glStencilFunc(GL_EQUAL, 1, 0xff);
    glStencilOp(GL_KEEP, GL_KEEP, GL_KEEP);
    glColor3f(1.0f, 0.0f, 0.0f);
    glRectf(-1.0f, -1.0f, 0.0f, 1.0f);
    glDisable(GL_STENCIL_TEST);
    glDepthFunc(GL_LEQUAL);
}

class SceneTargetTest : public GlTest {};

// At half the size the scene has its own depth and stencil, comes out scaled up to the
// whole window, and the window's framebuffer and viewport are back afterwards.
TEST_F(SceneTargetTest, AHalfSizeSceneIsScaledUpWithItsDepthAndStencil) {
    if (!SceneTarget::supported()) {
        GTEST_SKIP() << "the driver has no framebuffer objects";
    }
    glViewport(0, 0, kWidth, kHeight);
    SceneTarget target;
    const SceneTarget::Size drawn = target.begin({kWidth, kHeight}, 0.5f);
    EXPECT_EQ(drawn.width, kWidth / 2);
    EXPECT_EQ(drawn.height, kHeight / 2);
    ASSERT_TRUE(target.offScreen());
    GLint viewport[4];
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ(viewport[2], kWidth / 2);
    drawStencilledScene();
    target.finish();
    GLint framebuffer = -1;
    glGetIntegerv(GL_FRAMEBUFFER_BINDING, &framebuffer);
    EXPECT_EQ(framebuffer, 0);
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ(viewport[2], kWidth);
    EXPECT_EQ(viewport[3], kHeight);

    const FrameCapture frame = FrameCapture::take(kWidth, kHeight);
    frame.save("scene_target_half");
    EXPECT_GT(frame.at(kWidth / 4, kHeight / 4)[0], 200) << "top left: stencilled red";
    EXPECT_GT(frame.at(kWidth / 4, 3 * kHeight / 4)[2], 200) << "bottom left: no stencil, blue";
    EXPECT_GT(frame.at(3 * kWidth / 4, kHeight / 4)[2], 200) << "right: blue, the red ends mid-window";
    EXPECT_LT(frame.at(3 * kWidth / 4 + 10, kHeight / 4)[0], 50);
}

TEST_F(SceneTargetTest, AtFullSizeTheSceneGoesStraightToTheWindow) {
    SceneTarget target;
    const SceneTarget::Size drawn = target.begin({kWidth, kHeight}, 1.0f);
    EXPECT_FALSE(target.offScreen());
    EXPECT_EQ(drawn.width, kWidth);
    GLint framebuffer = -1;
    glGetIntegerv(GL_FRAMEBUFFER_BINDING, &framebuffer);
    EXPECT_EQ(framebuffer, 0);
    target.finish();
}

} // namespace
