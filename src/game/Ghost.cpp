#include "game/Ghost.h"

#include <GL/glew.h>
#include <GL/glu.h>
#include <algorithm>
#include <memory>

#include "render/GlSavedState.h"

namespace {

Vector3 toVector(const ReplayPoint& point) {
    return {point.x, point.y, point.z};
}

struct QuadricDeleter {
    void operator()(GLUquadric* quadric) const { gluDeleteQuadric(quadric); }
};

} // namespace

Ghost::Ghost(std::vector<ReplayBall> recordedPath) : path(std::move(recordedPath)) {}

Vector3 Ghost::positionAt(float step) const {
    if (path.empty()) {
        return {};
    }
    const auto after =
        std::upper_bound(path.begin(), path.end(), step, [](float at, const ReplayBall& sample) {
            return at < static_cast<float>(sample.step);
        });
    if (after == path.begin()) {
        return toVector(path.front().position);
    }
    if (after == path.end()) {
        return toVector(path.back().position);
    }
    const ReplayBall& before = *(after - 1);
    const float t = std::clamp(
        (step - static_cast<float>(before.step)) / static_cast<float>(after->step - before.step), 0.0f, 1.0f);
    // Weighted, not from + (to - from) * t: no difference of two far places overflows.
    return toVector(before.position) * (1.0f - t) + toVector(after->position) * t;
}

// Drawn after the level's opaque models: it blends over them and writes no depth, so
// the ball it overlaps shows through. Unlit, it shows in the dark parts of a level too.
void Ghost::draw() const {
    if (path.empty()) {
        return;
    }
    const GlSavedState saved(GlSavedState::Colour | GlSavedState::Blending | GlSavedState::Depth |
                                 GlSavedState::Textures | GlSavedState::Program,
                             {GL_BLEND, GL_TEXTURE_2D, GL_LIGHTING, GL_CULL_FACE});
    glUseProgram(0);
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_LIGHTING);
    glEnable(GL_CULL_FACE);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glDepthMask(GL_FALSE);
    glColor4f(0.6f, 0.85f, 1.0f, kAlpha);
    const Vector3 at = positionAt(stepsTaken());
    glPushMatrix();
    glTranslatef(at.x, at.y, at.z);
    const std::unique_ptr<GLUquadric, QuadricDeleter> sphere(gluNewQuadric());
    if (sphere) {
        gluSphere(sphere.get(), kRadius, 24, 16);
    }
    glPopMatrix();
}
