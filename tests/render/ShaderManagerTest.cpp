#include <GL/glew.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "ChildProcess.h"
#include "GlTest.h"
#include "LogCapture.h"
#include "core/ConfigManager.h"
#include "render/SystemInfo.h"
#include "render/ShaderManager.h"

namespace {

// The game's shaders and a main configuration that leaves them on.
void copyGameShaders(const TempDataRoot& data) {
    std::filesystem::copy(std::filesystem::path(VORN_SOURCE_DIR) / "data" / "shaders",
                          data.root() / "shaders");
    data.write("Vorn.ini", "[GameSettings]\nshader = true\n");
}

GLint currentProgram() {
    GLint program = 0;
    glGetIntegerv(GL_CURRENT_PROGRAM, &program);
    return program;
}

} // namespace

class ShaderManagerTest : public GlTest {
protected:
    void TearDown() override {
        ShaderManager::destroy();
        GlTest::TearDown();
    }

    ShaderManager* shaders = ShaderManager::getInstance();
};

TEST_F(ShaderManagerTest, GameProgramsBuildOnThisDriverAndOfferEveryNameTheRendererSets) {
    copyGameShaders(*data);
    LogCapture log;
    shaders->loadShaders();

    ASSERT_TRUE(shaders->perPixel);
    ASSERT_TRUE(shaders->shadow);
    EXPECT_EQ(shaders->shadowGeometry != nullptr, SystemInfo::getInstance()->geometryShader);
    EXPECT_TRUE(log.problems().empty()) << log.problems().front();
    EXPECT_EQ(log.count("DEBUG", "ShaderProgram linked successfully."),
              SystemInfo::getInstance()->geometryShader ? 3 : 2);

    shaders->useProgram(shaders->perPixel.get());
    EXPECT_EQ(currentProgram(), static_cast<GLint>(shaders->perPixel->program));
    for (const char* uniform : {"Texture0", "bumpMap", "textureMode", "hasBump", "animationfactor",
                                "fadeTime", "morphTime", "lightIndices", "lightRadii", "mode"}) {
        EXPECT_GE(shaders->getUniformLocation(uniform), 0) << uniform;
    }
    for (const char* attribute : {"tangent", "binormal", "vertex2"}) {
        EXPECT_GT(shaders->getAttribLocation(attribute), 0) << attribute << " must not alias the position";
    }

    shaders->useProgram(shaders->shadow.get());
    EXPECT_GE(shaders->getUniformLocation("lightInObjectSpace"), 0);

    if (shaders->shadowGeometry) {
        shaders->useProgram(shaders->shadowGeometry.get());
        for (const char* uniform : {"robust", "zpass", "lightPos", "animationfactor"}) {
            EXPECT_GE(shaders->getUniformLocation(uniform), 0) << uniform;
        }
        EXPECT_GT(shaders->getAttribLocation("vertex2"), 0);
    }

    shaders->useProgram(nullptr);
    EXPECT_EQ(currentProgram(), 0);
    EXPECT_EQ(shaders->current, nullptr);
}

TEST_F(ShaderManagerTest, VertexSyntaxErrorGivesExactlyTheTwoFatalLinesOfTheVertexStage) {
    copyGameShaders(*data);
    std::string broken = data->read("shaders/perPixel.v");
    broken.replace(broken.find("void main()"), 11, "void main(");
    data->write("shaders/broken.v", broken);

    LogCapture log;
    EXPECT_EQ(shaders->loadShaderProgram(nullptr, "../shaders/broken.v", "../shaders/perPixel.f"), nullptr);

    const std::vector<std::string> problems = log.problems();
    ASSERT_EQ(problems.size(), 2u);
    EXPECT_EQ(problems[0], "FATAL VertexShader compile error: ");
    EXPECT_NE(problems[1].find("error"), std::string::npos)
        << "the driver's own log follows: " << problems[1];
    EXPECT_FALSE(log.contains("FragmentShader")) << "the fragment stage is not reported";
    EXPECT_FALSE(log.contains("linked"));
}

TEST_F(ShaderManagerTest, MissingSourceNamesEveryFileOfTheProgram) {
    copyGameShaders(*data);
    std::filesystem::remove(data->root() / "shaders" / "perPixel.f");
    LogCapture log;

    EXPECT_EQ(shaders->loadShaderProgram(nullptr, "../shaders/perPixel.v", "../shaders/perPixel.f"), nullptr);
    EXPECT_EQ(log.count("FATAL", "Shader '../shaders/perPixel.v|../shaders/perPixel.f' not found!"), 1);

    if (SystemInfo::getInstance()->geometryShader) {
        std::filesystem::remove(data->root() / "shaders" / "shadowGeometry.g");
        EXPECT_EQ(shaders->loadShaderProgram("../shaders/shadowGeometry.g", "../shaders/shadowGeometry.v",
                                             "../shaders/shadowGeometry.f"),
                  nullptr);
        EXPECT_EQ(log.count("FATAL",
                            "Shader '../shaders/shadowGeometry.v|../shaders/shadowGeometry.f|../shaders/"
                            "shadowGeometry.g' not found!"),
                  1);
    }
}

TEST_F(ShaderManagerTest, GeometryStageIsLeftOutWithoutDriverSupport) {
    copyGameShaders(*data);
    std::filesystem::remove(data->root() / "shaders" / "shadowGeometry.g");
    SystemInfo* info = SystemInfo::getInstance();
    const bool supported = info->geometryShader;
    info->geometryShader = false;
    LogCapture log;

    shaders->loadShaders();
    info->geometryShader = supported;

    EXPECT_TRUE(shaders->perPixel && shaders->shadow);
    EXPECT_FALSE(shaders->shadowGeometry);
    EXPECT_TRUE(log.problems().empty());
}

TEST_F(ShaderManagerTest, GeometryShadersShortOfTheirLanguageVersionFallBackToTheCpuWithOneLogLine) {
    copyGameShaders(*data);
    SystemInfo* info = SystemInfo::getInstance();
    const bool supported = info->geometryShader;
    const int language = info->shadingLanguageVersion;
    info->geometryShader = true;
    info->shadingLanguageVersion = 130;
    LogCapture log;

    shaders->loadShaders(); // "Shader error" would end the test process here
    shaders->loadShaders();
    const bool flagAfter = info->geometryShader;
    info->geometryShader = supported;
    info->shadingLanguageVersion = language;

    EXPECT_TRUE(shaders->perPixel && shaders->shadow);
    EXPECT_FALSE(shaders->shadowGeometry);
    EXPECT_FALSE(flagAfter) << "the option key and the passes see no geometry shaders";
    EXPECT_EQ(log.count("WARN", "Geometry shaders need GLSL 1.50, the driver offers 1.30"), 1);
    EXPECT_EQ(log.count("FATAL", ""), 0);
}

TEST_F(ShaderManagerTest, SwitchedOffReadsNoFileAndTouchesNoOpenGLState) {
    copyGameShaders(*data);
    data->write("Vorn.ini", "[GameSettings]\nshader = false\n");
    LogCapture log;
    shaders->loadShaders();

    EXPECT_FALSE(shaders->isEnabled());
    EXPECT_FALSE(shaders->perPixel || shaders->shadow || shaders->shadowGeometry);
    EXPECT_FALSE(log.contains("ShaderSource"));

    const float values[4] = {1, 2, 3, 4};
    const int indices[8] = {};
    while (glGetError() != GL_NO_ERROR) {
    }
    shaders->useProgram(nullptr);
    shaders->setUniform1f("mode", 1.0f);
    shaders->setUniform1i("mode", 1);
    shaders->setUniform3f("lightPos", 1, 2, 3);
    shaders->setUniform1iv("lightIndices", 8, indices);
    shaders->setUniform1fv("lightRadii", 4, values);
    shaders->setVertexAttrib3fv("tangent", values);
    shaders->setVertexAttrib4fv("vertex2", values);
    EXPECT_EQ(shaders->getUniformLocation("mode"), -1);
    // -1, not 0: location 0 would alias the vertex position in the array modes.
    EXPECT_EQ(shaders->getAttribLocation("tangent"), -1);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    GLfloat attribute[4] = {};
    glGetVertexAttribfv(1, GL_CURRENT_VERTEX_ATTRIB, attribute);
    EXPECT_EQ(attribute[0], 0.0f);
}

TEST_F(ShaderManagerTest, LocationsAreAskedOncePerProgramAndUnknownNamesStayMinusOne) {
    copyGameShaders(*data);
    shaders->loadShaders();
    shaders->useProgram(shaders->perPixel.get());

    EXPECT_EQ(shaders->getUniformLocation("noSuchUniform"), -1);
    EXPECT_EQ(shaders->getUniformLocation("noSuchUniform"), -1);
    EXPECT_EQ(shaders->perPixel->uniformLocations.count("noSuchUniform"), 1u);
    // A stale cache entry would win over the driver: plant one and see it used.
    shaders->perPixel->uniformLocations["mode"] = 12345;
    EXPECT_EQ(shaders->getUniformLocation("mode"), 12345);

    shaders->useProgram(shaders->shadow.get());
    EXPECT_EQ(shaders->shadow->uniformLocations.count("noSuchUniform"), 0u)
        << "each program has its own cache";
    EXPECT_EQ(shaders->getAttribLocation("tangent"), -1);
    EXPECT_EQ(shaders->shadow->attribLocations.at("tangent"), -1);
}

TEST(ShaderStartUp, MissingProgramEndsTheGameWithTheShaderErrorBox) {
    GameCopy game;
    std::filesystem::remove(game.root() / "shaders" / "perPixel.f");
    ChildProcessOptions options;
    options.timeoutSeconds = 60;
    const ChildProcessResult run = runChildProcess({game.executable().string()}, options);

    EXPECT_EQ(run.exitCode, 1) << run.output;
    EXPECT_NE(run.output.find("Shader error"), std::string::npos) << run.output;
    EXPECT_NE(
        run.output.find("One or more shader programs could not be created - Check the Log for Details. Vorn "
                        "must exit now."),
        std::string::npos);
    const std::string log = game.readFile("Vorn.log");
    EXPECT_NE(log.find("Shader '../shaders/perPixel.v|../shaders/perPixel.f' not found!"), std::string::npos);
    EXPECT_EQ(log.find("Starting Main Loop"), std::string::npos);
}
