#include "FrameCapture.h"

#include <GL/glew.h>
#include <IL/il.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>

namespace {

std::size_t pixelIndex(int width, int x, int windowY) {
    return static_cast<std::size_t>(windowY) * width + x;
}

} // namespace

FrameCapture FrameCapture::take(int width, int height, bool withDepth) {
    FrameCapture frame;
    frame.width = width;
    frame.height = height;
    frame.rgba.resize(static_cast<std::size_t>(width) * height * 4);
    glFinish();
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, width, height, GL_RGBA, GL_UNSIGNED_BYTE, frame.rgba.data());
    if (withDepth) {
        frame.depth.resize(static_cast<std::size_t>(width) * height);
        glReadPixels(0, 0, width, height, GL_DEPTH_COMPONENT, GL_FLOAT, frame.depth.data());
    }
    return frame;
}

FrameCapture FrameCapture::load(const std::string& path) {
    FrameCapture frame;
    ilInit();
    ILuint image = 0;
    ilGenImages(1, &image);
    ilBindImage(image);
    ilEnable(IL_ORIGIN_SET);
    ilOriginFunc(IL_ORIGIN_LOWER_LEFT);
    if (ilLoadImage(path.c_str()) == IL_TRUE) {
        frame.width = ilGetInteger(IL_IMAGE_WIDTH);
        frame.height = ilGetInteger(IL_IMAGE_HEIGHT);
        frame.rgba.resize(static_cast<std::size_t>(frame.width) * frame.height * 4);
        ilCopyPixels(0, 0, 0, static_cast<ILuint>(frame.width), static_cast<ILuint>(frame.height), 1, IL_RGBA,
                     IL_UNSIGNED_BYTE, frame.rgba.data());
    }
    ilDisable(IL_ORIGIN_SET);
    ilDeleteImages(1, &image);
    return frame;
}

FrameCapture::Pixel FrameCapture::at(int x, int y) const {
    return atWindow(x, height - 1 - y);
}

FrameCapture::Pixel FrameCapture::atWindow(int x, int y) const {
    const unsigned char* p = &rgba[pixelIndex(width, x, y) * 4];
    return {p[0], p[1], p[2], p[3]};
}

float FrameCapture::depthAtWindow(int x, int y) const {
    return depth[pixelIndex(width, x, y)];
}

int FrameCapture::brightness(int x, int y) const {
    const Pixel p = at(x, y);
    return p[0] + p[1] + p[2];
}

int FrameCapture::countBrighter(int left, int top, int right, int bottom, int threshold) const {
    int count = 0;
    for (int y = top; y < bottom; ++y) {
        for (int x = left; x < right; ++x) {
            count += brightness(x, y) > threshold ? 1 : 0;
        }
    }
    return count;
}

int FrameCapture::litPixels() const {
    int count = 0;
    for (std::size_t i = 0; i < rgba.size(); i += 4) {
        count += rgba[i] + rgba[i + 1] + rgba[i + 2] > 0 ? 1 : 0;
    }
    return count;
}

double FrameCapture::litCentreX() const {
    double sum = 0.0;
    int count = 0;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const Pixel p = atWindow(x, y);
            if (p[0] + p[1] + p[2] > 0) {
                sum += x;
                ++count;
            }
        }
    }
    return count > 0 ? sum / count : -1.0;
}

int FrameCapture::largestDifference(const FrameCapture& other) const {
    if (other.width != width || other.height != height) {
        return 255;
    }
    int largest = 0;
    for (std::size_t i = 0; i < rgba.size(); ++i) {
        largest = std::max(largest, std::abs(static_cast<int>(rgba[i]) - static_cast<int>(other.rgba[i])));
    }
    return largest;
}

int FrameCapture::differingPixels(const FrameCapture& other, int tolerance) const {
    int differing = 0;
    for (std::size_t i = 0; i < rgba.size(); i += 4) {
        for (std::size_t channel = 0; channel < 3; ++channel) {
            if (std::abs(static_cast<int>(rgba[i + channel]) - static_cast<int>(other.rgba[i + channel])) >
                tolerance) {
                ++differing;
                break;
            }
        }
    }
    return differing;
}

std::string FrameCapture::save(const std::string& name) const {
    const char* chosen = std::getenv("VORN_TEST_IMAGES");
    const std::filesystem::path folder =
        chosen ? std::filesystem::path(chosen) : std::filesystem::path(VORN_TEST_OUTPUT_DIR) / "images";
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    const std::string path = (folder / (name + ".png")).string();
    std::vector<unsigned char> opaque = rgba;
    for (std::size_t i = 3; i < opaque.size(); i += 4) {
        opaque[i] = 255;
    }
    ilInit();
    ILuint picture = 0;
    ilGenImages(1, &picture);
    ilBindImage(picture);
    ilTexImage(static_cast<ILuint>(width), static_cast<ILuint>(height), 1, 4, IL_RGBA, IL_UNSIGNED_BYTE,
               opaque.data());
    ilRegisterOrigin(IL_ORIGIN_LOWER_LEFT);
    ilEnable(IL_FILE_OVERWRITE);
    const bool written = ilSaveImage(path.c_str()) == IL_TRUE;
    ilDeleteImages(1, &picture);
    return written ? path : std::string();
}
