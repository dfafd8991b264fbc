#include "Noise.h"

#include <algorithm>
#include <cmath>

namespace {

std::uint32_t hash(std::uint32_t x) {
    x ^= x >> 16;
    x *= 0x7feb352dU;
    x ^= x >> 15;
    x *= 0x846ca68bU;
    x ^= x >> 16;
    return x;
}

int wrap(int v, int period) {
    return ((v % period) + period) % period;
}

float smooth(float t) {
    return t * t * (3 - 2 * t);
}

} // namespace

float Noise::random(int x, int y, int z) const {
    const std::uint32_t h =
        hash(seed ^ hash(std::uint32_t(x) + hash(std::uint32_t(y) + hash(std::uint32_t(z)))));
    return float(h >> 8) / float(1 << 24);
}

float Noise::value(float x, float y, int period) const {
    const int x0 = int(std::floor(x));
    const int y0 = int(std::floor(y));
    const float fx = smooth(x - float(x0));
    const float fy = smooth(y - float(y0));
    auto corner = [&](int dx, int dy) { return random(wrap(x0 + dx, period), wrap(y0 + dy, period)); };
    const float top = corner(0, 0) + (corner(1, 0) - corner(0, 0)) * fx;
    const float bottom = corner(0, 1) + (corner(1, 1) - corner(0, 1)) * fx;
    return top + (bottom - top) * fy;
}

float Noise::fractal(float x, float y, int period, int octaves) const {
    float sum = 0, amplitude = 0.5f, total = 0;
    for (int i = 0; i < octaves; ++i) {
        const float scale = float(1 << i);
        sum += value(x * scale, y * scale, period << i) * amplitude;
        total += amplitude;
        amplitude *= 0.5f;
    }
    return sum / total;
}

float Noise::cells(float x, float y, int period) const {
    const int cx = int(std::floor(x));
    const int cy = int(std::floor(y));
    float best = 10, second = 10;
    for (int dy = -1; dy <= 1; ++dy) {
        for (int dx = -1; dx <= 1; ++dx) {
            const int gx = cx + dx, gy = cy + dy;
            const float px = float(gx) + random(wrap(gx, period), wrap(gy, period), 1);
            const float py = float(gy) + random(wrap(gx, period), wrap(gy, period), 2);
            const float d = std::hypot(px - x, py - y);
            if (d < best) {
                second = best;
                best = d;
            } else if (d < second) {
                second = d;
            }
        }
    }
    return second - best;
}
