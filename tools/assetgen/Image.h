#pragma once

#include <cstdint>
#include <filesystem>
#include <vector>

struct Colour {
    float r = 0, g = 0, b = 0, a = 1;
};

Colour mix(const Colour& a, const Colour& b, float t);

// An RGBA image with its first row at the top, written through DevIL.
class Image {
public:
    Image(int width, int height, Colour fill = {0, 0, 0, 0});

    int width() const { return w; }
    int height() const { return h; }
    Colour get(int x, int y) const;
    void set(int x, int y, const Colour& c);
    // Source-over blending of `c` with coverage `alpha`; pixels outside are ignored.
    void blend(int x, int y, const Colour& c, float alpha);
    void fillRect(int x0, int y0, int x1, int y1, const Colour& c);

    enum class Dxt { None, Dxt1, Dxt5 };
    // Writes a PNG, or a DDS when `dxt` is not None (with mipmaps when asked).
    void save(const std::filesystem::path& path, Dxt dxt = Dxt::None, bool mipmaps = false) const;

private:
    int w, h;
    std::vector<std::uint8_t> pixels;
};

// A height field turned into a tangent-space normal map (x right, y up in the image, z out).
Image normalMapFromHeights(const std::vector<float>& heights, int width, int height, float strength);
