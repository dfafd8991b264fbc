#include "Image.h"

#include <IL/il.h>
#include <IL/ilu.h>
#include <algorithm>
#include <cmath>
#include <stdexcept>

namespace {

std::uint8_t toByte(float v) {
    return static_cast<std::uint8_t>(std::lround(std::clamp(v, 0.0f, 1.0f) * 255.0f));
}

void initDevil() {
    static bool done = false;
    if (done) {
        return;
    }
    ilInit();
    iluInit();
    ilEnable(IL_FILE_OVERWRITE);
    // Rows are kept top first, as the files store them.
    ilEnable(IL_ORIGIN_SET);
    ilOriginFunc(IL_ORIGIN_UPPER_LEFT);
    done = true;
}

} // namespace

Colour mix(const Colour& a, const Colour& b, float t) {
    return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t, a.a + (b.a - a.a) * t};
}

Image::Image(int width, int height, Colour fill)
    : w(width), h(height), pixels(std::size_t(width) * height * 4) {
    fillRect(0, 0, w, h, fill);
}

Colour Image::get(int x, int y) const {
    const std::uint8_t* p = &pixels[(std::size_t(y) * w + x) * 4];
    return {p[0] / 255.0f, p[1] / 255.0f, p[2] / 255.0f, p[3] / 255.0f};
}

void Image::set(int x, int y, const Colour& c) {
    std::uint8_t* p = &pixels[(std::size_t(y) * w + x) * 4];
    p[0] = toByte(c.r);
    p[1] = toByte(c.g);
    p[2] = toByte(c.b);
    p[3] = toByte(c.a);
}

void Image::blend(int x, int y, const Colour& c, float alpha) {
    if (x < 0 || y < 0 || x >= w || y >= h) {
        return;
    }
    const Colour dst = get(x, y);
    const float a = std::clamp(alpha * c.a, 0.0f, 1.0f);
    const float outA = a + dst.a * (1 - a);
    if (outA <= 0) {
        return;
    }
    auto channel = [&](float s, float d) { return (s * a + d * dst.a * (1 - a)) / outA; };
    set(x, y, {channel(c.r, dst.r), channel(c.g, dst.g), channel(c.b, dst.b), outA});
}

void Image::fillRect(int x0, int y0, int x1, int y1, const Colour& c) {
    for (int y = std::max(0, y0); y < std::min(h, y1); ++y) {
        for (int x = std::max(0, x0); x < std::min(w, x1); ++x) {
            set(x, y, c);
        }
    }
}

void Image::save(const std::filesystem::path& path, Dxt dxt, bool mipmaps) const {
    initDevil();
    std::filesystem::create_directories(path.parent_path());
    ILuint id = 0;
    ilGenImages(1, &id);
    ilBindImage(id);
    ilTexImage(w, h, 1, 4, IL_RGBA, IL_UNSIGNED_BYTE, const_cast<std::uint8_t*>(pixels.data()));
    ilRegisterOrigin(IL_ORIGIN_UPPER_LEFT);
    bool ok = true;
    if (mipmaps) {
        ok = iluBuildMipmaps() == IL_TRUE;
    }
    if (ok && dxt == Dxt::None) {
        ok = ilSave(IL_PNG, path.c_str()) == IL_TRUE;
    } else if (ok) {
        ilSetInteger(IL_DXTC_FORMAT, dxt == Dxt::Dxt1 ? IL_DXT1 : IL_DXT5);
        ok = ilSave(IL_DDS, path.c_str()) == IL_TRUE;
    }
    ilDeleteImages(1, &id);
    if (!ok) {
        throw std::runtime_error("could not write " + path.string());
    }
}

Image normalMapFromHeights(const std::vector<float>& heights, int width, int height, float strength) {
    Image out(width, height);
    auto at = [&](int x, int y) {
        return heights[std::size_t((y + height) % height) * width + (x + width) % width];
    };
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            // Height grows towards the viewer; image y runs down, tangent-space y up.
            const float dx = (at(x + 1, y) - at(x - 1, y)) * strength;
            const float dy = (at(x, y - 1) - at(x, y + 1)) * strength;
            const float len = std::sqrt(dx * dx + dy * dy + 1.0f);
            out.set(x, y,
                    {(-dx / len) * 0.5f + 0.5f, (-dy / len) * 0.5f + 0.5f, (1.0f / len) * 0.5f + 0.5f, 1});
        }
    }
    return out;
}
