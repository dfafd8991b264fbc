#pragma once

#include "render/Vector4.h"

// A point light carried by a game object. `index` is its slot in the light
// manager and its OpenGL light. Destroying a light empties the slot that still
// holds it, so the manager never reaches a light that is gone.
class LightSource {
public:
    // The main character's light: slot 0, white, reaching everywhere.
    LightSource() = default;
    LightSource(float radius, float x, float y, float z, int index, float r, float g, float b, float a);
    ~LightSource();
    LightSource(const LightSource&) = default;
    LightSource& operator=(const LightSource&) = default;

    Vector4 getPosition() const { return {x, y, z, w}; }
    Vector4 getDiffuse() const { return {r, g, b, a}; }

    float radius = 4294967296.0f;
    float x = 0.0f;
    float y = 0.0f;
    float z = 0.0f;
    float w = 1.0f;
    float r = 1.0f;
    float g = 1.0f;
    float b = 1.0f;
    float a = 1.0f;
    int index = 0;
};
