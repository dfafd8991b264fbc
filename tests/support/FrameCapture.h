#pragma once

#include <array>
#include <string>
#include <vector>

// The colour buffer of the frame being drawn, and on request its depth buffer,
// read back for checks and written as PNG to look at. Rows are kept bottom-up,
// as OpenGL reads them.
class FrameCapture {
public:
    static FrameCapture take(int width, int height, bool withDepth = false);
    // A picture file, such as the game's screenshot; 0 x 0 when it cannot be read.
    static FrameCapture load(const std::string& path);

    using Pixel = std::array<int, 4>;
    // (x, y) with y growing downwards, as the overlay counts.
    Pixel at(int x, int y) const;
    // (x, y) in window coordinates, y growing upwards, as OpenGL counts.
    Pixel atWindow(int x, int y) const;
    float depthAtWindow(int x, int y) const;
    // Red + green + blue at (x, y), y growing downwards.
    int brightness(int x, int y) const;
    // Pixels of the rectangle [left, right) x [top, bottom) brighter than `threshold`.
    int countBrighter(int left, int top, int right, int bottom, int threshold) const;
    // Pixels with any colour at all.
    int litPixels() const;
    // Mean column of the lit pixels; -1 when none is lit.
    double litCentreX() const;
    // Largest difference of any channel of any pixel; 255 when the sizes differ.
    int largestDifference(const FrameCapture& other) const;
    // Pixels whose colour differs by more than `tolerance` in a channel.
    int differingPixels(const FrameCapture& other, int tolerance = 24) const;
    // Writes NAME.png, opaque as the window showed it, into $VORN_TEST_IMAGES, or
    // else into images/ beside the test output; the path written, empty when it failed.
    std::string save(const std::string& name) const;

    int width = 0;
    int height = 0;
    std::vector<unsigned char> rgba;
    std::vector<float> depth; // empty unless asked for
};
