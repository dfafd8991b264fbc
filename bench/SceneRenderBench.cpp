// Frame time of the scene passes over a synthetic level at 1024x768: a floor,
// 64 crates and 8 point lights, in the plain path and in the shadowed path with
// CPU or geometry-shader volumes, z-pass or z-fail counting, and the scissor box
// on or off. Needs a display: run it under
//   xvfb-run -a -s "-screen 0 1280x1024x24" build/bench/bench_SceneRenderBench
// (`make bench` does). On Mesa llvmpipe the figures measure the CPU rasteriser.
#include <benchmark/benchmark.h>

#include <GL/glew.h>
#include <GL/glu.h>

#include <array>
#include <cmath>
#include <cstdio>
#include <memory>
#include <vector>

#include "BenchWindow.h"
#include "GameTree.h"
#include "ScenePassOptions.h"
#include "app/Window.h"
#include "model/EdgeAnalysis.h"
#include "model/OgreModel.h"
#include "render/Frustum.h"
#include "render/LightManager.h"
#include "render/ShaderManager.h"
#include "model/OgreSceneMaterial.h"
#include "scene/SceneRenderer.h"

namespace {

constexpr int kWidth = 1024;
constexpr int kHeight = 768;
constexpr int kCratesPerSide = 8;

// A box of the given half sizes, four vertices of its own per side, flat normals.
OgreModelMesh* box(float hx, float hy, float hz) {
    auto* mesh = new OgreModelMesh();
    auto* submesh = new OgreModelSubmesh();
    submesh->geometry = new OgreModelGeometry();
    auto* buffer = new OgreModelVertexbuffer();
    submesh->geometry->vertexBuffers.push_back(buffer);
    const float half[3] = {hx, hy, hz};
    for (int axis = 0; axis < 3; ++axis) {
        for (const float sign : {1.0f, -1.0f}) {
            const int u = (axis + 1) % 3;
            const int v = (axis + 2) % 3;
            const float corners[4][2] = {{-1, -1}, {1, -1}, {1, 1}, {-1, 1}};
            const std::size_t first = buffer->vertices.size();
            for (int i = 0; i < 4; ++i) {
                const int k = sign > 0 ? i : 3 - i;
                float p[3];
                p[axis] = sign * half[axis];
                p[u] = corners[k][0] * half[u];
                p[v] = corners[k][1] * half[v];
                auto* vertex = new OgreModelVertex();
                vertex->index = static_cast<int>(buffer->vertices.size());
                vertex->position = new OgreModelVertexPosition();
                vertex->position->position = {p[0], p[1], p[2]};
                vertex->normal[axis] = sign;
                buffer->vertices.push_back(vertex);
                mesh->radius = std::max(mesh->radius, vertex->position->position.length());
            }
            for (const std::array<std::size_t, 3>& corners3 :
                 {std::array<std::size_t, 3>{0, 1, 2}, std::array<std::size_t, 3>{0, 2, 3}}) {
                auto* face = new OgreModelFace();
                face->index = static_cast<int>(submesh->faces.size());
                face->v1 = buffer->vertices[first + corners3[0]];
                face->v2 = buffer->vertices[first + corners3[1]];
                face->v3 = buffer->vertices[first + corners3[2]];
                Vector3 normal;
                (axis == 0 ? normal.x : axis == 1 ? normal.y : normal.z) = sign;
                face->normal = normal;
                submesh->faces.push_back(face);
            }
        }
    }
    submesh->faceCount = static_cast<int>(submesh->faces.size());
    submesh->geometry->vertexCount = static_cast<int>(buffer->vertices.size());
    mesh->submeshes["box"] = submesh;
    EdgeAnalysis::calcEdges(*mesh);
    return mesh;
}

// The window, the programs, the level and its lights for every benchmark of the run.
struct Level {
    // A data root of its own, so the configuration's hash file never lands in the build tree.
    GameTree tree{"shaders"};
    BenchWindow window{kWidth, kHeight};
    std::unique_ptr<OgreModelMesh> floorMesh;
    std::unique_ptr<OgreModelMesh> crateMesh;
    std::vector<std::unique_ptr<OgreModel>> models;
    std::vector<SceneObject> objects;
    std::vector<std::unique_ptr<LightSource>> lights;
    OgreSceneMaterial stone;
    std::unique_ptr<SceneRenderer> renderer;
    bool ready = false;

    Level() {
        if (!window.isOpen()) {
            std::fprintf(stderr, "no display: run under xvfb-run\n");
            return;
        }
        initOpenGL();
        glLightModelfv(GL_LIGHT_MODEL_AMBIENT, windowState.ambient);
        setupProjection();
        ShaderManager* shaders = ShaderManager::getInstance();
        shaders->loadShaders();
        shaders->useProgram(shaders->perPixel.get());
        renderer = std::make_unique<SceneRenderer>();

        stone.ambient = {true, 0.8f, 0.8f, 0.8f, 1.0f};
        stone.diffuse = {true, 0.8f, 0.75f, 0.7f, 1.0f};
        stone.specular = {true, 0.2f, 0.2f, 0.2f, 1.0f};
        stone.shininess = 16.0f;
        floorMesh.reset(box(30.0f, 0.25f, 30.0f));
        crateMesh.reset(box(0.8f, 1.0f, 0.8f));
        for (OgreModelMesh* mesh : {floorMesh.get(), crateMesh.get()}) {
            OgreModel builder;
            builder.mesh = mesh;
            builder.createVertexArrays();
        }
        place(floorMesh.get(), {0.0f, -0.25f, 0.0f});
        for (int i = 0; i < kCratesPerSide * kCratesPerSide; ++i) {
            place(crateMesh.get(), {(static_cast<float>(i % kCratesPerSide) - 3.5f) * 5.0f, 1.0f,
                                    (static_cast<float>(i / kCratesPerSide) - 3.5f) * 5.0f});
        }
        // The player's light near the middle and seven torches across the level.
        const Vector3 at[8] = {{0, 3, 4},   {-12, 3, -12}, {12, 3, -12}, {-12, 3, 12},
                               {12, 3, 12}, {0, 3, -16},   {-17, 3, 0},  {17, 3, 0}};
        for (int slot = 0; slot < 8; ++slot) {
            lights.push_back(std::make_unique<LightSource>(slot == 0 ? 18.0f : 12.0f, at[slot].x, at[slot].y,
                                                           at[slot].z, slot, 1.0f, 0.8f, 0.6f, 1.0f));
            LightManager::getInstance()->registerLight(lights.back().get());
        }
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        gluLookAt(0.0, 22.0, 30.0, 0.0, 0.0, -2.0, 0.0, 1.0, 0.0);
        Frustum::getInstance()->extract();
        LightManager::getInstance()->cullLights();
        LightManager::getInstance()->applyLights();
        ready = true;
    }

    ~Level() {
        objects.clear();
        models.clear();
        floorMesh.reset();
        crateMesh.reset();
        renderer.reset();
    }

    void place(OgreModelMesh* mesh, const Vector3& position) {
        auto model = std::make_unique<OgreModel>();
        model->mesh = mesh;
        model->setMaterial(mesh->submeshes.begin()->second, &stone);
        const float rotation[9] = {1, 0, 0, 0, 1, 0, 0, 0, 1};
        const float translation[3] = {position.x, position.y, position.z};
        model->applyGlobalPose(rotation, translation);
        model->setPosition(position);
        models.push_back(std::move(model));
        objects.push_back({models.back().get(), false, true, true});
    }

    void drawFrame() {
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_STENCIL_BUFFER_BIT);
        renderer->render(objects, [](const Vector3&, const Vector3&) { return false; });
        glFinish();
    }
};

Level& level() {
    static Level instance;
    return instance;
}

// Arguments: path, geometry shader, z-pass, scissor box.
void BM_ScenePasses(benchmark::State& state) {
    if (!level().ready) {
        state.SkipWithError("no display: run under xvfb-run");
        return;
    }
    if (!ScenePassOptions::apply(state)) {
        return;
    }
    level().drawFrame(); // compiles the lists outside the timing
    for (auto _ : state) {
        level().drawFrame();
    }
    state.counters["fps"] =
        benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}

BENCHMARK(BM_ScenePasses)
    ->Args({ScenePassOptions::PLAIN, 0, 1, 1})
    ->Unit(benchmark::kMillisecond)
    ->MinTime(1.0)
    ->UseRealTime();
BENCHMARK(BM_ScenePasses)
    ->ArgsProduct({{ScenePassOptions::SHADOWED}, {0, 1}, {1, 0}, {1, 0}})
    ->Unit(benchmark::kMillisecond)
    ->MinTime(1.0)
    ->UseRealTime();

} // namespace

BENCHMARK_MAIN();
