#include "ModelDrawingFixture.h"

#include <GL/glew.h>
#include <GL/glu.h>
#include <IL/il.h>

#include <cmath>
#include <filesystem>

#include "MeshFixtures.h"
#include "core/ConfigManager.h"
#include "model/EdgeAnalysis.h"
#include "render/Frustum.h"
#include "render/LightManager.h"
#include "render/ShaderManager.h"
#include "render/TextureLoader.h"

namespace {

void writeImage(const std::filesystem::path& path, int size,
                const std::function<void(int, int, unsigned char*)>& pixel) {
    std::filesystem::create_directories(path.parent_path());
    std::vector<unsigned char> pixels(static_cast<std::size_t>(size) * size * 4);
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            pixel(x, y, &pixels[(static_cast<std::size_t>(y) * size + x) * 4]);
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

// Orange and blue squares, and a normal map of ridges running along v.
void writeTextures(const std::filesystem::path& root) {
    ilInit();
    writeImage(root / "textures" / "checker.png", 64, [](int x, int y, unsigned char* p) {
        const bool orange = ((x / 16) + (y / 16)) % 2 == 0;
        p[0] = orange ? 240 : 40;
        p[1] = orange ? 140 : 90;
        p[2] = orange ? 30 : 230;
        p[3] = 255;
    });
    writeImage(root / "textures" / "bump" / "normalmap" / "checker_NRM.png", 64,
               [](int x, int, unsigned char* p) {
                   const float tilt = std::sin(static_cast<float>(x) * 0.4f) * 0.7f;
                   const float z = std::sqrt(1.0f - tilt * tilt);
                   p[0] = static_cast<unsigned char>((tilt * 0.5f + 0.5f) * 255.0f);
                   p[1] = 128;
                   p[2] = static_cast<unsigned char>((z * 0.5f + 0.5f) * 255.0f);
                   p[3] = 255;
               });
}

std::array<float, 3> minus(const std::array<float, 3>& a, const std::array<float, 3>& b) {
    return {a[0] - b[0], a[1] - b[1], a[2] - b[2]};
}

std::array<float, 3> unit(const std::array<float, 3>& v) {
    const float length = std::sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]);
    return {v[0] / length, v[1] / length, v[2] / length};
}

} // namespace

void ModelDrawingTest::SetUp() {
    GlTest::SetUp();
    if (HasFatalFailure()) {
        return; // no window, nothing to draw into
    }
    std::filesystem::copy(std::filesystem::path(VORN_SOURCE_DIR) / "data" / "shaders",
                          data->root() / "shaders");
    data->write("Vorn.ini", "[GameSettings]\nshader = true\nbumpmaps = true\n");
    writeTextures(data->root());
    TextureLoader::getInstance()->addTexture(kTexture, GL_REPEAT);
    TextureLoader::getInstance()->uploadTextures(true);

    ShaderManager* shaders = ShaderManager::getInstance();
    shaders->loadShaders();
    shaders->useProgram(shaders->perPixel.get());
    shaders->setUniform1i("mode", 2);

    material.ambient = {true, 0.6f, 0.6f, 0.6f, 1.0f};
    material.diffuse = {true, 1.0f, 1.0f, 1.0f, 1.0f};
    material.specular = {true, 0.5f, 0.5f, 0.5f, 1.0f};
    material.shininess = 24.0f;
    material.hasTexture = true;
    material.texture = kTexture;

    mesh.reset(texturedCube());
    model = std::make_unique<OgreModel>();
    model->mesh = mesh.get();
    model->setMaterial(mesh->submeshes.begin()->second, &material);
    model->createVertexArrays();
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    glRotatef(25.0f, 1.0f, 0.0f, 0.0f);
    glRotatef(35.0f, 0.0f, 1.0f, 0.0f);
    glGetFloatv(GL_MODELVIEW_MATRIX, model->modelMatrix->m);
    glPopMatrix();

    glViewport(0, 0, kWidth, kHeight);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(40.0, static_cast<double>(kWidth) / kHeight, 0.5, 50.0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    gluLookAt(0.0, 0.0, 6.0, 0.0, 0.0, 0.0, 0.0, 1.0, 0.0);
    glEnable(GL_DEPTH_TEST);
    glDepthFunc(GL_LEQUAL);
    glEnable(GL_CULL_FACE);
    glEnable(GL_LIGHTING);
    glEnable(GL_LIGHT0);
    glEnable(GL_COLOR_MATERIAL);
    glEnable(GL_TEXTURE_2D);

    glEnableClientState(GL_VERTEX_ARRAY);
    glEnableClientState(GL_NORMAL_ARRAY);
    glEnableClientState(GL_TEXTURE_COORD_ARRAY);
    for (const char* attribute : {"tangent", "binormal"}) {
        glEnableVertexAttribArray(static_cast<GLuint>(shaders->getAttribLocation(attribute)));
    }
    useLight(light);
}

void ModelDrawingTest::TearDown() {
    model.reset();
    mesh.reset();
    LightManager::destroy();
    ShaderManager::destroy();
    GlTest::TearDown();
}

OgreModelMesh* ModelDrawingTest::texturedCube() {
    const MeshData data = splitCube();
    OgreModelMesh* cube = buildMesh(data);
    const std::vector<OgreModelVertex*>& vertices =
        cube->submeshes.begin()->second->geometry->vertexBuffers.front()->vertices;
    const float uv[4][2] = {{0, 0}, {2, 0}, {2, 2}, {0, 2}};
    for (std::size_t side = 0; side < 6; ++side) {
        const auto& c = data.positions;
        const std::size_t first = side * 4;
        const auto tangent = unit(minus(c[first + 1], c[first]));
        const auto binormal = unit(minus(c[first + 3], c[first]));
        const std::array<float, 3> normal = {tangent[1] * binormal[2] - tangent[2] * binormal[1],
                                             tangent[2] * binormal[0] - tangent[0] * binormal[2],
                                             tangent[0] * binormal[1] - tangent[1] * binormal[0]};
        for (std::size_t k = 0; k < 4; ++k) {
            OgreModelVertex* vertex = vertices[first + k];
            std::copy(normal.begin(), normal.end(), vertex->normal);
            std::copy(tangent.begin(), tangent.end(), vertex->tangent);
            std::copy(binormal.begin(), binormal.end(), vertex->binormal);
            vertex->texcoords[0][0] = uv[k][0];
            vertex->texcoords[0][1] = uv[k][1];
        }
    }
    cube->radius = std::sqrt(3.0f);
    EdgeAnalysis::calcEdges(*cube);
    return cube;
}

void ModelDrawingTest::useLight(LightSource& source) {
    LightManager* lights = LightManager::getInstance();
    lights->registerLight(&source);
    Frustum::getInstance()->extract();
    lights->cullLights();
    lights->applyLights();
    lights->setShaderUniforms();
}

void ModelDrawingTest::setOptions(int renderMode, bool displayLists) {
    Config* options = ConfigManager::getInstance()->getMainConfig();
    options->renderMode = renderMode;
    options->displayLists = displayLists;
}

FrameCapture ModelDrawingTest::draw(OgreModel& drawn, LightSource* source, const std::string& name) {
    glClearColor(0, 0, 0, 0);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    drawn.render(source);
    const FrameCapture image = FrameCapture::take(kWidth, kHeight);
    image.save(name);
    return image;
}
