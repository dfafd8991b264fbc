#pragma once

#include <cmath>

// A plain 3D value; also stored as is in the model cache files.
struct Vector3 {
    float x = 0.0f;
    float y = 0.0f;
    float z = 0.0f;

    Vector3 operator+(const Vector3& o) const { return {x + o.x, y + o.y, z + o.z}; }
    Vector3 operator-(const Vector3& o) const { return {x - o.x, y - o.y, z - o.z}; }
    Vector3 operator-() const { return {-x, -y, -z}; }
    Vector3 operator*(float s) const { return {x * s, y * s, z * s}; }
    Vector3 operator/(float s) const { return {x / s, y / s, z / s}; }
    Vector3& operator+=(const Vector3& o) { return *this = *this + o; }
    Vector3& operator-=(const Vector3& o) { return *this = *this - o; }
    Vector3& operator*=(float s) { return *this = *this * s; }
    bool operator==(const Vector3&) const = default;

    Vector3 cross(const Vector3& b) const {
        return {y * b.z - z * b.y, z * b.x - x * b.z, x * b.y - y * b.x};
    }
    float dot(const Vector3& b) const { return x * b.x + y * b.y + z * b.z; }
    float length() const { return std::sqrt(dot(*this)); }
    // A zero vector stays zero rather than turning into non-numbers.
    Vector3 normalized() const {
        const float l = length();
        return l > 0.0f ? *this / l : *this;
    }
};

inline Vector3 operator*(float s, const Vector3& v) {
    return v * s;
}
