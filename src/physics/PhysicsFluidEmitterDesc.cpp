#include "physics/PhysicsFluidEmitterDesc.h"

#include <cmath>

namespace {

bool isNonNegative(float value) {
    return std::isfinite(value) && value >= 0.0f;
}

} // namespace

bool PhysicsFluidEmitterDesc::isValid() const {
    return isNonNegative(dimensionX) && isNonNegative(dimensionY) && isNonNegative(randomAngle) &&
           isNonNegative(fluidVelocityMagnitude) && isNonNegative(rate) && isNonNegative(particleLifetime) &&
           std::isfinite(repulsionCoefficient);
}
