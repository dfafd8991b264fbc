#pragma once

#include <cstdint>

#include "physics/PhysicsMaterialDesc.h"

// Surface properties that shapes refer to by index. When two shapes touch,
// their frictions and restitutions are combined by the stronger of the two
// combine modes (Average < Min < Multiply < Max).
class PhysicsMaterial {
public:
    PhysicsMaterial(std::uint16_t index, const PhysicsMaterialDesc& desc) : index(index), desc(desc) {}

    std::uint16_t getMaterialIndex() const { return index; }

    // Refuses (false) a descriptor that fails PhysicsMaterialDesc::isValid.
    bool loadFromDesc(const PhysicsMaterialDesc& newDesc);
    void saveToDesc(PhysicsMaterialDesc& target) const { target = desc; }

    float getRestitution() const { return desc.restitution; }
    // The engine slides with one coefficient: the dynamic friction.
    float getDynamicFriction() const { return desc.dynamicFriction; }

    static float combineFriction(const PhysicsMaterial& a, const PhysicsMaterial& b);
    static float combineRestitution(const PhysicsMaterial& a, const PhysicsMaterial& b);

private:
    std::uint16_t index;
    PhysicsMaterialDesc desc;
};
