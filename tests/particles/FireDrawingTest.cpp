#include <gtest/gtest.h>

#include <GL/glew.h>
#include <GL/glu.h>
#include <IL/il.h>

#include <array>
#include <cmath>
#include <filesystem>
#include <functional>
#include <string>

#include "FireFixture.h"
#include "FrameCapture.h"
#include "GlStateSnapshot.h"
#include "LogCapture.h"
#include "core/ConfigManager.h"
#include "particles/ParticleController.h"
#include "physics/PhysicsFluid.h"
#include "render/TextureLoader.h"

namespace {

using Colour = std::array<unsigned char, 3>;

// Frame k of the test series: its colour on the left half, black on the right.
const Colour kFrames[4] = {{255, 0, 0}, {0, 255, 0}, {0, 0, 255}, {255, 255, 255}};

void writeFrame(const std::filesystem::path& path, const Colour& colour) {
    std::filesystem::create_directories(path.parent_path());
    const int size = 8;
    std::vector<unsigned char> pixels(size * size * 4, 0);
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size / 2; ++x) {
            unsigned char* p = &pixels[(y * size + x) * 4];
            std::copy(colour.begin(), colour.end(), p);
            p[3] = 255;
        }
        for (int x = size / 2; x < size; ++x) {
            pixels[(y * size + x) * 4 + 3] = 255;
        }
    }
    ILuint image = 0;
    ilGenImages(1, &image);
    ilBindImage(image);
    ilTexImage(size, size, 1, 4, IL_RGBA, IL_UNSIGNED_BYTE, pixels.data());
    ilEnable(IL_FILE_OVERWRITE);
    ilSaveImage(path.c_str());
    ilDeleteImages(1, &image);
}

class FireDrawingTest : public FireTest {
protected:
    void SetUp() override {
        FireTest::SetUp();
        if (HasFatalFailure()) {
            return;
        }
        ilInit();
        for (int frame = 0; frame < 4; ++frame) {
            writeFrame(data->root() / "textures" / ("fire" + std::to_string(frame) + ".png"), kFrames[frame]);
        }
        glViewport(0, 0, kWidth, kHeight);
        glEnable(GL_DEPTH_TEST);
        look({0.0f, 0.0f, 5.0f}, {0.0f, 0.0f, 0.0f});
    }

    // A camera at `eye` looking at `centre`, 45 degrees high.
    void look(const Vector3& eye, const Vector3& centre) {
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        gluPerspective(45.0, static_cast<double>(kWidth) / kHeight, 0.5, 100.0);
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        gluLookAt(eye.x, eye.y, eye.z, centre.x, centre.y, centre.z, 0.0, 1.0, 0.0);
    }

    FrameCapture draw(ParticleController& controller, int fireRenderMode) {
        ConfigManager::getInstance()->getMainConfig()->fireRenderMode = fireRenderMode;
        glClearColor(0, 0, 0, 0);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        controller.render();
        return FrameCapture::take(kWidth, kHeight);
    }

    // Burns for `updates` steps, the controller following its actor as in the game.
    void burn(ParticleController& controller, int updates) {
        for (int i = 0; i < updates; ++i) {
            controller.update();
            step();
        }
    }

    // One particle of the emitter at the origin with `life` seconds left.
    static void showOne(ParticleEmitter& emitter, float life, bool collided) {
        emitter.particles[0] = PhysicsParticle{};
        emitter.particles[0].lifetime = life;
        emitter.particles[0].flags = collided ? PhysicsParticleFlags::CollisionStatic : 0u;
        emitter.particleCount = 1;
    }

    static Colour colourAt(const FrameCapture& image, int x, int y) {
        const FrameCapture::Pixel p = image.atWindow(x, y);
        return {static_cast<unsigned char>(p[0]), static_cast<unsigned char>(p[1]),
                static_cast<unsigned char>(p[2])};
    }
};

// Where the quad of a particle at the origin of half size 1, seen from 5 away, has its quarter points.
constexpr int kLeftQuarter = 320 - 58;
constexpr int kRightQuarter = 320 + 58;

} // namespace

TEST_F(FireDrawingTest, VertexArraysAndBufferObjectsDrawTheSameFire) {
    ParticleController controller(ball);
    controller.addForceField("mainFF", "forceField");
    controller.addParticleEmitter("1red", "emitterA", "fluidA");
    controller.link("mainFF", "1red");
    controller.setDamping(1.0f);
    TextureLoader::getInstance()->uploadTextures(true);
    look({1.0f, 3.0f, 9.0f}, {1.0f, 3.0f, 3.0f});
    burn(controller, 60);
    ASSERT_GT(controller.emitters.at("1red")->particleCount, 40u);

    LogCapture log;
    const FrameCapture arrays = draw(controller, 1);
    const FrameCapture buffers = draw(controller, 2);
    const FrameCapture again = draw(controller, 2); // the buffers are made once and refilled
    arrays.save("fire-vertex-arrays");
    buffers.save("fire-buffer-objects");
    EXPECT_GT(arrays.litPixels(), 2000);
    EXPECT_LE(arrays.largestDifference(buffers), 1);
    EXPECT_LE(arrays.largestDifference(again), 1);
    EXPECT_TRUE(log.problems().empty());
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(FireDrawingTest, TheAgeCoordinatePicksTheFrameOfTheSeries) {
    ParticleController controller(ball);
    controller.addParticleEmitter("long", "emitterA", "fluidA");  // particles live 1 s
    controller.addParticleEmitter("short", "emitterB", "fluidA"); // particles live 0.5 s
    TextureLoader::getInstance()->uploadTextures(true);
    ParticleEmitter& longLived = *controller.emitters.at("long");
    ParticleEmitter& shortLived = *controller.emitters.at("short");
    shortLived.particleCount = 0;
    struct Case {
        float life;
        int frame;
    };
    // Lifetime 1: age (1 - life) / 1. A new particle shows frame 0, one about to die the last.
    for (const Case c : {Case{1.0f, 0}, Case{0.625f, 1}, Case{0.375f, 2}, Case{0.02f, 3}}) {
        showOne(longLived, c.life, true);
        const FrameCapture image = draw(controller, 1);
        EXPECT_EQ(colourAt(image, kLeftQuarter, 240), kFrames[c.frame]) << c.life;
        EXPECT_EQ(colourAt(image, kRightQuarter, 240), (Colour{0, 0, 0})) << c.life;
    }
    // Lifetime below 1: age 1 - life, so even a new particle is half through the series.
    longLived.particleCount = 0;
    for (const Case c : {Case{0.375f, 2}, Case{0.125f, 3}}) {
        showOne(shortLived, c.life, true);
        const FrameCapture image = draw(controller, 2);
        EXPECT_EQ(colourAt(image, kLeftQuarter, 240), kFrames[c.frame]) << c.life;
    }
    // Particles that met no static shape this step show the frame mirrored.
    showOne(shortLived, 0.375f, false);
    const FrameCapture mirrored = draw(controller, 1);
    mirrored.save("fire-age-mirrored");
    EXPECT_EQ(colourAt(mirrored, kLeftQuarter, 240), (Colour{0, 0, 0}));
    EXPECT_EQ(colourAt(mirrored, kRightQuarter, 240), kFrames[2]);
}

TEST_F(FireDrawingTest, DrawingLeavesTheOpenGlStateAsItFoundIt) {
    ParticleController controller(ball);
    controller.addParticleEmitter("1red", "emitterA", "fluidA");
    TextureLoader::getInstance()->uploadTextures(true);
    burn(controller, 30);
    ASSERT_GT(controller.emitters.at("1red")->particleCount, 0u);

    // Anything but the fire's own settings, as another drawer might leave it.
    const GLchar* vertexSource = "void main() { gl_Position = ftransform(); }";
    const GLchar* fragmentSource = "void main() { gl_FragColor = vec4(1.0); }";
    const GLuint program = glCreateProgram();
    for (const auto& [type, source] :
         {std::pair{GL_VERTEX_SHADER, vertexSource}, {GL_FRAGMENT_SHADER, fragmentSource}}) {
        const GLuint shader = glCreateShader(type);
        glShaderSource(shader, 1, &source, nullptr);
        glCompileShader(shader);
        glAttachShader(program, shader);
    }
    glLinkProgram(program);
    glUseProgram(program);
    GLuint other[2];
    glGenBuffers(1, other);
    glBindBuffer(GL_ARRAY_BUFFER, other[0]);
    glGenTextures(1, &other[1]);
    glBindTexture(GL_TEXTURE_3D, other[1]);
    const float points[6] = {};
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    glVertexPointer(2, GL_FLOAT, 0, points);
    glBindBuffer(GL_ARRAY_BUFFER, other[0]);
    glEnableClientState(GL_VERTEX_ARRAY);
    glEnableClientState(GL_NORMAL_ARRAY);
    glEnable(GL_LIGHTING);
    glDisable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glDepthMask(GL_TRUE);
    glColor4f(0.2f, 0.3f, 0.4f, 0.5f);
    glActiveTexture(GL_TEXTURE1);
    glClientActiveTexture(GL_TEXTURE1);

    for (const int mode : {1, 2}) {
        const GlStateSnapshot before;
        draw(controller, mode);
        EXPECT_EQ(GlStateSnapshot().changesSince(before), "") << "mode " << mode;
    }
    glActiveTexture(GL_TEXTURE0);
    glClientActiveTexture(GL_TEXTURE0);
    glUseProgram(0);
    glDeleteProgram(program);
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    glDeleteBuffers(1, other);
    glDeleteTextures(1, &other[1]);
}

// The game's configuration and fire series, a torch's fire and the ball's fire
// at full energy, each seen from the front and from the side.
class GameFireTest : public FireDrawingTest {
protected:
    void SetUp() override {
        FireDrawingTest::SetUp();
        if (HasFatalFailure()) {
            return;
        }
        const std::filesystem::path game(VORN_GAME_DIR);
        const std::filesystem::path source(VORN_SOURCE_DIR);
        std::filesystem::copy_file(source / "data" / "Vorn.ini", data->root() / "Vorn.ini",
                                   std::filesystem::copy_options::overwrite_existing);
        std::filesystem::copy(game / "textures" / "particles", data->root() / "textures" / "particles");
    }

    static void addFire(ParticleController& controller, const char* emitter1, const char* emitter2) {
        controller.addForceField("mainFF", "forceField");
        controller.addParticleEmitter("1red", emitter1, "fluid1");
        controller.addParticleEmitter("2yellow", emitter2, "fluid2");
        controller.link("mainFF", "1red");
        controller.link("mainFF", "2yellow");
    }

    // Draws the fire whose root is `root`, seen from `distance` away in `direction`,
    // and checks that it reads as fire: lit, warm, and rising above its root.
    void expectFire(ParticleController& controller, const Vector3& root, const Vector3& direction,
                    const std::string& name, int leastLit = 4000) {
        const Vector3 centre{root.x, root.y + 1.0f, root.z};
        look(centre + direction * 7.0f, centre);
        const FrameCapture image = draw(controller, 1);
        image.save(name);
        // Bottom row first: the root lies 1 below the centre of the view.
        const double rootRow =
            kHeight / 2.0 - 1.0 / (7.0 * std::tan(22.5 * 3.14159265 / 180.0)) * kHeight / 2.0;
        int cool = 0;
        int warm = 0;
        int above = 0;
        int below = 0;
        for (int y = 0; y < image.height; ++y) {
            for (int x = 0; x < image.width; ++x) {
                const FrameCapture::Pixel p = image.atWindow(x, y);
                if (p[0] + p[1] + p[2] <= 30) {
                    continue;
                }
                cool += p[2] > p[0] ? 1 : 0;
                warm += p[0] > p[2] + 30 ? 1 : 0;
                (y > rootRow ? above : below) += 1;
            }
        }
        const int lit = above + below;
        EXPECT_GT(lit, leastLit) << name;
        EXPECT_EQ(cool, 0) << name;
        EXPECT_GT(warm, lit / 3) << name;
        EXPECT_GT(above, 2 * below) << name;
    }
};

TEST_F(GameFireTest, ATorchBurnsLikeFire) {
    const Config& settings = *ConfigManager::getInstance()->getMainConfig();
    const Vector3 flame{0.0f, settings.getFloat("TorchSettings:offsetY", 0.0f), 0.0f};
    ParticleController torch(ball);
    addFire(torch, "torchEmitter1", "torchEmitter2");
    torch.offset = flame;
    TextureLoader::getInstance()->uploadTextures(true);
    ASSERT_NE(TextureLoader::getInstance()->getTexture("../textures/particles/fire*.png"), nullptr);
    burn(torch, 120);
    const PhysicsVec3 base = ball->getGlobalPosition();
    const Vector3 root{base.x + flame.x, base.y + flame.y, base.z + flame.z};
    expectFire(torch, root, {0.0f, 0.0f, 1.0f}, "fire-torch-front");
    expectFire(torch, root, {1.0f, 0.0f, 0.0f}, "fire-torch-side");
}

TEST_F(GameFireTest, TheBallBurnsLikeFire) {
    ParticleController fire(ball);
    addFire(fire, "emitter1", "emitter2");
    TextureLoader::getInstance()->uploadTextures(true);
    for (int i = 0; i < 120; ++i) {
        fire.setDamping(1.0f);
        fire.update();
        step();
    }
    const PhysicsVec3 base = ball->getGlobalPosition();
    const Vector3 root{base.x, base.y, base.z};
    expectFire(fire, root, {0.0f, 0.0f, 1.0f}, "fire-ball-front");
    expectFire(fire, root, {1.0f, 0.0f, 0.0f}, "fire-ball-side");
    // Low on energy the fire burns small.
    for (int i = 0; i < 120; ++i) {
        fire.setDamping(0.1f);
        fire.update();
        step();
    }
    expectFire(fire, root, {0.0f, 0.0f, 1.0f}, "fire-ball-low", 1000);
}
