#pragma once

#include <string>

#include "physics/PhysicsMath.h"

class Config;

// The keys of one profile of an object-properties or physics-materials file:
// "profile:key", and vectors as the three keys keyX, keyY and keyZ.
class ProfileKeys {
public:
    ProfileKeys(const Config& config, const std::string& profile) : config(config), profile(profile) {}

    bool has(const char* key) const;
    std::string text(const char* key, const char* def) const;
    float number(const char* key, float def) const;
    int integer(const char* key, int def) const;
    PhysicsVec3 vector(const char* key) const;
    const std::string& getProfile() const { return profile; }

private:
    std::string name(const char* key) const { return profile + ":" + key; }

    const Config& config;
    const std::string& profile;
};
