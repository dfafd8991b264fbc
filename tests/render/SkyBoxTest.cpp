#include <GL/glew.h>
#include <GL/glu.h>
#include <IL/il.h>
#include <gtest/gtest.h>

#include <array>
#include <filesystem>
#include <string>

#include "GlStateSnapshot.h"
#include "GlTest.h"
#include "render/SkyBox.h"
#include "render/TextureLoader.h"

namespace {

using Colour = std::array<unsigned char, 3>;

// A DXT1 face in one colour, or with its upper half white.
void writeFace(const std::filesystem::path& path, const Colour& colour, bool whiteTop) {
    std::filesystem::create_directories(path.parent_path());
    const int size = 16;
    std::string pixels(size * size * 4, '\0');
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            const bool white = whiteTop && y < size / 2;
            for (int channel = 0; channel < 3; ++channel) {
                pixels[(y * size + x) * 4 + channel] = static_cast<char>(white ? 255 : colour[channel]);
            }
            pixels[(y * size + x) * 4 + 3] = static_cast<char>(255);
        }
    }
    ILuint image = 0;
    ilGenImages(1, &image);
    ilBindImage(image);
    ilTexImage(size, size, 1, 4, IL_RGBA, IL_UNSIGNED_BYTE, pixels.data());
    ilRegisterOrigin(IL_ORIGIN_UPPER_LEFT);
    ilSetInteger(IL_DXTC_FORMAT, IL_DXT1);
    ilEnable(IL_FILE_OVERWRITE);
    ASSERT_TRUE(ilSaveImage(path.c_str())) << path;
    ilDeleteImages(1, &image);
}

Colour pixelAt(int x, int y) {
    unsigned char rgba[4] = {};
    glReadPixels(x, y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, rgba);
    return {rgba[0], rgba[1], rgba[2]};
}

bool near(const Colour& a, const Colour& b) {
    for (int channel = 0; channel < 3; ++channel) {
        if (std::abs(a[channel] - b[channel]) > 12) {
            return false;
        }
    }
    return true;
}

} // namespace

class SkyBoxTest : public GlTest {
protected:
    void SetUp() override {
        GlTest::SetUp();
        if (HasFatalFailure()) {
            return;
        }
        TextureLoader* loader = TextureLoader::getInstance(); // starts the image library
        const char* names[6] = {"front", "right", "back", "left", "top", "bottom"};
        for (int face = 0; face < 6; ++face) {
            writeFace(data->root() / "textures" / "sky" / (std::string(names[face]) + ".dds"), kColours[face],
                      face == 0);
        }
        sky.addTextures();
        loader->uploadTextures(true);
        glViewport(0, 0, kWidth, kHeight);
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        gluPerspective(60.0, static_cast<double>(kWidth) / kHeight, 0.005, 1000.0);
        glMatrixMode(GL_MODELVIEW);
        glEnable(GL_DEPTH_TEST);
        glEnable(GL_LIGHTING);
        glEnable(GL_CULL_FACE);
    }

    // Looks along `yaw` degrees about y and `pitch` about x, from somewhere far off the origin.
    void drawLooking(float yaw, float pitch) {
        glClearDepth(0.5);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glLoadIdentity();
        glRotatef(pitch, 1, 0, 0);
        glRotatef(yaw, 0, 1, 0);
        glTranslatef(-40, -7, 25);
        sky.draw();
    }

    static constexpr Colour kColours[6] = {Colour{200, 0, 0},   Colour{0, 200, 0},   Colour{0, 0, 200},
                                           Colour{200, 200, 0}, Colour{0, 200, 200}, Colour{200, 0, 200}};
    SkyBox sky{"sky"};
};

TEST_F(SkyBoxTest, EachFaceLiesWhereItsNameSaysAndTheViewsPositionDoesNotCount) {
    const int cx = kWidth / 2;
    const int cy = kHeight / 2;
    drawLooking(0, 0);
    EXPECT_TRUE(near(pixelAt(cx, cy - 60), kColours[0])) << "front, below its middle";
    EXPECT_TRUE(near(pixelAt(cx, cy + 60), Colour{255, 255, 255})) << "the image's top is up";
    drawLooking(90, 0);
    EXPECT_TRUE(near(pixelAt(cx, cy), kColours[1])) << "turned right";
    drawLooking(180, 0);
    EXPECT_TRUE(near(pixelAt(cx, cy), kColours[2]));
    drawLooking(270, 0);
    EXPECT_TRUE(near(pixelAt(cx, cy), kColours[3]));
    drawLooking(0, -90);
    EXPECT_TRUE(near(pixelAt(cx, cy), kColours[4])) << "looking up";
    drawLooking(0, 90);
    EXPECT_TRUE(near(pixelAt(cx, cy), kColours[5]));
}

TEST_F(SkyBoxTest, TheSkyWritesNoDepthAndLeavesTheStateAsItFoundIt) {
    glLoadIdentity();
    const GlStateSnapshot before;
    drawLooking(30, -10);
    GlStateSnapshot after;
    // drawLooking itself set the view.
    after.values["GL_MODELVIEW_MATRIX"] = before.values.at("GL_MODELVIEW_MATRIX");
    EXPECT_EQ(after.changesSince(before), "");
    float depth = 0.0f;
    glReadPixels(kWidth / 3, kHeight / 3, 1, 1, GL_DEPTH_COMPONENT, GL_FLOAT, &depth);
    EXPECT_FLOAT_EQ(depth, 0.5f);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}
