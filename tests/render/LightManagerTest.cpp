#include <GL/glew.h>
#include <gtest/gtest.h>

#include <filesystem>

#include "GlTest.h"
#include "render/Frustum.h"
#include "render/LightManager.h"
#include "render/ShaderManager.h"

namespace {

// Camera at the origin looking down -z, 90 degrees wide, near 1, far 100.
void viewDownNegativeZ() {
    Matrix44 projection = Matrix44::perspective(-1, 1, -1, 1, 1, 100, false);
    Frustum::getInstance()->extract(projection, Matrix44{});
}

} // namespace

class LightManagerTest : public ::testing::Test {
protected:
    void SetUp() override { viewDownNegativeZ(); }
    void TearDown() override { LightManager::destroy(); }

    LightManager* manager = LightManager::getInstance();
};

TEST_F(LightManagerTest, SelectsVisibleSlotsInOrderAndAlwaysTheFirst) {
    LightSource player(5, 0, 0, 500, 0, 1, 1, 1, 1); // far behind the camera
    LightSource torch3(2, 0, 0, -10, 3, 1, 0.5f, 0, 1);
    LightSource torch5(7, 3, 0, -20, 5, 1, 0.5f, 0, 1);
    LightSource hidden(1, 0, 0, 50, 6, 1, 1, 1, 1);
    for (LightSource* light : {&player, &torch3, &torch5, &hidden}) {
        manager->registerLight(light);
    }
    manager->cullLights();

    EXPECT_EQ(std::vector<int>(manager->activeIndices, manager->activeIndices + 4),
              (std::vector<int>{0, 3, 5, -1}));
    EXPECT_EQ(std::vector<float>(manager->activeRadii, manager->activeRadii + 3),
              (std::vector<float>{5, 2, 7}));
    EXPECT_EQ(manager->getActiveLights(), (std::vector<LightSource*>{&player, &torch3, &torch5}));

    // Selection is redone every frame, not added to.
    hidden.z = -30;
    torch3.z = 40;
    manager->cullLights();
    EXPECT_EQ(std::vector<int>(manager->activeIndices, manager->activeIndices + 4),
              (std::vector<int>{0, 5, 6, -1}));
}

TEST_F(LightManagerTest, SphereTouchingAPlaneFromOutsideIsCulled) {
    // Behind the near plane, as far from it as the radius: only touching.
    const float* near = Frustum::getInstance()->planes[Frustum::NEAR];
    const float distance = near[0] * 0.0f + near[1] * 0.0f + near[2] * 0.5f + near[3];
    ASSERT_LT(distance, 0.0f);
    LightSource touching(-distance, 0, 0, 0.5f, 2, 1, 1, 1, 1);
    LightSource overlapping(-distance * 1.001f, 0, 0, 0.5f, 4, 1, 1, 1, 1);
    manager->registerLight(&touching);
    manager->registerLight(&overlapping);
    manager->cullLights();
    EXPECT_EQ(manager->activeIndices[0], 4);
    EXPECT_EQ(manager->activeIndices[1], -1);
}

TEST_F(LightManagerTest, AllEightSelectedLeaveNoTerminator) {
    std::vector<LightSource> lights;
    lights.reserve(8);
    for (int slot = 0; slot < 8; ++slot) {
        lights.emplace_back(3, 0, 0, -10, slot, 1, 1, 1, 1);
    }
    for (LightSource& light : lights) {
        manager->registerLight(&light);
    }
    manager->cullLights();
    EXPECT_EQ(std::vector<int>(manager->activeIndices, manager->activeIndices + 8),
              (std::vector<int>{0, 1, 2, 3, 4, 5, 6, 7}));
    EXPECT_EQ(manager->getActiveLights().size(), 8u);
}

TEST_F(LightManagerTest, DestroyedLightLeavesItsSlotAndALaterLightReplacesAnEarlierOne) {
    LightSource first(3, 0, 0, -10, 2, 1, 1, 1, 1);
    LightSource second(4, 0, 0, -10, 2, 1, 1, 1, 1);
    manager->registerLight(&first);
    manager->registerLight(&second);
    EXPECT_EQ(manager->lights[2], &second);
    {
        LightSource player;
        manager->registerLight(&player);
        EXPECT_EQ(manager->lights[0], &player);
    }
    EXPECT_EQ(manager->lights[0], nullptr) << "a dead light must not stay in its slot";
    LightSource stray(3, 0, 0, -10, 8, 1, 1, 1, 1);
    manager->registerLight(&stray);
    manager->cullLights();
    EXPECT_EQ(manager->getActiveLights(), std::vector<LightSource*>{&second});
}

TEST(LightSourceTest, DefaultIsThePlayersWhiteLightReachingEverywhere) {
    const LightSource light;
    EXPECT_EQ(light.radius, 4294967296.0f);
    EXPECT_EQ(light.getPosition(), (Vector4{0, 0, 0, 1}));
    EXPECT_EQ(light.getDiffuse(), (Vector4{1, 1, 1, 1}));
    EXPECT_EQ(light.index, 0);
}

class LightManagerGlTest : public GlTest {
protected:
    void TearDown() override {
        LightManager::destroy();
        ShaderManager::destroy();
        GlTest::TearDown();
    }
};

TEST_F(LightManagerGlTest, AppliesSelectedLightsThroughTheCameraAndLeavesTheOthers) {
    viewDownNegativeZ();
    LightManager* manager = LightManager::getInstance();
    LightSource player(10, 1, 2, 3, 0, 0.5f, 0.25f, 1, 1);
    LightSource hidden(1, 0, 0, 50, 1, 1, 0, 0, 1);
    manager->registerLight(&player);
    manager->registerLight(&hidden);
    const float untouched[4] = {9, 9, 9, 1};
    glLightfv(GL_LIGHT1, GL_DIFFUSE, untouched);

    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glTranslatef(0, 0, -5); // the camera's view
    manager->cullLights();
    manager->applyLights();

    float position[4];
    float diffuse[4];
    glGetLightfv(GL_LIGHT0, GL_POSITION, position);
    glGetLightfv(GL_LIGHT0, GL_DIFFUSE, diffuse);
    EXPECT_EQ(std::vector<float>(position, position + 4), (std::vector<float>{1, 2, -2, 1}));
    EXPECT_EQ(std::vector<float>(diffuse, diffuse + 4), (std::vector<float>{0.5f, 0.25f, 1, 1}));
    glGetLightfv(GL_LIGHT1, GL_DIFFUSE, diffuse);
    EXPECT_EQ(diffuse[0], 9.0f);
}

TEST_F(LightManagerGlTest, UniformArraysCarryTheSelectionOrOneLight) {
    std::filesystem::copy(std::filesystem::path(VORN_SOURCE_DIR) / "data" / "shaders",
                          data->root() / "shaders");
    ShaderManager* shaders = ShaderManager::getInstance();
    shaders->loadShaders();
    shaders->useProgram(shaders->perPixel.get());
    viewDownNegativeZ();
    LightManager* manager = LightManager::getInstance();
    LightSource player(10, 0, 0, -5, 0, 1, 1, 1, 1);
    LightSource torch(6, 0, 0, -5, 4, 1, 1, 1, 1);
    manager->registerLight(&player);
    manager->registerLight(&torch);
    manager->cullLights();

    const GLuint program = shaders->perPixel->program;
    const auto readBack = [&] {
        std::vector<int> indices(8);
        std::vector<float> radii(8);
        for (int i = 0; i < 8; ++i) {
            const std::string element = "[" + std::to_string(i) + "]";
            glGetUniformiv(program, glGetUniformLocation(program, ("lightIndices" + element).c_str()),
                           &indices[i]);
            glGetUniformfv(program, glGetUniformLocation(program, ("lightRadii" + element).c_str()),
                           &radii[i]);
        }
        return std::make_pair(indices, radii);
    };

    manager->setShaderUniforms();
    auto [indices, radii] = readBack();
    EXPECT_EQ(std::vector<int>(indices.begin(), indices.begin() + 3), (std::vector<int>{0, 4, -1}));
    EXPECT_EQ(std::vector<float>(radii.begin(), radii.begin() + 2), (std::vector<float>{10, 6}));

    manager->setShaderUniformsForLight(torch);
    std::tie(indices, radii) = readBack();
    EXPECT_EQ(indices, (std::vector<int>{4, -1, 0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(radii, (std::vector<float>{6, 0, 0, 0, 0, 0, 0, 0}));
}

TEST_F(LightManagerGlTest, TorchesHighlightInTheirOwnColourAndThePlayersLightKeepsWhite) {
    viewDownNegativeZ();
    LightManager* manager = LightManager::getInstance();
    LightSource player(10, 0, 0, -5, 0, 0.5f, 0.25f, 1, 1);
    LightSource torch(10, 1, 0, -5, 3, 1.0f, 0.6f, 0.2f, 1);
    manager->registerLight(&player);
    manager->registerLight(&torch);
    const float white[4] = {1, 1, 1, 1};
    glLightfv(GL_LIGHT0, GL_SPECULAR, white);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    manager->cullLights();
    manager->applyLights();
    float specular[4];
    glGetLightfv(GL_LIGHT3, GL_SPECULAR, specular);
    EXPECT_EQ(std::vector<float>(specular, specular + 4), (std::vector<float>{1.0f, 0.6f, 0.2f, 1}));
    glGetLightfv(GL_LIGHT0, GL_SPECULAR, specular);
    EXPECT_EQ(std::vector<float>(specular, specular + 4), (std::vector<float>{1, 1, 1, 1}));
}
