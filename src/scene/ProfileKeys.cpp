#include "scene/ProfileKeys.h"

#include "core/Config.h"

bool ProfileKeys::has(const char* key) const {
    return config.hasKey(name(key).c_str());
}

std::string ProfileKeys::text(const char* key, const char* def) const {
    return config.getString(name(key).c_str(), def);
}

float ProfileKeys::number(const char* key, float def) const {
    return config.getFloat(name(key).c_str(), def);
}

int ProfileKeys::integer(const char* key, int def) const {
    return config.getInt(name(key).c_str(), def);
}

PhysicsVec3 ProfileKeys::vector(const char* key) const {
    const std::string base = key;
    return {number((base + "X").c_str(), 0.0f), number((base + "Y").c_str(), 0.0f),
            number((base + "Z").c_str(), 0.0f)};
}
