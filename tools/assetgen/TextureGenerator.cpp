#include "TextureGenerator.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <numbers>

#include "Image.h"
#include "Mesh.h"
#include "Noise.h"

namespace {

constexpr int kSurfaceSize = 256;
constexpr float kPi = std::numbers::pi_v<float>;

// A surface sample: colour and height (0 low .. 1 high) at texel coordinates in [0, 1).
struct Sample {
    Colour colour;
    float height;
};

using SurfaceFunction = std::function<Sample(float u, float v)>;

struct Surface {
    std::string file;
    Image::Dxt dxt;
    float bumpStrength;
    SurfaceFunction shade;
};

float smoothstep(float e0, float e1, float x) {
    const float t = std::clamp((x - e0) / (e1 - e0), 0.0f, 1.0f);
    return t * t * (3 - 2 * t);
}

Sample stone(float u, float v) {
    static const Noise noise(11);
    const float cell = noise.cells(u * 6, v * 6, 6);
    const float grain = noise.fractal(u * 16, v * 16, 16, 4);
    const float mortar = smoothstep(0.12f, 0.03f, cell);
    const float height = (1 - mortar) * (0.7f + 0.3f * grain);
    const Colour rock = mix({0.42f, 0.40f, 0.38f, 1}, {0.62f, 0.58f, 0.52f, 1}, grain);
    return {mix(rock, {0.18f, 0.17f, 0.16f, 1}, mortar), height};
}

Sample metal(float u, float v) {
    static const Noise noise(23);
    const float brushed = noise.fractal(u * 4, v * 64, 4, 3);
    const float pu = std::fmod(u * 2, 1.0f), pv = std::fmod(v * 2, 1.0f);
    const float seam = std::max(smoothstep(0.03f, 0.0f, std::min(pu, 1 - pu)),
                                smoothstep(0.03f, 0.0f, std::min(pv, 1 - pv)));
    float rivet = 0;
    for (const float cx : {0.08f, 0.92f}) {
        for (const float cy : {0.08f, 0.92f}) {
            rivet = std::max(rivet, smoothstep(0.035f, 0.015f, std::hypot(pu - cx, pv - cy)));
        }
    }
    const float height = 0.6f - 0.5f * seam + 0.4f * rivet + 0.05f * brushed;
    const Colour base = mix({0.45f, 0.47f, 0.50f, 1}, {0.70f, 0.72f, 0.75f, 1}, brushed);
    return {mix(base, {0.2f, 0.2f, 0.22f, 1}, seam * 0.8f), height};
}

Sample wood(float u, float v) {
    static const Noise noise(37);
    const int plank = int(std::floor(v * 4));
    const float inPlank = v * 4 - float(plank);
    const float offset = noise.random(plank, 0);
    const float rings = noise.fractal(u * 2 + offset * 7, inPlank * 0.5f + float(plank), 8, 4);
    const float grain = 0.5f + 0.5f * std::sin((u * 6 + rings * 10) * kPi);
    const float gap = smoothstep(0.06f, 0.0f, std::min(inPlank, 1 - inPlank));
    const Colour base = mix({0.36f, 0.22f, 0.11f, 1}, {0.58f, 0.38f, 0.20f, 1}, grain * 0.7f + offset * 0.3f);
    return {mix(base, {0.12f, 0.07f, 0.03f, 1}, gap), 0.8f - 0.7f * gap + 0.1f * grain};
}

Sample grass(float u, float v) {
    static const Noise noise(41);
    const float coarse = noise.fractal(u * 4, v * 4, 4, 3);
    const float blades = noise.fractal(u * 48, v * 48, 48, 2);
    const Colour base = mix({0.16f, 0.32f, 0.10f, 1}, {0.36f, 0.55f, 0.18f, 1}, coarse);
    return {mix(base, {0.55f, 0.70f, 0.30f, 1}, blades * blades * 0.6f), blades * 0.7f + coarse * 0.3f};
}

Sample glow(float u, float v) {
    static const Noise noise(53);
    const float pu = std::fmod(u * 4, 1.0f), pv = std::fmod(v * 4, 1.0f);
    const float edge = std::min(std::min(pu, 1 - pu), std::min(pv, 1 - pv));
    const float line = smoothstep(0.08f, 0.02f, edge);
    const float pulse = noise.fractal(u * 8, v * 8, 8, 3);
    const Colour base = mix({0.05f, 0.15f, 0.25f, 1}, {0.10f, 0.35f, 0.55f, 1}, pulse);
    return {mix(base, {0.55f, 0.95f, 1.0f, 1}, line), 0.5f + 0.4f * line};
}

Sample ember(float u, float v) {
    static const Noise noise(67);
    const float cracks = noise.cells(u * 8, v * 8, 8);
    const float heat = noise.fractal(u * 6, v * 6, 6, 4);
    const float vein = smoothstep(0.08f, 0.01f, cracks);
    const Colour crust = mix({0.25f, 0.08f, 0.02f, 1}, {0.45f, 0.15f, 0.04f, 1}, heat);
    return {mix(crust, {1.0f, 0.75f, 0.25f, 1}, vein), 0.7f - 0.5f * vein};
}

Sample power(float u, float v) {
    static const Noise noise(71);
    const float swirl = noise.fractal(u * 4, v * 8, 4, 4);
    return {mix({0.85f, 0.55f, 0.05f, 1}, {1.0f, 0.95f, 0.55f, 1}, swirl), swirl};
}

Sample turbo(float u, float v) {
    static const Noise noise(73);
    const float swirl = noise.fractal(u * 4, v * 8, 4, 4);
    return {mix({0.05f, 0.35f, 0.85f, 1}, {0.55f, 0.95f, 1.0f, 1}, swirl), swirl};
}

Sample mist(float u, float v) {
    static const Noise noise(79);
    const float cloud = noise.fractal(u * 4, v * 4, 4, 5);
    return {{0.35f + 0.2f * cloud, 0.20f + 0.1f * cloud, 0.45f + 0.2f * cloud, 0.35f + 0.4f * cloud}, cloud};
}

Sample finish(float u, float v) {
    const bool light = (int(std::floor(u * 4)) + int(std::floor(v * 4))) % 2 == 0;
    const Colour gold{0.95f, 0.78f, 0.25f, 1}, white{0.95f, 0.95f, 0.90f, 1};
    return {light ? white : gold, light ? 0.6f : 0.4f};
}

void writeSurface(const Surface& surface, const std::filesystem::path& dir) {
    const int size = kSurfaceSize;
    Image colour(size, size);
    std::vector<float> heights(std::size_t(size) * size);
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            const Sample s = surface.shade(float(x) / size, float(y) / size);
            colour.set(x, y, s.colour);
            heights[std::size_t(y) * size + x] = s.height;
        }
    }
    colour.save(dir / surface.file, surface.dxt, true);
    const std::filesystem::path file(surface.file);
    const std::string normalName = file.stem().string() + "_NRM" + file.extension().string();
    const Image::Dxt normalDxt = surface.dxt == Image::Dxt::None ? Image::Dxt::None : Image::Dxt::Dxt1;
    normalMapFromHeights(heights, size, size, surface.bumpStrength)
        .save(dir / "bump" / "normalmap" / normalName, normalDxt, true);
}

} // namespace

std::vector<std::string> TextureGenerator::writeSurfaces(const std::filesystem::path& textureDir) const {
    const std::vector<Surface> surfaces = {
        {"stone.dds", Image::Dxt::Dxt1, 6.0f, stone}, {"metal.dds", Image::Dxt::Dxt1, 8.0f, metal},
        {"wood.png", Image::Dxt::None, 5.0f, wood},   {"grass.dds", Image::Dxt::Dxt1, 3.0f, grass},
        {"glow.dds", Image::Dxt::Dxt1, 4.0f, glow},   {"ember.dds", Image::Dxt::Dxt1, 5.0f, ember},
        {"power.dds", Image::Dxt::Dxt1, 2.0f, power}, {"turbo.dds", Image::Dxt::Dxt1, 2.0f, turbo},
        {"mist.dds", Image::Dxt::Dxt5, 1.0f, mist},   {"finish.dds", Image::Dxt::Dxt1, 2.0f, finish},
    };
    std::vector<std::string> names;
    for (const Surface& surface : surfaces) {
        writeSurface(surface, textureDir);
        names.push_back(surface.file);
    }
    return names;
}

void TextureGenerator::writeSkyBox() const {
    // Every pixel's colour depends on its view direction only, so the faces meet at their edges.
    struct Face {
        const char* name;
        Vec3 forward, right, up;
    };
    const Face faces[] = {
        {"front", {0, 0, -1}, {1, 0, 0}, {0, 1, 0}}, {"right", {1, 0, 0}, {0, 0, 1}, {0, 1, 0}},
        {"back", {0, 0, 1}, {-1, 0, 0}, {0, 1, 0}},  {"left", {-1, 0, 0}, {0, 0, -1}, {0, 1, 0}},
        {"top", {0, 1, 0}, {1, 0, 0}, {0, 0, 1}},    {"bottom", {0, -1, 0}, {1, 0, 0}, {0, 0, -1}},
    };
    const Noise noise(97);
    const int size = 256;
    int faceIndex = 0;
    for (const Face& face : faces) {
        Image image(size, size);
        for (int y = 0; y < size; ++y) {
            for (int x = 0; x < size; ++x) {
                const float s = (float(x) + 0.5f) / size * 2 - 1, t = (float(y) + 0.5f) / size * 2 - 1;
                const Vec3 d = normalize(face.forward + face.right * s + face.up * -t);
                const float elevation = d.y;
                const Colour horizon{0.16f, 0.10f, 0.24f, 1}, zenith{0.01f, 0.01f, 0.05f, 1},
                    ground{0.03f, 0.02f, 0.05f, 1};
                Colour c = elevation >= 0 ? mix(horizon, zenith, std::sqrt(elevation))
                                          : mix(horizon, ground, std::min(1.0f, -elevation * 4));
                const float nebula = noise.fractal(d.x * 2 + 8, d.z * 2 + d.y * 1.5f + 8, 64, 4);
                c = mix(c, {0.30f, 0.12f, 0.40f, 1},
                        smoothstep(0.55f, 0.8f, nebula) * 0.5f * std::max(0.0f, elevation + 0.2f));
                if (elevation > 0.02f && noise.random(x, y, faceIndex) > 0.996f) {
                    const float brightness = 0.5f + 0.5f * noise.random(x, y, faceIndex + 10);
                    c = mix(c, {1, 1, 0.95f, 1}, brightness);
                }
                image.set(x, y, c);
            }
        }
        image.save(gameDir / "textures" / "sky" / (std::string(face.name) + ".dds"), Image::Dxt::Dxt1, true);
        ++faceIndex;
    }
}

void TextureGenerator::writeFireSeries() const {
    // Frame k shows a flame puff at age k / (frames - 1): young puffs are large and white-hot,
    // old ones small, red and faint. The particles blend additively, so black means nothing.
    const Noise noise(101);
    const int size = 64;
    for (int frame = 0; frame < kFireFrames; ++frame) {
        const float age = float(frame) / float(kFireFrames - 1);
        const float radius = 0.46f * (1.0f - 0.45f * age);
        const Colour hot = mix({1.0f, 0.95f, 0.75f, 1}, {1.0f, 0.55f, 0.12f, 1}, std::min(1.0f, age * 2));
        const Colour colour = mix(hot, {0.55f, 0.08f, 0.02f, 1}, std::max(0.0f, age * 2 - 1));
        Image image(size, size);
        for (int y = 0; y < size; ++y) {
            for (int x = 0; x < size; ++x) {
                const float u = (float(x) + 0.5f) / size - 0.5f, v = (float(y) + 0.5f) / size - 0.5f;
                const float turbulence = noise.fractal(float(x) / 16 + age * 3, float(y) / 16, 4, 3) - 0.5f;
                const float blob = smoothstep(radius, radius * 0.2f, std::hypot(u, v) + 0.18f * turbulence);
                const float alpha = blob * std::pow(1.0f - age, 1.3f) * 0.9f + blob * 0.1f;
                image.set(x, y, {colour.r * blob, colour.g * blob, colour.b * blob, alpha});
            }
        }
        image.save(gameDir / "textures" / "particles" / ("fire" + std::to_string(frame) + ".png"));
    }
}

namespace {

// Coverage of a pixel at distance `d` inside (negative) or outside (positive) an edge.
float coverage(float d) {
    return std::clamp(0.5f - d, 0.0f, 1.0f);
}

float segmentDistance(float px, float py, float ax, float ay, float bx, float by) {
    const float dx = bx - ax, dy = by - ay;
    const float t = std::clamp(((px - ax) * dx + (py - ay) * dy) / (dx * dx + dy * dy), 0.0f, 1.0f);
    return std::hypot(px - ax - t * dx, py - ay - t * dy);
}

// A teardrop flame, round at the bottom and pointed at the top, in `size` pixels; `scale` shrinks
// it about its round part for the inner core.
float flameDistance(float px, float py, float size, float scale) {
    const float cx = size / 2, cy = size * 0.64f;
    const float x = (px - cx) / scale, y = (py - cy) / scale;
    const float radius = size * 0.27f;
    if (y >= 0) {
        return std::hypot(x, y) - radius;
    }
    // Above the round part the half width narrows to the tip.
    const float tip = size * 0.56f;
    const float t = std::clamp(-y / tip, 0.0f, 1.0f);
    const float halfWidth = radius * std::pow(1.0f - t, 0.75f);
    return -y > tip ? std::hypot(x, -y - tip) : std::abs(x) - halfWidth;
}

Image flameIcon() {
    const int size = 64;
    Image image(size, size);
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            const float px = float(x) + 0.5f, py = float(y) + 0.5f;
            const float height = py / size;
            image.blend(x, y, {0.55f, 0.12f, 0.02f, 1}, coverage(flameDistance(px, py, size, 1.0f) - 1.5f));
            image.blend(x, y, mix({1.0f, 0.85f, 0.3f, 1}, {0.95f, 0.35f, 0.05f, 1}, height),
                        coverage(flameDistance(px, py, size, 1.0f)));
            image.blend(x, y, {1.0f, 0.97f, 0.75f, 1}, coverage(flameDistance(px, py - 6, size, 0.5f)));
        }
    }
    return image;
}

// Two arrows pointing right, the sign for going faster.
Image turboIcon() {
    const int size = 64;
    Image image(size, size);
    const float stroke = 5.5f;
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            const float px = float(x) + 0.5f, py = float(y) + 0.5f;
            float d = 1e9f;
            for (const float left : {10.0f, 30.0f}) {
                d = std::min({d, segmentDistance(px, py, left, 14, left + 18, 32),
                              segmentDistance(px, py, left + 18, 32, left, 50)});
            }
            image.blend(x, y, {0.02f, 0.08f, 0.3f, 1}, coverage(d - stroke - 1.5f));
            image.blend(x, y, mix({0.6f, 0.95f, 1.0f, 1}, {0.1f, 0.45f, 1.0f, 1}, py / size),
                        coverage(d - stroke));
        }
    }
    return image;
}

} // namespace

void TextureGenerator::writeHudBars() const {
    // Both bars share one rectangle on screen: energy fills the upper band, turbo the lower one.
    struct Band {
        int top, bottom;
        Colour litLow, litHigh, dark;
    };
    const Band energy{6, 34, {0.95f, 0.35f, 0.05f, 1}, {1.0f, 0.90f, 0.40f, 1}, {0.22f, 0.10f, 0.04f, 0.75f}};
    const Band turbo{40, 58, {0.05f, 0.35f, 0.95f, 1}, {0.55f, 0.95f, 1.0f, 1}, {0.04f, 0.10f, 0.22f, 0.75f}};
    const int width = 512, height = 64, left = 8, right = 504;
    auto paint = [&](const Band& band, bool lit) {
        Image image(width, height);
        const float radius = float(band.bottom - band.top) / 2;
        const float centre = float(band.top + band.bottom) / 2;
        for (int y = band.top - 2; y < band.bottom + 2; ++y) {
            for (int x = left - 2; x < right + 2; ++x) {
                const float px = float(x) + 0.5f, py = float(y) + 0.5f;
                const float cx = std::clamp(px, float(left) + radius, float(right) - radius);
                const float distance = std::hypot(px - cx, py - centre);
                const float coverage = std::clamp(radius - distance + 0.5f, 0.0f, 1.0f);
                const float rim = std::clamp(distance - (radius - 2.5f), 0.0f, 1.0f);
                const float shade = 1.0f - (py - float(band.top)) / (2 * radius);
                Colour c = lit ? mix(band.litLow, band.litHigh, shade * shade) : band.dark;
                c = mix(c, {0.85f, 0.85f, 0.9f, 1}, rim * 0.6f);
                image.blend(x, y, c, coverage);
            }
        }
        return image;
    };
    const std::filesystem::path dir = gameDir / "textures" / "hud";
    paint(energy, true).save(dir / "hud_energy.dds", Image::Dxt::Dxt5);
    paint(energy, false).save(dir / "hud_energy_dark.dds", Image::Dxt::Dxt5);
    paint(turbo, true).save(dir / "hud_turbo.dds", Image::Dxt::Dxt5);
    paint(turbo, false).save(dir / "hud_turbo_dark.dds", Image::Dxt::Dxt5);
    flameIcon().save(dir / "hud_energy_icon.png");
    turboIcon().save(dir / "hud_turbo_icon.png");
}

namespace {

// The ball as the game shows it: a warm sphere lit from the upper left, in a halo of its own
// light that fades out before the edge. Drawn at each size rather than scaled, so the small
// ones stay sharp.
Image iconOfSize(int size) {
    Image image(size, size);
    const float centre = float(size) / 2;
    const float ball = float(size) * 0.34f;
    const float glow = float(size) * 0.5f;
    const Colour halo{1.0f, 0.55f, 0.1f, 1};
    const Colour dark{0.45f, 0.12f, 0.02f, 1}, lit{1.0f, 0.78f, 0.3f, 1}, shine{1.0f, 0.98f, 0.85f, 1};
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            const float px = (float(x) + 0.5f - centre) / ball, py = (float(y) + 0.5f - centre) / ball;
            const float distance = std::hypot(px, py) * ball;
            const float fade = std::clamp((glow - distance) / (glow - ball), 0.0f, 1.0f);
            image.blend(x, y, halo, 0.55f * fade * fade);
            const float coverage = std::clamp(ball - distance + 0.5f, 0.0f, 1.0f);
            if (coverage <= 0) {
                continue;
            }
            const float pz = std::sqrt(std::max(0.0f, 1.0f - px * px - py * py));
            const float light = std::clamp((-0.5f * px - 0.6f * py + 0.62f * pz) / 0.98f, 0.0f, 1.0f);
            Colour c = mix(dark, lit, light);
            c = mix(c, shine, std::pow(light, 12.0f));
            image.blend(x, y, c, coverage);
        }
    }
    return image;
}

} // namespace

void TextureGenerator::writeIcons() const {
    for (const int size : kIconSizes) {
        const std::string folder = std::to_string(size) + "x" + std::to_string(size);
        iconOfSize(size).save(gameDir / "icons" / "hicolor" / folder / "apps" / "vorn.png");
    }
}
