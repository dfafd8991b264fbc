#include "physics/PhysicsMaterial.h"

#include <algorithm>

namespace {

float combine(float a, float b, PhysicsCombineMode modeA, PhysicsCombineMode modeB) {
    switch (std::max(modeA, modeB)) {
    case PhysicsCombineMode::Average:
        return 0.5f * (a + b);
    case PhysicsCombineMode::Min:
        return std::min(a, b);
    case PhysicsCombineMode::Multiply:
        return a * b;
    case PhysicsCombineMode::Max:
        return std::max(a, b);
    }
    return a * b;
}

} // namespace

bool PhysicsMaterial::loadFromDesc(const PhysicsMaterialDesc& newDesc) {
    if (!newDesc.isValid()) {
        return false;
    }
    desc = newDesc;
    return true;
}

float PhysicsMaterial::combineFriction(const PhysicsMaterial& a, const PhysicsMaterial& b) {
    return combine(a.desc.dynamicFriction, b.desc.dynamicFriction, a.desc.frictionCombineMode,
                   b.desc.frictionCombineMode);
}

float PhysicsMaterial::combineRestitution(const PhysicsMaterial& a, const PhysicsMaterial& b) {
    return combine(a.desc.restitution, b.desc.restitution, a.desc.restitutionCombineMode,
                   b.desc.restitutionCombineMode);
}
