#include "physics/PhysicsFluidDesc.h"

#include <cmath>

namespace {

bool isPositive(float value) {
    return std::isfinite(value) && value > 0.0f;
}

bool isFraction(float value) {
    return value >= 0.0f && value <= 1.0f;
}

bool isFinite(const PhysicsVec3& v) {
    return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z);
}

} // namespace

bool PhysicsFluidDesc::isValid() const {
    return maxParticles > 0 && maxParticles <= kMaxParticles && isPositive(restParticlesPerMeter) &&
           isPositive(restDensity) && isPositive(kernelRadiusMultiplier) && kernelRadiusMultiplier >= 1.0f &&
           isPositive(motionLimitMultiplier) && collisionDistanceMultiplier >= 0.0f &&
           std::isfinite(collisionDistanceMultiplier) && isPositive(stiffness) && viscosity >= 0.0f &&
           std::isfinite(viscosity) && damping >= 0.0f && std::isfinite(damping) &&
           isFinite(externalAcceleration) && isFraction(restitutionForStaticShapes) &&
           isFraction(dynamicFrictionForStaticShapes) && isFraction(restitutionForDynamicShapes) &&
           isFraction(dynamicFrictionForDynamicShapes);
}
