#include "physics/PhysicsMaterialDesc.h"

#include <initializer_list>

namespace {

bool isKnownMode(PhysicsCombineMode mode) {
    return static_cast<std::uint32_t>(mode) <= 3;
}

bool isUnitDirection(const PhysicsVec3& dir) {
    const float squaredLength = dir.x * dir.x + dir.y * dir.y + dir.z * dir.z;
    return squaredLength >= 0.98f && squaredLength <= 1.03f;
}

} // namespace

bool PhysicsMaterialDesc::isValid() const {
    for (const float friction : {dynamicFriction, staticFriction, dynamicFrictionV, staticFrictionV}) {
        if (!(friction >= 0.0f)) {
            return false;
        }
    }
    if (!(restitution >= 0.0f && restitution <= 1.0f)) {
        return false;
    }
    if ((flags & PhysicsMaterialFlags::Anisotropic) && !isUnitDirection(dirOfAnisotropy)) {
        return false;
    }
    return isKnownMode(frictionCombineMode) && isKnownMode(restitutionCombineMode);
}
