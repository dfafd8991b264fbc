#include "physics/PhysicsForceFieldDesc.h"

#include <cmath>

namespace {

bool isPositive(float value) {
    return std::isfinite(value) && value > 0.0f;
}

bool isFinite(const PhysicsVec3& v) {
    return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z);
}

} // namespace

bool PhysicsForceFieldDesc::isValid() const {
    const PhysicsForceFieldLinearKernelDesc& k = kernel;
    return isPositive(boxHalfExtents.x) && isPositive(boxHalfExtents.y) && isPositive(boxHalfExtents.z) &&
           isFinite(k.constant) && std::isfinite(k.radialGain) && std::isfinite(k.axialGain) &&
           k.falloffLinear >= 0.0f && k.falloffQuadratic >= 0.0f && std::isfinite(k.falloffLinear) &&
           std::isfinite(k.falloffQuadratic);
}
