#include "scene/ScenePath.h"

#include <cmath>
#include <numbers>
#include <sstream>

std::optional<ScenePath> ScenePath::parse(const std::string& text, float speed, float pause,
                                          std::string& error) {
    ScenePath path;
    std::istringstream parts(text);
    for (std::string part; std::getline(parts, part, ',');) {
        std::istringstream fields(part);
        Vector3 point;
        std::string rest;
        if (!(fields >> point.x >> point.y >> point.z) || fields >> rest || !std::isfinite(point.x) ||
            !std::isfinite(point.y) || !std::isfinite(point.z)) {
            error = "bad point \"" + part + "\"";
            return std::nullopt;
        }
        path.points.push_back(point);
    }
    if (path.points.size() < 2) {
        error = "fewer than two points";
        return std::nullopt;
    }
    if (!std::isfinite(speed) || speed <= 0.0f || !std::isfinite(pause) || pause < 0.0f) {
        error = "the speed must be above 0 and the pause not below";
        return std::nullopt;
    }
    path.speed = speed;
    path.pause = pause;
    return path;
}

float ScenePath::legSeconds(std::size_t leg) const {
    return (points[leg + 1] - points[leg]).length() / speed;
}

float ScenePath::oneWaySeconds() const {
    float total = 0.0f;
    for (std::size_t leg = 0; leg + 1 < points.size(); ++leg) {
        total += legSeconds(leg);
    }
    return total;
}

float ScenePath::period() const {
    return 2.0f * (oneWaySeconds() + pause);
}

// From the first point, `seconds` into the way to the last.
Vector3 ScenePath::alongLegs(float seconds) const {
    for (std::size_t leg = 0; leg + 1 < points.size(); ++leg) {
        const float duration = legSeconds(leg);
        if (seconds < duration) {
            const float eased = 0.5f - 0.5f * std::cos(std::numbers::pi_v<float> * seconds / duration);
            return points[leg] + (points[leg + 1] - points[leg]) * eased;
        }
        seconds -= duration;
    }
    return points.back();
}

// There, rest at the last point, back, rest at the first.
Vector3 ScenePath::positionAt(float seconds) const {
    const float way = oneWaySeconds();
    const float cycle = period();
    float t = cycle > 0.0f ? std::fmod(std::max(seconds, 0.0f), cycle) : 0.0f;
    if (t < way) {
        return alongLegs(t);
    }
    t -= way + pause;
    if (t < 0.0f) {
        return points.back();
    }
    return t < way ? alongLegs(way - t) : points.front();
}
