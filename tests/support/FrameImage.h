#pragma once

#include <string>
#include <vector>

// The colour buffer of the current OpenGL window, read back for checks and
// written as PNG to look at.
struct FrameImage {
    int width = 0;
    int height = 0;
    std::vector<unsigned char> rgba; // bottom row first, as OpenGL reads it

    static FrameImage read(int width, int height);

    const unsigned char* at(int x, int y) const {
        return &rgba[(static_cast<std::size_t>(y) * width + x) * 4];
    }
    int litPixels() const;
    // Largest difference of any channel of any pixel; 255 when the sizes differ.
    int largestDifference(const FrameImage& other) const;
    // Writes name.png, opaque, into $VORN_TEST_IMAGES, or else into images/ beside
    // the test output; the path written, empty when it failed.
    std::string writePng(const std::string& name) const;
};
