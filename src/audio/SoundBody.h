#pragma once

#include <string>

// A scene object as the sound manager sees it when two objects collide: the
// profile name that picks the collision sound and the mass of its physics body.
class SoundBody {
public:
    virtual ~SoundBody() = default;

    virtual std::string getSoundProfile() const = 0;
    // The mass of the object's physics actor, 0 without one.
    virtual float getSoundMass() const = 0;
};
