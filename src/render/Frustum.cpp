#include "render/Frustum.h"

#include <GL/glew.h>
#include <cmath>

void Frustum::extract() {
    Matrix44 projection;
    Matrix44 modelView;
    glGetFloatv(GL_PROJECTION_MATRIX, projection.m);
    glGetFloatv(GL_MODELVIEW_MATRIX, modelView.m);
    extract(projection, modelView);
}

void Frustum::extract(const Matrix44& projection, const Matrix44& modelView) {
    const Matrix44 clip = projection * modelView;
    // sign picks row3 - rowN (-1) or row3 + rowN (+1) for each plane in order.
    constexpr int rowOf[PLANE_COUNT] = {0, 0, 1, 1, 2, 2};
    constexpr float sign[PLANE_COUNT] = {-1, 1, 1, -1, -1, 1};
    for (int plane = 0; plane < PLANE_COUNT; ++plane) {
        for (int column = 0; column < 4; ++column) {
            planes[plane][column] = clip.at(3, column) + sign[plane] * clip.at(rowOf[plane], column);
        }
        // A zero normal (the exact infinite far plane) yields non-numbers, which never reject.
        const float length =
            std::sqrt(planes[plane][0] * planes[plane][0] + planes[plane][1] * planes[plane][1] +
                      planes[plane][2] * planes[plane][2]);
        for (float& component : planes[plane]) {
            component /= length;
        }
    }
}

bool Frustum::sphereInFrustum(float x, float y, float z, float radius) const {
    for (const auto& plane : planes) {
        const float distance = plane[0] * x + plane[1] * y + plane[2] * z + plane[3];
        if (-radius >= distance) {
            return false;
        }
    }
    return true;
}
