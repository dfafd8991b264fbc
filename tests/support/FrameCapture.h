#pragma once

#include <array>
#include <string>
#include <vector>

// The colour buffer of the frame being drawn, read back with rows from the top.
class FrameCapture {
public:
    static FrameCapture take(int width, int height);

    using Pixel = std::array<int, 4>;
    // (x, y) with y growing downwards, as the overlay counts.
    Pixel at(int x, int y) const;
    // Red + green + blue at (x, y).
    int brightness(int x, int y) const;
    // Pixels of the rectangle [left, right) x [top, bottom) brighter than `threshold`.
    int countBrighter(int left, int top, int right, int bottom, int threshold) const;
    // Writes the frame as NAME.png into the folder VORN_TEST_IMAGES names, when it is set.
    void save(const std::string& name) const;

    int width = 0;
    int height = 0;

private:
    std::vector<unsigned char> rgba;
};
