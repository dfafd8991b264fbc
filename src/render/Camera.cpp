#include "render/Camera.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace {

// Degrees per pixel and per easing step are mouseFactor times this.
constexpr float kStepScale = 30.0f;

float toDegrees(float radians) {
    return radians * 180.0f / std::numbers::pi_v<float>;
}

} // namespace

Camera::Camera(float startDistance, float minPitch, float maxPitch, float yawTarget, float pitchTarget,
               float mouseFactor, float minDistance, float maxDistance)
    : desiredDistance(startDistance), currentDistance(startDistance),
      direction(Vector3{0.0f, 0.0f, startDistance}.normalized()), minPitch(minPitch), maxPitch(maxPitch),
      yawTarget(yawTarget), pitchTarget(pitchTarget), mouseFactor(mouseFactor), minDistance(minDistance),
      maxDistance(maxDistance) {}

void Camera::mouseMove(int x, int y) {
    const float step = mouseFactor * kStepScale;
    yawTarget += step * (static_cast<float>(x) - lastMouseX);
    pitchTarget = std::clamp(pitchTarget + step * (static_cast<float>(y) - lastMouseY), minPitch, maxPitch);
    lastMouseX = static_cast<float>(x);
    lastMouseY = static_cast<float>(y);
}

float Camera::getHeading() const {
    const Vector3 horizontal = Vector3{direction.x, 0.0f, direction.z}.normalized();
    const float cosine = std::clamp(horizontal.dot(reference), -1.0f, 1.0f);
    const float heading = 180.0f - toDegrees(std::acos(cosine));
    const bool negative = horizontal.x * reference.z - horizontal.z * reference.x < 0.0f;
    return negative ? -heading : heading;
}
