#include "game/Route.h"

#include <fstream>
#include <sstream>

#include "core/Log.h"

VORN_FILE_LOGGER("Route")

namespace {

std::optional<Waypoint::Action> actionNamed(const std::string& name) {
    if (name == "roll") {
        return Waypoint::Action::Roll;
    }
    if (name == "jump") {
        return Waypoint::Action::Jump;
    }
    if (name == "boost") {
        return Waypoint::Action::Boost;
    }
    if (name == "stop") {
        return Waypoint::Action::Stop;
    }
    if (name == "wait") {
        return Waypoint::Action::Wait;
    }
    return std::nullopt;
}

std::string routePathOf(const std::string& scenePath) {
    const std::size_t dot = scenePath.find_last_of('.');
    const std::size_t slash = scenePath.find_last_of('/');
    const bool hasExtension = dot != std::string::npos && (slash == std::string::npos || dot > slash);
    return (hasExtension ? scenePath.substr(0, dot) : scenePath) + ".route";
}

} // namespace

std::optional<Route> Route::parse(const std::string& text, std::string& error) {
    Route route;
    std::istringstream lines(text);
    std::string line;
    for (int number = 1; std::getline(lines, line); ++number) {
        line = line.substr(0, line.find('#'));
        std::istringstream fields(line);
        Waypoint waypoint;
        std::string action;
        if (!(fields >> waypoint.position.x)) {
            if (line.find_first_not_of(" \t\r") == std::string::npos) {
                continue;
            }
        } else if (fields >> waypoint.position.y >> waypoint.position.z >> action) {
            std::string rest;
            const std::optional<Waypoint::Action> known = actionNamed(action);
            if (known && !(fields >> rest)) {
                waypoint.action = *known;
                route.waypoints.push_back(waypoint);
                continue;
            }
        }
        error = "line " + std::to_string(number) + ": \"" + line + "\"";
        return std::nullopt;
    }
    if (route.waypoints.empty()) {
        error = "no waypoints";
        return std::nullopt;
    }
    return route;
}

std::optional<Route> Route::forScene(const std::string& scenePath) {
    const std::string path = routePathOf(scenePath);
    std::ifstream file(path);
    if (!file) {
        LOG_ERROR("No route for " << scenePath << ": " << path << " could not be read");
        return std::nullopt;
    }
    std::ostringstream text;
    text << file.rdbuf();
    std::string error;
    std::optional<Route> route = parse(text.str(), error);
    if (!route) {
        LOG_ERROR("The route " << path << " cannot be followed, " << error);
    }
    return route;
}
