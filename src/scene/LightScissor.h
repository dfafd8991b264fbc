#pragma once

#include "render/Matrix44.h"
#include "render/Vector3.h"

// The part of the window and of the depth range a point light can reach: its
// sphere's tangent planes through the eye bound the scissor box, the sphere's
// nearest and farthest depth bound the depth test. A sphere around the eye
// gets the whole window.
struct LightScissor {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    double nearDepth = 0.0; // window depths, lower and upper bound
    double farDepth = 1.0;

    // `light` in eye space; `focalLength` is the near-plane distance over the
    // near plane's half width, the camera's nearFactor.
    static LightScissor compute(const Vector3& light, float radius, const Matrix44& projection,
                                int windowWidth, int windowHeight, float focalLength);
};
