#include "SceneFixture.h"

#include <GL/glew.h>
#include <GL/glu.h>

#include <filesystem>

#include "core/ConfigManager.h"
#include "app/Window.h"
#include "render/Frustum.h"
#include "render/LightManager.h"
#include "render/ShaderManager.h"

void SceneTest::SetUp() {
    GlTest::SetUp();
    if (HasFatalFailure()) {
        return; // no window, nothing to draw into
    }
    std::filesystem::copy(std::filesystem::path(VORN_SOURCE_DIR) / "data" / "shaders",
                          data->root() / "shaders");
    data->write("Vorn.ini", "[GameSettings]\nshader = true\nshadows = true\n");
    GLint stencilBits = 0;
    glGetIntegerv(GL_STENCIL_BITS, &stencilBits);
    ASSERT_GT(stencilBits, 0);

    initOpenGL();
    glLightModelfv(GL_LIGHT_MODEL_AMBIENT, windowState.ambient);
    setupProjection();
    ShaderManager* shaders = ShaderManager::getInstance();
    shaders->loadShaders();
    shaders->useProgram(shaders->perPixel.get());
    renderer = SceneRenderer();
    white.ambient = {true, 1.0f, 1.0f, 1.0f, 1.0f};
    white.diffuse = {true, 0.9f, 0.9f, 0.9f, 1.0f};
    white.specular = {true, 0.0f, 0.0f, 0.0f, 1.0f};
    white.shininess = 1.0f;
    setOptions(true, false, true, true);
}

void SceneTest::TearDown() {
    objects.clear();
    models.clear();
    meshes.clear();
    LightManager::destroy();
    ShaderManager::destroy();
    lights.clear();
    GlTest::TearDown();
}

OgreModel& SceneTest::place(const MeshData& data, const Vector3& position, bool transparent,
                            bool receiveShadows, bool castShadows) {
    meshes.push_back(buildShadedMesh(data));
    auto model = std::make_unique<OgreModel>();
    model->mesh = meshes.back().get();
    for (const auto& [name, submesh] : model->mesh->submeshes) {
        model->setMaterial(submesh, &white);
    }
    const float rotation[9] = {1, 0, 0, 0, 1, 0, 0, 0, 1};
    const float translation[3] = {position.x, position.y, position.z};
    model->applyGlobalPose(rotation, translation);
    model->setPosition(position);
    models.push_back(std::move(model));
    objects.push_back({models.back().get(), transparent, receiveShadows, castShadows});
    return *models.back();
}

void SceneTest::look(const Vector3& eye, const Vector3& centre) {
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    gluLookAt(eye.x, eye.y, eye.z, centre.x, centre.y, centre.z, 0.0, 1.0, 0.0);
    glGetDoublev(GL_MODELVIEW_MATRIX, view);
    glGetDoublev(GL_PROJECTION_MATRIX, projection);
    Frustum::getInstance()->extract();
    LightManager* manager = LightManager::getInstance();
    manager->cullLights();
    manager->applyLights();
}

LightSource& SceneTest::addLight(const Vector3& position, float radius, int slot) {
    lights.push_back(std::make_unique<LightSource>(radius, position.x, position.y, position.z, slot, 1.0f,
                                                   0.95f, 0.9f, 1.0f));
    LightManager::getInstance()->registerLight(lights.back().get());
    return *lights.back();
}

void SceneTest::setOptions(bool shadows, bool geometryShader, bool zPass, bool scissor) {
    Config* options = ConfigManager::getInstance()->getMainConfig();
    options->shadows = shadows;
    options->geometryShader = geometryShader;
    options->zPass = zPass;
    options->scissorTest = scissor;
}

FrameCapture SceneTest::frame(const std::string& name, bool segmentBlocked) {
    glClearColor(0, 0, 0, 0);
    glClearStencil(0);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_STENCIL_BUFFER_BIT);
    renderer.render(objects, [segmentBlocked](const Vector3&, const Vector3&) { return segmentBlocked; });
    const FrameCapture image = FrameCapture::take(kWidth, kHeight, true);
    image.save(name);
    return image;
}

std::array<double, 3> SceneTest::project(const Vector3& point) const {
    GLint viewport[4];
    glGetIntegerv(GL_VIEWPORT, viewport);
    std::array<double, 3> window{};
    gluProject(point.x, point.y, point.z, view, projection, viewport, &window[0], &window[1], &window[2]);
    return window;
}
