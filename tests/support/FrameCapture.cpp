#include "FrameCapture.h"

#include <GL/glew.h>
#include <IL/il.h>
#include <cstdlib>

FrameCapture FrameCapture::take(int width, int height) {
    FrameCapture frame;
    frame.width = width;
    frame.height = height;
    frame.rgba.resize(static_cast<std::size_t>(width) * height * 4);
    glFinish();
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, width, height, GL_RGBA, GL_UNSIGNED_BYTE, frame.rgba.data());
    return frame;
}

FrameCapture::Pixel FrameCapture::at(int x, int y) const {
    const std::size_t row = static_cast<std::size_t>(height - 1 - y);
    const unsigned char* p = &rgba[(row * width + x) * 4];
    return {p[0], p[1], p[2], p[3]};
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

// Rows stay bottom-up as OpenGL gives them: DevIL's lower-left origin.
void FrameCapture::save(const std::string& name) const {
    const char* folder = std::getenv("VORN_TEST_IMAGES");
    if (!folder) {
        return;
    }
    // Opaque, so a viewer shows what the window showed.
    std::vector<unsigned char> opaque = rgba;
    for (std::size_t i = 3; i < opaque.size(); i += 4) {
        opaque[i] = 255;
    }
    ilInit();
    ILuint image = 0;
    ilGenImages(1, &image);
    ilBindImage(image);
    ilTexImage(width, height, 1, 4, IL_RGBA, IL_UNSIGNED_BYTE, opaque.data());
    ilRegisterOrigin(IL_ORIGIN_LOWER_LEFT);
    ilEnable(IL_FILE_OVERWRITE);
    ilSaveImage((std::string(folder) + "/" + name + ".png").c_str());
    ilDeleteImages(1, &image);
}
