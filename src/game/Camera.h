#pragma once

#include "core/Singleton.h"

#include <cstdint>
#include <string>

#include "render/Vector3.h"

// Third-person orbit camera around the main character. The mouse turns it, the
// wheel zooms it; each frame it eases towards the requested angles and keeps
// walls of the camera collision groups out of the view, by casting rays from
// the character into the current physics scene and pulling in or climbing.
class Camera : public Singleton<Camera> {
    friend class Singleton<Camera>;

public:
    // The game's camera: start distance 15, pitch -30..90, yaw 0, pitch 45, 1/60 per
    // pixel, distance 5..18, and the collision groups of "camcollision:collisionGroups".
    Camera();
    // Collides with group 0 only.
    Camera(float startDistance, float minPitch, float maxPitch, float yawTarget, float pitchTarget,
           float mouseFactor, float minDistance, float maxDistance);

    // Groups as whitespace-separated numbers n, each the bit 1 << (n mod 32).
    static std::uint32_t collisionMaskOf(const std::string& groups);

    // Half a degree of yaw and pitch per pixel with the start values; pitch stays in range.
    // The first position ever seen only marks where the pointer is: the window
    // reports one when it opens, and that is no movement of the player's.
    void mouseMove(int x, int y);
    // Turns the view by `dx` and `dy` as if the mouse moved that many pixels, with the
    // player's sensitivity and vertical inversion.
    void turn(float dx, float dy);
    // Behind the target at the start pitch, looking along `heading` (degrees, as getHeading).
    void lookAlong(float heading);
    // One frame: looks at `targetPosition` from the eased direction, `dt` seconds after the last.
    void follow(const Vector3& targetPosition, float dt);
    // Loads the view into the model-view matrix and places the listener at the eye.
    void apply();
    // Degrees between the horizontal view line and the reference direction, signed.
    // Looking straight down the view line has no horizontal part: then the yaw
    // turned so far gives it.
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
    float startPitch;
    float currentYaw = 0.0f;
    float currentPitch = 0.0f;
    float mouseFactor;
    float minDistance;
    float maxDistance;
    float nearFactor = 0.0f;
    std::uint32_t collisionMask;
    bool mouseSeen = false;
    float lookSensitivity = 1.0f;
    bool invertLook = false;

private:
    // Pulls the camera in front of obstacles or lets it climb over them.
    void avoidObstacles(float dt);
};
