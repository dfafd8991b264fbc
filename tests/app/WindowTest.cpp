#include <GL/glew.h>
#include <GLFW/glfw3.h>
#include <IL/il.h>
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <string>
#include <vector>

#include "FlagOverride.h"
#include "GlTest.h"
#include "app/Window.h"
#include "core/ConfigManager.h"
#include "core/PlayerFiles.h"
#include "core/StateManager.h"
#include "core/TimeManager.h"
#include "game/Camera.h"
#include "platform/Glfw.h"
#include "platform/GlfwKeys.h"
#include "render/Matrix44.h"
#include "render/SystemInfo.h"
#include "render/TextureLoader.h"
#include "ui/HUD.h"
#include "LogCapture.h"

namespace {

void press(int libraryKey) {
    Glfw::deliverKey(libraryKey, GLFW_PRESS);
    Glfw::deliverKey(libraryKey, GLFW_RELEASE);
}

std::vector<std::string> hudMessages() {
    std::vector<std::string> texts;
    for (const HUD::Message& message : HUD::getInstance()->messages) {
        texts.push_back(message.text);
    }
    return texts;
}

Matrix44 currentMatrix(GLenum which) {
    Matrix44 m;
    glGetFloatv(which, m.m);
    return m;
}

} // namespace

// The game's own window with the callbacks installed as at start-up, in play.
class InputTest : public GlTest {
protected:
    bool openWindow() override { return initGLFW(); }
    void SetUp() override {
        GlTest::SetUp();
        StateManager::getInstance()->setState(IN_GAME);
    }
};

// The game's window from a configuration whose size makes no window.
class BadWindowSizeTest : public GlTest {
protected:
    bool openWindow() override {
        data->write("Vorn.ini", "[window]\nwidth = 0\nheight = tall\nvsync = no\n");
        return initGLFW();
    }
    LogCapture log;
};

TEST_F(BadWindowSizeTest, OpensTheDefaultSizeAndSaysWhichSettingWasWrong) {
    int width = 0;
    int height = 0;
    Glfw::getWindowSize(width, height);
    EXPECT_EQ(width, 640);
    EXPECT_EQ(height, 480);
    EXPECT_EQ(
        log.count("WARN", "Setting 'window:width' in ../Vorn.ini is 0, it must be above 0: 640 is used"), 1);
    EXPECT_EQ(log.count("WARN",
                        "Setting 'window:height' in ../Vorn.ini is 'tall', not a whole number: 480 is used"),
              1);
}

TEST(KeyTranslationTest, SpecialKeysGetTheGameCodesAndPrintablesKeepTheirCharacters) {
    EXPECT_EQ(Glfw::translateKey(GLFW_KEY_ESCAPE), 257);
    EXPECT_EQ(Glfw::translateKey(GLFW_KEY_F1), 258);
    EXPECT_EQ(Glfw::translateKey(GLFW_KEY_F9), 266);
    EXPECT_EQ(Glfw::translateKey(GLFW_KEY_UP), GlfwKeys::KEY_UP);
    EXPECT_EQ(Glfw::translateKey(GLFW_KEY_DOWN), GlfwKeys::KEY_DOWN);
    EXPECT_EQ(Glfw::translateKey(GLFW_KEY_ENTER), GlfwKeys::KEY_ENTER);
    EXPECT_EQ(Glfw::translateKey(GLFW_KEY_KP_ENTER), GlfwKeys::KEY_KP_ENTER);
    EXPECT_EQ(Glfw::translateKey(GLFW_KEY_PAGE_UP), 298);
    EXPECT_EQ(Glfw::translateKey(GLFW_KEY_PAGE_DOWN), 299);
    EXPECT_EQ(Glfw::translateKey(GLFW_KEY_KP_ADD), 315);
    EXPECT_EQ(Glfw::translateKey(GLFW_KEY_KP_9), GlfwKeys::KEY_KP_9);
    EXPECT_EQ(Glfw::translateKey(GLFW_KEY_A), 'A');
    EXPECT_EQ(Glfw::translateKey(GLFW_KEY_1), '1');
    EXPECT_EQ(Glfw::translateKey(GLFW_KEY_SPACE), ' ');
    EXPECT_EQ(Glfw::translateKey(GLFW_KEY_PRINT_SCREEN), GlfwKeys::KEY_UNKNOWN);
}

TEST_F(InputTest, RenderModeCyclesWithOneMessagePerPressAndNoneForReleasesOrRepeats) {
    Config* config = ConfigManager::getInstance()->getMainConfig();
    const int start = config->renderMode;
    for (int i = 0; i < 3; ++i) {
        Glfw::deliverKey(GLFW_KEY_F6, GLFW_PRESS);
        Glfw::deliverKey(GLFW_KEY_F6, GLFW_REPEAT);
        Glfw::deliverKey(GLFW_KEY_F6, GLFW_RELEASE);
    }
    EXPECT_EQ(config->renderMode, start);
    EXPECT_EQ(hudMessages(), (std::vector<std::string>{"Render Mode: VBO", "Render mode: Immediate",
                                                       "Render Mode: Vertex Arrays"}));
}

TEST_F(InputTest, OptionKeysToggleAndConfirmWithTheirExactTexts) {
    Config* config = ConfigManager::getInstance()->getMainConfig();
    const FlagOverride geometry(SystemInfo::getInstance()->geometryShader, true);
    for (int key : {GLFW_KEY_2, GLFW_KEY_3, GLFW_KEY_6, GLFW_KEY_7, GLFW_KEY_8, GLFW_KEY_8, GLFW_KEY_9,
                    GLFW_KEY_F1, GLFW_KEY_F2, GLFW_KEY_F3, GLFW_KEY_F4, GLFW_KEY_F4, GLFW_KEY_F5, GLFW_KEY_F7,
                    GLFW_KEY_F8, GLFW_KEY_F9}) {
        press(key);
    }
    EXPECT_EQ(hudMessages(),
              (std::vector<std::string>{
                  "Mouse look: free", "Shadows: off", "Geometry Shader: off", "Z-Pass if possible: off",
                  "Fire render Mode: VBO", "Fire render Mode: Vertex Array", "Scissor Test: off",
                  "Display Help: on", "Display FPS: on", "Wireframe mode: on",
                  "Texture quality: Nearest Neighbor", "Texture quality: Bilinear", "Mipmap quality: off",
                  "Display lists: off", "View frustum culling: off", "Transparency: off"}));
    EXPECT_FALSE(Glfw::isCursorHidden()) << "play locked it, key 2 freed it";
    EXPECT_FALSE(config->shadows);
    EXPECT_TRUE(HUD::getInstance()->showHelp);
    EXPECT_FALSE(glIsEnabled(GL_BLEND));
    GLint polygonMode[2];
    glGetIntegerv(GL_POLYGON_MODE, polygonMode);
    EXPECT_EQ(polygonMode[0], GL_LINE);
}

TEST_F(InputTest, GeometryShaderKeyFlipsTheOptionButReportsMissingSupport) {
    const FlagOverride unsupported(SystemInfo::getInstance()->geometryShader, false);
    Config* config = ConfigManager::getInstance()->getMainConfig();
    const bool before = config->geometryShader;
    press(GLFW_KEY_6);
    press(GLFW_KEY_6);
    EXPECT_EQ(config->geometryShader, before);
    EXPECT_EQ(hudMessages(), (std::vector<std::string>(2, "Geometry Shader: off (not supported)")));
}

TEST_F(InputTest, ScreenshotShowsTheFinishedFrameOnceAndIsConfirmed) {
    TextureLoader::getInstance();
    press(GLFW_KEY_1);
    EXPECT_TRUE(hudMessages().empty()) << "nothing is taken before the frame is drawn";
    glClearColor(1.0f, 0.5f, 0.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    takeRequestedScreenshot();
    takeRequestedScreenshot();
    EXPECT_EQ(hudMessages(), (std::vector<std::string>{"Screenshot created"}));
    const std::filesystem::path shots = PlayerFiles::dataDir() / "screenshots";
    EXPECT_FALSE(std::filesystem::exists(shots / "screen1.tga")) << "one press, one file";
    EXPECT_FALSE(std::filesystem::exists(data->bin() / "screen0.tga")) << "nothing in the game's tree";

    ILuint image = 0;
    ilGenImages(1, &image);
    ilBindImage(image);
    ASSERT_TRUE(ilLoadImage((shots / "screen0.tga").c_str()));
    EXPECT_EQ(ilGetInteger(IL_IMAGE_WIDTH), kWidth);
    EXPECT_EQ(ilGetInteger(IL_IMAGE_HEIGHT), kHeight);
    ilConvertImage(IL_RGB, IL_UNSIGNED_BYTE);
    const ILubyte* pixel = ilGetData() + (kHeight / 2 * kWidth + kWidth / 2) * 3;
    EXPECT_EQ(pixel[0], 255);
    EXPECT_NEAR(pixel[1], 128, 1);
    EXPECT_EQ(pixel[2], 0);
    ilDeleteImages(1, &image);
}

TEST_F(InputTest, PageUpTenTimesFromTheStartReachesSixtyFivePercentAndStopsAtFull) {
    for (int i = 0; i < 10; ++i) {
        press(GLFW_KEY_PAGE_UP);
    }
    EXPECT_NEAR(windowState.ambient[0], 0.65f, 1e-5);
    float ambient[4];
    glGetFloatv(GL_LIGHT_MODEL_AMBIENT, ambient);
    EXPECT_NEAR(ambient[0], 0.65f, 1e-5);
    EXPECT_NEAR(ambient[2], 0.65f, 1e-5);
    EXPECT_FLOAT_EQ(ambient[3], 1.0f);
    for (int i = 0; i < 10; ++i) {
        press(GLFW_KEY_PAGE_UP);
    }
    EXPECT_FLOAT_EQ(windowState.ambient[0], 1.0f);
    EXPECT_TRUE(hudMessages().empty());
}

TEST_F(InputTest, PageDownAtZeroLeavesOpenGLAlone) {
    for (int i = 0; i < 4; ++i) {
        press(GLFW_KEY_PAGE_DOWN);
    }
    EXPECT_FLOAT_EQ(windowState.ambient[0], 0.0f);
    const float marker[4] = {0.5f, 0.25f, 0.125f, 1.0f};
    glLightModelfv(GL_LIGHT_MODEL_AMBIENT, marker);
    press(GLFW_KEY_PAGE_DOWN);
    float ambient[4];
    glGetFloatv(GL_LIGHT_MODEL_AMBIENT, ambient);
    EXPECT_FLOAT_EQ(ambient[0], 0.5f);
    EXPECT_FLOAT_EQ(ambient[1], 0.25f);
}

TEST_F(InputTest, PFlipsTheTimePauseAndEscapePausesTheGameOnlyInPlay) {
    press(GLFW_KEY_P);
    EXPECT_TRUE(TimeManager::getInstance()->paused);
    press(GLFW_KEY_P);
    EXPECT_FALSE(TimeManager::getInstance()->paused);
    press(GLFW_KEY_ESCAPE);
    EXPECT_EQ(StateManager::getInstance()->getState(), PAUSED);
    press(GLFW_KEY_P);
    press(GLFW_KEY_F1);
    EXPECT_FALSE(TimeManager::getInstance()->paused);
    EXPECT_FALSE(HUD::getInstance()->showHelp);
    EXPECT_TRUE(hudMessages().empty());
}

TEST_F(InputTest, WheelStartsTheCameraAtSeventeenAndZoomsWithinItsRange) {
    Camera* camera = Camera::getInstance();
    EXPECT_FLOAT_EQ(camera->desiredDistance, 17.0f);
    Glfw::deliverScroll(1.0);
    EXPECT_FLOAT_EQ(camera->desiredDistance, 15.0f);
    for (int i = 0; i < 6; ++i) {
        Glfw::deliverScroll(1.0);
    }
    EXPECT_FLOAT_EQ(camera->desiredDistance, 5.0f);
    for (int i = 0; i < 8; ++i) {
        Glfw::deliverScroll(-1.0);
    }
    EXPECT_FLOAT_EQ(camera->desiredDistance, 18.0f);
    // Half notches add up to one.
    Glfw::deliverScroll(0.5);
    EXPECT_FLOAT_EQ(camera->desiredDistance, 18.0f);
    Glfw::deliverScroll(0.5);
    EXPECT_FLOAT_EQ(camera->desiredDistance, 16.0f);
    EXPECT_EQ(windowState.lastWheelPos, Glfw::getMouseWheel());
}

TEST_F(InputTest, MouseLookTurnsHalfADegreePerPixelAndClampsThePitch) {
    Camera* camera = Camera::getInstance();
    int x = 0;
    int y = 0;
    Glfw::getMousePos(x, y);
    Glfw::deliverCursorPos(x, y); // the first position after play locked the cursor only marks it
    Glfw::deliverCursorPos(x, y - 1000);
    EXPECT_FLOAT_EQ(camera->pitchTarget, -30.0f);
    const float yaw = camera->yawTarget;
    Glfw::deliverCursorPos(x + 10, y - 996);
    EXPECT_FLOAT_EQ(camera->yawTarget, yaw + 5.0f);
    EXPECT_FLOAT_EQ(camera->pitchTarget, -28.0f);
    Glfw::deliverCursorPos(x + 10, y + 1000);
    EXPECT_FLOAT_EQ(camera->pitchTarget, 90.0f);
}

TEST_F(InputTest, ProjectionIsTheInfiniteSixtyFiveDegreeFrustumOfTheWindow) {
    setupProjection();
    GLint viewport[4];
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ(viewport[2], 640);
    EXPECT_EQ(viewport[3], 480);

    const Matrix44 p = currentMatrix(GL_PROJECTION_MATRIX);
    const double cotangent = 1.0 / std::tan(0.5672320127487183);
    EXPECT_NEAR(p.at(1, 1), cotangent, 1e-4);
    EXPECT_NEAR(p.at(0, 0), cotangent * 480.0 / 640.0, 1e-4);
    EXPECT_FLOAT_EQ(p.at(3, 2), -1.0f);
    EXPECT_FLOAT_EQ(p.at(3, 3), 0.0f);
    const bool clamp = SystemInfo::getInstance()->depthClamp;
    EXPECT_FLOAT_EQ(p.at(2, 2), clamp ? -1.0f : -0.999f);
    EXPECT_FLOAT_EQ(p.at(2, 3), clamp ? -0.01f : -1.999f * 0.005f);
    // near / right, with right = near * tan(32.5 degrees) * aspect.
    EXPECT_NEAR(Camera::getInstance()->nearFactor, cotangent * 480.0 / 640.0, 1e-4);
}

TEST_F(GlTest, MatrixProductAgreesWithOpenGL) {
    Matrix44 a;
    Matrix44 b;
    for (int i = 0; i < 16; ++i) {
        a.m[i] = static_cast<float>(i + 1);
        b.m[i] = static_cast<float>((i * 7) % 5 - 2);
    }
    glMatrixMode(GL_MODELVIEW);
    glLoadMatrixf(a.m);
    glMultMatrixf(b.m);
    const Matrix44 expected = currentMatrix(GL_MODELVIEW_MATRIX);
    const Matrix44 product = a * b;
    for (int i = 0; i < 16; ++i) {
        EXPECT_FLOAT_EQ(product.m[i], expected.m[i]) << "element " << i;
    }
}

TEST_F(GlTest, OpenGLStateAfterInitialisation) {
    data->write("Vorn.ini", "[quality]\nfog = 4353\n");
    initOpenGL();
    EXPECT_TRUE(glIsEnabled(GL_CULL_FACE));
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
    EXPECT_TRUE(glIsEnabled(GL_LIGHTING));
    EXPECT_TRUE(glIsEnabled(GL_BLEND));
    EXPECT_TRUE(glIsEnabled(GL_NORMALIZE));
    EXPECT_TRUE(glIsEnabled(GL_TEXTURE_2D));
    EXPECT_EQ(glIsEnabled(GL_DEPTH_CLAMP_NV) == GL_TRUE, SystemInfo::getInstance()->depthClamp);
    GLint value = 0;
    glGetIntegerv(GL_DEPTH_FUNC, &value);
    EXPECT_EQ(value, GL_LEQUAL);
    glGetIntegerv(GL_FOG_HINT, &value);
    EXPECT_EQ(value, GL_FASTEST);
    glGetIntegerv(GL_PERSPECTIVE_CORRECTION_HINT, &value);
    EXPECT_EQ(value, GL_NICEST);
    glGetIntegerv(GL_STENCIL_BITS, &value);
    EXPECT_EQ(value, 8);
}
