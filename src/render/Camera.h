#pragma once

#include "app/Singleton.h"

#include "render/Vector3.h"

// Third-person orbit camera around the main character. The mouse turns it, the
// wheel zooms it; each frame it eases towards the requested angles.
class Camera : public Singleton<Camera> {
    friend class Singleton<Camera>;

public:
    // The game's camera: start distance 15, pitch -30..90, yaw 0, pitch 45, 1/60 per
    // pixel, distance 5..18.
    Camera() : Camera(15.0f, -30.0f, 90.0f, 0.0f, 45.0f, 1.0f / 60.0f, 5.0f, 18.0f) {}
    Camera(float startDistance, float minPitch, float maxPitch, float yawTarget, float pitchTarget,
           float mouseFactor, float minDistance, float maxDistance);

    // Half a degree of yaw and pitch per pixel with the start values; pitch stays in range.
    void mouseMove(int x, int y);
    // Degrees between the horizontal view line and the reference direction, signed.
    float getHeading() const;

    float lastMouseX = 0.0f;
    float lastMouseY = 0.0f;
    bool collided = false;
    float desiredDistance;
    float currentDistance;
    Vector3 target;
    Vector3 eye;
    Vector3 up{0.0f, 1.0f, 0.0f};
    Vector3 reference{0.0f, 0.0f, -1.0f};
    Vector3 direction;
    float minPitch;
    float maxPitch;
    float yawTarget;
    float pitchTarget;
    float currentYaw = 0.0f;
    float currentPitch = 0.0f;
    float mouseFactor;
    float minDistance;
    float maxDistance;
    float nearFactor = 0.0f;

private:
};
