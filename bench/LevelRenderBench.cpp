// Frame time of level 1 at 1024x768 from fixed camera places along its route:
// the level's scene passes and its fire, in the plain path and in the shadowed
// path with CPU or geometry-shader volumes, z-pass or z-fail counting and the
// scissor box on or off. A view from above the level with all eight lights
// selected measures what the scissor box and the depth bounds save. Needs a
// display: run it under
//   xvfb-run -a -s "-screen 0 1280x1024x24" build/bench/bench_LevelRenderBench
// (`make bench` does). On Mesa llvmpipe the figures measure the CPU rasteriser.
#include <benchmark/benchmark.h>

#include <GL/glew.h>
#include <GL/glu.h>

#include <memory>
#include <optional>
#include <vector>

#include "BenchWindow.h"
#include "GameTree.h"
#include "LevelOne.h"
#include "ScenePassOptions.h"
#include "render/SystemInfo.h"
#include "app/Window.h"
#include "platform/Glfw.h"
#include "render/Frustum.h"
#include "render/LightManager.h"
#include "render/ShaderManager.h"
#include "render/TextureLoader.h"
#include "scene/OgreScene.h"
#include "scene/SceneRenderer.h"

namespace {

constexpr int kWidth = 1024;
constexpr int kHeight = 768;

struct Place {
    Vector3 eye;
    Vector3 centre;
};

// Behind the ball at its start, at each checkpoint, on the bridge, in the corridor
// of arches and before the finish: 12 up and 12 back, as the camera follows.
std::vector<Place> routePlaces() {
    const Vector3 route[] = {{16, 21, -235}, {16, 27, -329}, {43, 27, -395}, {70, 27, -395},
                             {70, 36, -470}, {70, 30, -515}, {41, 30, -562}, {41, 32, -640}};
    std::vector<Place> places;
    for (const Vector3& ball : route) {
        places.push_back({ball + Vector3{0.0f, 12.0f, 12.0f}, ball});
    }
    return places;
}

// High above the middle of the route, every torch's light sphere and the ball's in view.
const Place kOverview{{45.0f, 400.0f, -330.0f}, {43.0f, 28.0f, -431.0f}};

// A copy of the game tree with level 1 loaded and current, the window and the
// game's programs up. The members go in reverse: the level before the window.
class Level {
public:
    Level() {
        if (!window.isOpen()) {
            return;
        }
        initOpenGL();
        glLightModelfv(GL_LIGHT_MODEL_AMBIENT, windowState.ambient);
        setupProjection();
        ShaderManager::getInstance()->loadShaders();
        renderer = std::make_unique<SceneRenderer>();
        levelOne.emplace();
        if (!levelOne->ready()) {
            return;
        }
        level = &levelOne->scene();
        TextureLoader::getInstance()->uploadTextures(true);
        for (int i = 0; i < 120; ++i) {
            levelOne->step(); // torches flicker into place, fires grow
        }
        const SystemInfo* system = SystemInfo::getInstance();
        benchmark::AddCustomContext("depth bounds test", system->depthBoundsTest ? "yes" : "no");
        benchmark::AddCustomContext("geometry shaders", system->geometryShader ? "yes" : "no");
        ready = true;
    }

    // The view from `place`, its lights chosen; then the level's part of one frame.
    void drawFrame(const Place& place) {
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        gluLookAt(place.eye.x, place.eye.y, place.eye.z, place.centre.x, place.centre.y, place.centre.z, 0.0,
                  1.0, 0.0);
        Frustum::getInstance()->extract();
        LightManager::getInstance()->cullLights();
        LightManager::getInstance()->applyLights();
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_STENCIL_BUFFER_BIT);
        ShaderManager* shaders = ShaderManager::getInstance();
        shaders->useProgram(shaders->perPixel.get());
        level->render(*renderer);
        shaders->useProgram(nullptr);
        level->renderParticles(*renderer);
        glFinish();
        Glfw::swapBuffers();
    }

    static int activeLights() {
        return static_cast<int>(LightManager::getInstance()->getActiveLights().size());
    }

    bool ready = false;

private:
    GameTree tree{"Vorn.ini",
                  "objectproperties.ini",
                  "physicsmaterials.ini",
                  "sound.ini",
                  "levels",
                  "sounds",
                  "shaders",
                  "textures"};
    BenchWindow window{kWidth, kHeight};
    std::unique_ptr<SceneRenderer> renderer;
    std::optional<LevelOne> levelOne;
    OgreScene* level = nullptr;
};

Level& level() {
    static Level instance;
    return instance;
}

// False, the row skipped, when level 1 or the driver cannot draw it.
bool setOptions(benchmark::State& state) {
    if (!level().ready) {
        state.SkipWithError("level 1 cannot be drawn (no display? run under xvfb-run)");
        return false;
    }
    return ScenePassOptions::apply(state);
}

// One frame per iteration, the places taken in turn.
void BM_Route(benchmark::State& state) {
    if (!setOptions(state)) {
        return;
    }
    const std::vector<Place> places = routePlaces();
    for (const Place& place : places) {
        level().drawFrame(place); // lists compiled outside the timing
    }
    std::size_t next = 0;
    double lights = 0.0;
    for (auto _ : state) {
        level().drawFrame(places[next]);
        lights += Level::activeLights();
        next = (next + 1) % places.size();
    }
    state.counters["lights"] = lights / static_cast<double>(state.iterations());
}

void BM_OverviewAllLights(benchmark::State& state) {
    if (!setOptions(state)) {
        return;
    }
    level().drawFrame(kOverview);
    for (auto _ : state) {
        level().drawFrame(kOverview);
    }
    state.counters["lights"] = Level::activeLights();
}

void tune(benchmark::internal::Benchmark* benchmark) {
    benchmark->Unit(benchmark::kMillisecond)->Iterations(32)->MeasureProcessCPUTime()->UseRealTime();
}

BENCHMARK(BM_Route)->Args({ScenePassOptions::PLAIN, 0, 1, 1})->Apply(tune);
BENCHMARK(BM_Route)->ArgsProduct({{ScenePassOptions::SHADOWED}, {0, 1}, {1, 0}, {1, 0}})->Apply(tune);
BENCHMARK(BM_OverviewAllLights)->Args({ScenePassOptions::PLAIN, 0, 1, 1})->Apply(tune);
BENCHMARK(BM_OverviewAllLights)
    ->ArgsProduct({{ScenePassOptions::SHADOWED}, {0, 1}, {1}, {1, 0}})
    ->Apply(tune);

} // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    level(); // the driver's abilities go into the context printed first
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
}
