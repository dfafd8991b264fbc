#include "game/Camera.h"

#include <GL/glew.h>
#include <GL/glu.h>
#include <algorithm>
#include <array>
#include <cfloat>
#include <cmath>
#include <numbers>
#include <sstream>

#include "audio/SoundManager.h"
#include "core/ConfigManager.h"
#include "physics/PhysicsScene.h"
#include "scene/PhysicsManager.h"

namespace {

// Degrees per pixel and per easing step are mouseFactor times this.
constexpr float kStepScale = 30.0f;
// Distance of a ray that hits nothing.
constexpr float kNoHit = 4294967296.0f;
// The upper, lower and side rays leave the camera line by this angle.
constexpr float kRayTilt = 10.0f;
// How far in front of an obstacle the camera stops, and its approach and return rates per second.
constexpr float kObstacleMargin = 0.5f;
constexpr float kApproachRate = 5.0f;
constexpr float kReturnRate = 3.0f;

// The share of the remaining distance a frame of `dt` seconds closes at `rate`: never more
// than all of it, so a slow frame cannot throw the camera past the ball.
float share(float dt, float rate) {
    return std::min(dt * rate, 1.0f);
}

float toDegrees(float radians) {
    return radians * 180.0f / std::numbers::pi_v<float>;
}

float toRadians(float degrees) {
    return degrees * std::numbers::pi_v<float> / 180.0f;
}

// `v` turned right-handedly by `degrees` about the unit vector `axis`.
Vector3 rotate(const Vector3& v, const Vector3& axis, float degrees) {
    const float angle = toRadians(degrees);
    const float c = std::cos(angle);
    const float s = std::sin(angle);
    return v * c + axis.cross(v) * s + axis * (axis.dot(v) * (1.0f - c));
}

// The unit vector from the target towards the eye: yaw 0 looks along -z, a positive
// yaw turns the eye from +z towards -x, a positive pitch raises it.
Vector3 directionFrom(float yaw, float pitch) {
    const float y = toRadians(yaw);
    const float p = toRadians(pitch);
    return {-std::sin(y) * std::cos(p), std::sin(p), std::cos(y) * std::cos(p)};
}

// Below this length the horizontal part of the view line gives no direction.
constexpr float kLeastHorizontal = 1e-3f;

// Horizontal and at right angles to the camera line of `yaw`; turning about it raises the camera.
Vector3 sideOf(float yaw) {
    const float y = toRadians(yaw);
    return {-std::cos(y), 0.0f, -std::sin(y)};
}

struct ClosestHit {
    float distance = kNoHit;
    bool fromUpperRay = false;
};

// The camera line, 10 degrees above it, below it and to either side, all from the target.
std::array<Vector3, 5> rayDirections(const Vector3& direction, const Vector3& side) {
    const Vector3 upper = rotate(direction, side, kRayTilt).normalized();
    return {direction, upper, rotate(upper, direction, 180.0f).normalized(),
            rotate(upper, direction, 90.0f).normalized(), rotate(upper, direction, 270.0f).normalized()};
}

ClosestHit castRays(const Vector3& origin, const Vector3& direction, const Vector3& side,
                    std::uint32_t mask) {
    ClosestHit closest;
    const PhysicsManager* physics = PhysicsManager::existingInstance();
    const PhysicsScene* scene = physics ? physics->getCurrentScene() : nullptr;
    if (!scene) {
        return closest;
    }
    const std::array<Vector3, 5> directions = rayDirections(direction, side);
    for (std::size_t ray = 0; ray < directions.size(); ++ray) {
        const Vector3& d = directions[ray];
        PhysicsRaycastHit hit;
        const PhysicsRay physicsRay{{origin.x, origin.y, origin.z}, {d.x, d.y, d.z}};
        if (scene->raycastClosestShape(physicsRay, PhysicsShapesType::All, hit, mask, FLT_MAX) &&
            hit.distance <= closest.distance) {
            closest = {hit.distance, ray == 1};
        }
    }
    return closest;
}

} // namespace

Camera::Camera() : Camera(15.0f, -30.0f, 90.0f, 0.0f, 45.0f, 1.0f / 60.0f, 5.0f, 18.0f) {
    const Config* config = ConfigManager::getInstance()->getMainConfig();
    collisionMask = collisionMaskOf(config->getString("camcollision:collisionGroups", "0"));
}

Camera::Camera(float startDistance, float minPitch, float maxPitch, float yawTarget, float pitchTarget,
               float mouseFactor, float minDistance, float maxDistance)
    : desiredDistance(startDistance), currentDistance(startDistance),
      direction(Vector3{0.0f, 0.0f, startDistance}.normalized()), minPitch(minPitch), maxPitch(maxPitch),
      yawTarget(yawTarget), pitchTarget(pitchTarget), startPitch(pitchTarget), mouseFactor(mouseFactor),
      minDistance(minDistance), maxDistance(maxDistance), collisionMask(collisionMaskOf("0")) {}

std::uint32_t Camera::collisionMaskOf(const std::string& groups) {
    std::istringstream numbers(groups);
    std::uint32_t mask = 0;
    long group = 0;
    while (numbers >> group) {
        mask |= 1u << (static_cast<unsigned long>(group) % 32u);
    }
    return mask;
}

void Camera::mouseMove(int x, int y) {
    if (!mouseSeen) {
        mouseSeen = true;
        lastMouseX = static_cast<float>(x);
        lastMouseY = static_cast<float>(y);
        return;
    }
    turn(static_cast<float>(x) - lastMouseX, static_cast<float>(y) - lastMouseY);
    lastMouseX = static_cast<float>(x);
    lastMouseY = static_cast<float>(y);
}

void Camera::turn(float dx, float dy) {
    const float step = mouseFactor * kStepScale * lookSensitivity;
    yawTarget += step * dx;
    pitchTarget = std::clamp(pitchTarget + step * (invertLook ? -dy : dy), minPitch, maxPitch);
}

void Camera::follow(const Vector3& targetPosition, float dt) {
    target = targetPosition;
    currentPitch = 90.0f - toDegrees(std::acos(std::clamp(direction.y, -1.0f, 1.0f)));
    // Each frame closes a fixed share of the remaining angle.
    const float pitchStep = mouseFactor * kStepScale * (pitchTarget - currentPitch);
    const float yawStep = mouseFactor * kStepScale * (yawTarget - currentYaw);
    currentYaw += yawStep;
    currentPitch += pitchStep;
    // Built from the angles, not turned step by step: near the vertical a turn
    // about a side axis left to rounding would swing the heading anywhere.
    direction = directionFrom(currentYaw, currentPitch);
    avoidObstacles(dt);
    eye = target + direction * currentDistance;
}

void Camera::avoidObstacles(float dt) {
    direction = direction.normalized();
    const ClosestHit hit = castRays(target, direction, sideOf(currentYaw), collisionMask);
    const float climb = mouseFactor * kStepScale;
    if (hit.distance > currentDistance && hit.distance >= desiredDistance) {
        collided = false;
    } else if (hit.distance >= minDistance) {
        collided = true;
        currentDistance += (hit.distance - kObstacleMargin - currentDistance) * share(dt, kApproachRate);
    } else {
        collided = true;
        // Climbing ends at the pitch limit; from the upper ray's hit it would not help.
        if (!hit.fromUpperRay && pitchTarget + climb < maxPitch) {
            pitchTarget += climb;
            follow(target, dt);
        }
    }
    if (currentDistance > desiredDistance || !collided) {
        collided = false;
        currentDistance += (desiredDistance - currentDistance) * share(dt, kReturnRate);
    }
}

void Camera::apply() {
    gluLookAt(eye.x, eye.y, eye.z, target.x, target.y, target.z, up.x, up.y, up.z);
    if (SoundManager* sound = SoundManager::existingInstance()) {
        const Vector3 view = -direction;
        sound->setListener({eye.x, eye.y, eye.z}, {view.x, view.y, view.z, up.x, up.y, up.z});
    }
}

void Camera::lookAlong(float heading) {
    yawTarget = currentYaw = heading;
    pitchTarget = currentPitch = startPitch;
    direction = directionFrom(currentYaw, currentPitch);
    collided = false;
}

float Camera::getHeading() const {
    const Vector3 flat{direction.x, 0.0f, direction.z};
    if (flat.length() < kLeastHorizontal) {
        return std::remainder(currentYaw, 360.0f);
    }
    const Vector3 horizontal = flat.normalized();
    const float cosine = std::clamp(horizontal.dot(reference), -1.0f, 1.0f);
    const float heading = 180.0f - toDegrees(std::acos(cosine));
    const bool negative = horizontal.x * reference.z - horizontal.z * reference.x < 0.0f;
    return negative ? -heading : heading;
}
