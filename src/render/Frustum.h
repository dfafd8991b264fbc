#pragma once

#include "core/Singleton.h"

#include "render/Matrix44.h"

// The six planes of the current view volume, recomputed every frame.
class Frustum : public Singleton<Frustum> {
    friend class Singleton<Frustum>;

public:
    enum Plane { RIGHT, LEFT, BOTTOM, TOP, FAR, NEAR, PLANE_COUNT };

    // Reads the projection and model-view matrices of the current context.
    void extract();
    // The same from given matrices.
    void extract(const Matrix44& projection, const Matrix44& modelView);
    // False only when the sphere lies completely outside some plane; touching from outside is outside.
    bool sphereInFrustum(float x, float y, float z, float radius) const;

    // Each (a, b, c, d) with unit normal; a point p is inside when a*x + b*y + c*z + d > 0.
    float planes[PLANE_COUNT][4] = {};

private:
};
