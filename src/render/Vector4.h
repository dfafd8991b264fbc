#pragma once

// Homogeneous point or colour; built by default as the point (0, 0, 0, 1).
struct Vector4 {
    float x = 0.0f;
    float y = 0.0f;
    float z = 0.0f;
    float w = 1.0f;

    Vector4 operator+(const Vector4& o) const { return {x + o.x, y + o.y, z + o.z, w + o.w}; }
    Vector4 operator*(float s) const { return {x * s, y * s, z * s, w * s}; }
    bool operator==(const Vector4&) const = default;
};
