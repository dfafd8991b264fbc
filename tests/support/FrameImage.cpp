#include "FrameImage.h"

#include <GL/glew.h>
#include <IL/il.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>

FrameImage FrameImage::read(int width, int height) {
    FrameImage image;
    image.width = width;
    image.height = height;
    image.rgba.resize(static_cast<std::size_t>(width) * height * 4);
    glFinish();
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, width, height, GL_RGBA, GL_UNSIGNED_BYTE, image.rgba.data());
    return image;
}

int FrameImage::litPixels() const {
    int count = 0;
    for (std::size_t i = 0; i < rgba.size(); i += 4) {
        count += rgba[i] + rgba[i + 1] + rgba[i + 2] > 0 ? 1 : 0;
    }
    return count;
}

int FrameImage::largestDifference(const FrameImage& other) const {
    if (other.width != width || other.height != height) {
        return 255;
    }
    int largest = 0;
    for (std::size_t i = 0; i < rgba.size(); ++i) {
        largest = std::max(largest, std::abs(static_cast<int>(rgba[i]) - static_cast<int>(other.rgba[i])));
    }
    return largest;
}

std::string FrameImage::writePng(const std::string& name) const {
    const char* chosen = std::getenv("VORN_TEST_IMAGES");
    const std::filesystem::path folder =
        chosen ? std::filesystem::path(chosen) : std::filesystem::path(VORN_TEST_OUTPUT_DIR) / "images";
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    const std::string path = (folder / (name + ".png")).string();
    // The window shows no transparency: the picture is opaque.
    std::vector<unsigned char> opaque = rgba;
    for (std::size_t i = 3; i < opaque.size(); i += 4) {
        opaque[i] = 255;
    }
    ILuint picture = 0;
    ilGenImages(1, &picture);
    ilBindImage(picture);
    ilTexImage(static_cast<ILuint>(width), static_cast<ILuint>(height), 1, 4, IL_RGBA, IL_UNSIGNED_BYTE,
               opaque.data());
    ilEnable(IL_FILE_OVERWRITE);
    const bool written = ilSaveImage(path.c_str()) == IL_TRUE;
    ilDeleteImages(1, &picture);
    return written ? path : std::string();
}
