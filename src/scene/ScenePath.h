#pragma once

#include <optional>
#include <string>
#include <vector>

#include "render/Vector3.h"

// The way a moving platform goes: from its first point through the others to the last and
// back, at an even speed between points but easing in and out at each, resting `pause`
// seconds at either end.
class ScenePath {
public:
    // Points as "x y z, x y z, ..." (at least two); none, with what is wrong in `error`, when
    // the text, the speed or the pause cannot make a path.
    static std::optional<ScenePath> parse(const std::string& points, float speed, float pause,
                                          std::string& error);

    Vector3 positionAt(float seconds) const;
    // Seconds of one way there and back, the rests included.
    float period() const;

    std::vector<Vector3> points;
    float speed = 1.0f;
    float pause = 0.0f;

private:
    float legSeconds(std::size_t leg) const;
    float oneWaySeconds() const;
    Vector3 alongLegs(float seconds) const;
};
