#pragma once

#include <optional>
#include <string>
#include <vector>

#include "render/Vector3.h"

// The path a level is built for, written beside its scene file as NAME.route: one waypoint
// a line, "x y z action", the position being the ball's centre; '#' starts a comment.
// A `wait` waypoint is come to rest on until there is ground under the next one: a moving
// platform to board there, or the far side it carries the ball to.
struct Waypoint {
    enum class Action { Roll, Jump, Boost, Stop, Wait };

    Vector3 position;
    Action action = Action::Roll;
};

class Route {
public:
    // The route beside a scene file ("../levels/level1/level1.scene" gives
    // "../levels/level1/level1.route"); none when it is missing or has a bad line.
    static std::optional<Route> forScene(const std::string& scenePath);
    // None, with the line that is wrong in `error`, when the text is no route.
    static std::optional<Route> parse(const std::string& text, std::string& error);

    std::vector<Waypoint> waypoints;
};
