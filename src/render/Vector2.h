#pragma once

struct Vector2 {
    float x = 0.0f;
    float y = 0.0f;

    bool operator==(const Vector2&) const = default;
};
