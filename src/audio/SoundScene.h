#pragma once

#include <map>
#include <string>

class SoundBody;

// A loaded level as the sound manager sees it: the objects of its nodes by node name.
class SoundScene {
public:
    virtual ~SoundScene() = default;

    virtual std::map<std::string, const SoundBody*> getSoundBodies() const = 0;
};
