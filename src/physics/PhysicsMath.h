#pragma once

// Plain value types of the physics interface, kept free of any engine type so
// that game code never sees the engine underneath.

struct PhysicsVec3 {
    float x = 0.0f;
    float y = 0.0f;
    float z = 0.0f;
};

// A unit quaternion (x, y, z, w).
struct PhysicsQuat {
    float x = 0.0f;
    float y = 0.0f;
    float z = 0.0f;
    float w = 1.0f;
};

// A rigid transform: rotation as a row-major 3x3 matrix, then the translation.
struct PhysicsPose {
    float rotation[9] = {1.0f, 0.0f, 0.0f, 0.0f, 1.0f, 0.0f, 0.0f, 0.0f, 1.0f};
    PhysicsVec3 position;
};

struct PhysicsRay {
    PhysicsVec3 orig;
    PhysicsVec3 dir;
};
