#include "scene/LightScissor.h"

#include <algorithm>
#include <cmath>

namespace {

// The eye-space depth the depth bounds stop short of: the near plane.
constexpr float kNearestDepth = -0.005f;

struct Range {
    float low = -1.0f;
    float high = 1.0f;
};

// The sphere's extent along one screen axis in normalised device units, from
// the planes through the eye that touch it and contain the other screen axis.
// `l` is the light's coordinate on that axis, `scale` turns Nz / N into units.
Range axisRange(float l, float lz, float radius, float scale) {
    Range range;
    const float r2 = radius * radius;
    const float planar = l * l + lz * lz;
    const float d = r2 * l * l - (r2 - lz * lz) * planar;
    if (d <= 0.0f) {
        return range; // the eye lies inside the sphere's outline on this axis
    }
    for (const float sign : {1.0f, -1.0f}) {
        const float n = (radius * l + sign * std::sqrt(d)) / planar;
        if (n == 0.0f) {
            continue;
        }
        const float nz = (radius - n * l) / lz;
        const float pz = (planar - r2) / (lz - (nz / n) * l);
        const float p = -nz * pz / n;
        const bool lowSide = p < l;
        float value = lowSide ? -1.0f : 1.0f;
        if (pz < 0.0f) {
            value = std::clamp(nz * scale / n, -1.0f, 1.0f);
        }
        (lowSide ? range.low : range.high) = value;
    }
    return range;
}

double windowDepth(const Matrix44& projection, float eyeZ) {
    const float clipZ = projection.at(2, 2) * eyeZ + projection.at(2, 3);
    const float clipW = projection.at(3, 2) * eyeZ + projection.at(3, 3);
    return (clipZ / clipW + 1.0) / 2.0;
}

} // namespace

LightScissor LightScissor::compute(const Vector3& light, float radius, const Matrix44& projection,
                                   int windowWidth, int windowHeight, float focalLength) {
    const int w = std::max(windowWidth, 1);
    const int h = std::max(windowHeight, 1);
    const float aspect = static_cast<float>(w) / static_cast<float>(h);
    const Range horizontal = axisRange(light.x, light.z, radius, focalLength);
    const Range vertical = axisRange(light.y, light.z, radius, focalLength * aspect);

    LightScissor box;
    const int x0 = static_cast<int>(std::floor((horizontal.low + 1.0f) / 2.0f * static_cast<float>(w)));
    const int x1 = static_cast<int>(std::ceil((horizontal.high + 1.0f) / 2.0f * static_cast<float>(w)));
    const int y0 = static_cast<int>(std::floor((vertical.low + 1.0f) / 2.0f * static_cast<float>(h)));
    const int y1 = static_cast<int>(std::floor((vertical.high + 1.0f) / 2.0f * static_cast<float>(h)));
    box.x = std::min(x0, x1);
    box.y = std::min(y0, y1);
    box.width = x1 - box.x;
    box.height = y1 - box.y;
    box.nearDepth = windowDepth(projection, std::min(light.z + radius, kNearestDepth));
    box.farDepth = windowDepth(projection, std::min(light.z - radius, kNearestDepth));
    return box;
}
