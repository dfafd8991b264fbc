// Frames per second of a scene of N lit models of 3072 triangles each (N = 50 and
// 200) in every render mode, with and without display lists, with the game's
// per-pixel program. Needs a display: run it under
//   xvfb-run -a -s "-screen 0 1280x1024x24" build/bench/bench_ModelRenderBench
// (`make bench` does). On Mesa llvmpipe the figures measure the CPU rasteriser.
#include <benchmark/benchmark.h>

#include <GL/glew.h>
#include <GL/glu.h>

#include <array>
#include <cmath>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "BenchWindow.h"
#include "GameTree.h"
#include "core/ConfigManager.h"
#include "model/EdgeAnalysis.h"
#include "model/OgreModel.h"
#include "render/Frustum.h"
#include "render/LightManager.h"
#include "render/ShaderManager.h"
#include "model/OgreSceneMaterial.h"

namespace {

constexpr int kRings = 48;
constexpr int kSegments = 32;
constexpr int kWidth = 800;
constexpr int kHeight = 600;

// A torus of radii 1 and 0.35 with shared vertices, normals, tangents and texture coordinates.
OgreModelMesh* torus() {
    auto* mesh = new OgreModelMesh();
    auto* submesh = new OgreModelSubmesh();
    submesh->geometry = new OgreModelGeometry();
    auto* buffer = new OgreModelVertexbuffer();
    submesh->geometry->vertexBuffers.push_back(buffer);
    for (int ring = 0; ring < kRings; ++ring) {
        for (int segment = 0; segment < kSegments; ++segment) {
            const float u = 6.2831853f * static_cast<float>(ring) / kRings;
            const float v = 6.2831853f * static_cast<float>(segment) / kSegments;
            auto* vertex = new OgreModelVertex();
            vertex->index = static_cast<int>(buffer->vertices.size());
            vertex->position = new OgreModelVertexPosition();
            const float normal[3] = {std::cos(v) * std::cos(u), std::sin(v), std::cos(v) * std::sin(u)};
            for (int axis = 0; axis < 3; ++axis) {
                vertex->normal[axis] = normal[axis];
            }
            vertex->position->position.x = std::cos(u) + 0.35f * normal[0];
            vertex->position->position.y = 0.35f * normal[1];
            vertex->position->position.z = std::sin(u) + 0.35f * normal[2];
            vertex->tangent[0] = -std::sin(u);
            vertex->tangent[2] = std::cos(u);
            vertex->binormal[0] = -std::sin(v) * std::cos(u);
            vertex->binormal[1] = std::cos(v);
            vertex->binormal[2] = -std::sin(v) * std::sin(u);
            vertex->texcoords[0][0] = 4.0f * static_cast<float>(ring) / kRings;
            vertex->texcoords[0][1] = static_cast<float>(segment) / kSegments;
            buffer->vertices.push_back(vertex);
        }
    }
    const auto at = [&](int ring, int segment) {
        return buffer->vertices[static_cast<std::size_t>((ring % kRings) * kSegments + segment % kSegments)];
    };
    for (int ring = 0; ring < kRings; ++ring) {
        for (int segment = 0; segment < kSegments; ++segment) {
            for (const auto& corners : {std::array<std::array<int, 2>, 3>{{{0, 0}, {0, 1}, {1, 1}}},
                                        std::array<std::array<int, 2>, 3>{{{0, 0}, {1, 1}, {1, 0}}}}) {
                auto* face = new OgreModelFace();
                face->index = static_cast<int>(submesh->faces.size());
                face->v1 = at(ring + corners[0][0], segment + corners[0][1]);
                face->v2 = at(ring + corners[1][0], segment + corners[1][1]);
                face->v3 = at(ring + corners[2][0], segment + corners[2][1]);
                submesh->faces.push_back(face);
            }
        }
    }
    submesh->faceCount = static_cast<int>(submesh->faces.size());
    submesh->geometry->vertexCount = static_cast<int>(buffer->vertices.size());
    mesh->submeshes["torus"] = submesh;
    mesh->radius = 1.35f;
    EdgeAnalysis::calcEdges(*mesh);
    return mesh;
}

// The window, the programs and one shared mesh for every benchmark of the run.
struct Scene {
    // A data root of its own, so the configuration's hash file never lands in the build tree;
    // the members go in reverse, the meshes before the window and its context.
    GameTree tree{"shaders"};
    BenchWindow window{kWidth, kHeight};
    std::unique_ptr<OgreModelMesh> mesh;
    OgreSceneMaterial material;
    LightSource light{60.0f, 0.0f, 12.0f, 10.0f, 0, 1.0f, 0.9f, 0.8f, 1.0f};
    bool ready = false;

    Scene() {
        if (!window.isOpen()) {
            std::fprintf(stderr, "no display: run under xvfb-run\n");
            return;
        }
        ShaderManager* shaders = ShaderManager::getInstance();
        shaders->loadShaders();
        shaders->useProgram(shaders->perPixel.get());
        shaders->setUniform1i("mode", 2);

        material.ambient = {true, 0.3f, 0.3f, 0.3f, 1.0f};
        material.diffuse = {true, 0.9f, 0.6f, 0.3f, 1.0f};
        material.specular = {true, 0.6f, 0.6f, 0.6f, 1.0f};
        material.shininess = 32.0f;
        mesh.reset(torus());
        OgreModel builder;
        builder.mesh = mesh.get();
        builder.createVertexArrays();

        glViewport(0, 0, kWidth, kHeight);
        glMatrixMode(GL_PROJECTION);
        gluPerspective(50.0, static_cast<double>(kWidth) / kHeight, 0.5, 200.0);
        glMatrixMode(GL_MODELVIEW);
        gluLookAt(0.0, 18.0, 26.0, 0.0, 0.0, 0.0, 0.0, 1.0, 0.0);
        glEnable(GL_DEPTH_TEST);
        glEnable(GL_CULL_FACE);
        glEnable(GL_LIGHTING);
        glEnable(GL_LIGHT0);
        glEnable(GL_COLOR_MATERIAL);
        glEnableClientState(GL_VERTEX_ARRAY);
        glEnableClientState(GL_NORMAL_ARRAY);
        glEnableClientState(GL_TEXTURE_COORD_ARRAY);
        for (const char* attribute : {"tangent", "binormal"}) {
            glEnableVertexAttribArray(static_cast<GLuint>(shaders->getAttribLocation(attribute)));
        }
        LightManager* lights = LightManager::getInstance();
        lights->registerLight(&light);
        Frustum::getInstance()->extract();
        lights->cullLights();
        lights->applyLights();
        lights->setShaderUniforms();
        ready = true;
    }

    // N models on a square grid in the ground plane, each turned a little.
    std::vector<std::unique_ptr<OgreModel>> models(int count) const {
        std::vector<std::unique_ptr<OgreModel>> placed;
        const int side = static_cast<int>(std::ceil(std::sqrt(static_cast<double>(count))));
        for (int i = 0; i < count; ++i) {
            auto model = std::make_unique<OgreModel>();
            model->mesh = mesh.get();
            model->setMaterial(mesh->submeshes.begin()->second, &material);
            const float x = (static_cast<float>(i % side) - side / 2.0f) * 3.0f;
            const float z = (static_cast<float>(i / side) - side / 2.0f) * 3.0f;
            const float angle = 0.3f * static_cast<float>(i);
            const float rotation[9] = {std::cos(angle),  0, std::sin(angle), 0, 1, 0,
                                       -std::sin(angle), 0, std::cos(angle)};
            const float translation[3] = {x, 0.0f, z};
            model->applyGlobalPose(rotation, translation);
            model->setPosition({x, 0.0f, z});
            placed.push_back(std::move(model));
        }
        return placed;
    }
};

Scene& scene() {
    static Scene instance;
    return instance;
}

void drawFrame(const std::vector<std::unique_ptr<OgreModel>>& models) {
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    for (const auto& model : models) {
        model->render(nullptr);
    }
    glFinish();
}

// Arguments: model count, render mode (0 immediate, 1 vertex arrays, 2 buffers), display lists.
void BM_DrawModels(benchmark::State& state) {
    if (!scene().ready) {
        state.SkipWithError("no display: run under xvfb-run");
        return;
    }
    Config* options = ConfigManager::getInstance()->getMainConfig();
    options->renderMode = static_cast<int>(state.range(1));
    options->displayLists = state.range(2) != 0;
    const auto models = scene().models(static_cast<int>(state.range(0)));
    drawFrame(models); // compiles the lists and fills the buffers outside the timing
    for (auto _ : state) {
        drawFrame(models);
    }
    state.counters["fps"] =
        benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
    state.counters["triangles"] = static_cast<double>(state.range(0) * kRings * kSegments * 2);
    static const char* const kModes[] = {"immediate", "vertex arrays", "buffers"};
    // Buffer objects are never recorded into lists; that row repeats the plain buffer figures.
    state.SetLabel(std::string(kModes[state.range(1)]) + (state.range(2) == 0   ? ""
                                                          : state.range(1) == 2 ? " (lists unused)"
                                                                                : " + lists"));
}

BENCHMARK(BM_DrawModels)
    ->ArgsProduct({{50, 200}, {0, 1, 2}, {0, 1}})
    ->Unit(benchmark::kMillisecond)
    ->MinTime(1.0)
    ->UseRealTime();

} // namespace

BENCHMARK_MAIN();
