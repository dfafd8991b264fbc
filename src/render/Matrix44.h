#pragma once

#include "render/Vector3.h"

// 4x4 matrix in OpenGL's column-major order: row r, column c at index c * 4 + r.
struct Matrix44 {
    float m[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};

    float& at(int row, int column) { return m[column * 4 + row]; }
    float at(int row, int column) const { return m[column * 4 + row]; }

    // Off-axis perspective projection; a far plane at or beyond kInfinity lies at
    // infinity, nudged inside the depth range unless depth clamping catches it.
    static Matrix44 perspective(float left, float right, float bottom, float top, float nearPlane,
                                double farPlane, bool depthClamp);
    static constexpr double kInfinity = 4294967295.0;

    // a * b applies b first, then a, as glMultMatrixf does.
    Matrix44 operator*(const Matrix44& b) const;
    // The point (v, 1) transformed; divided by w unless w is exactly 1.
    Vector3 transform(const Vector3& v) const;
};
