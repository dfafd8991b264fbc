#include <benchmark/benchmark.h>

#include <filesystem>

#include "GameTree.h"
#include "LevelOne.h"
#include "physics/PhysicsScene.h"
#include "scene/OgreScene.h"
#include "scene/SceneManager.h"
#include "audio/SoundManager.h"

// The first level of the generated content: loaded with no model caches (cold),
// loaded with the caches the first load wrote (warm), and one physics step of it
// with every actor, as the frame runs it (fetch, objects follow, next step).

namespace {

const GameTree& gameTree() {
    // The caches are written into the copy and not into the build.
    static const GameTree tree({"Vorn.ini", "objectproperties.ini", "physicsmaterials.ini", "sound.ini",
                                "levels", "sounds", "log4cxx.properties"});
    return tree;
}

// Without its model caches, the next load of level 1 starts cold.
void removeCaches(const GameTree& tree) {
    for (const auto& entry : std::filesystem::directory_iterator(tree.root() / "levels/level1/models")) {
        if (entry.path().extension() == ".vorm") {
            std::filesystem::remove(entry.path());
        }
    }
}

void loadLevelOne(benchmark::State& state, bool withCaches) {
    const GameTree& tree = gameTree();
    SoundManager::getInstance();
    for (auto _ : state) {
        state.PauseTiming();
        LevelOne::unload();
        LevelOne::installGame();
        if (withCaches) {
            SceneManager::getInstance()->loadSceneBlocking("../levels/level1/level1.scene");
            LevelOne::unload();
            LevelOne::installGame();
        } else {
            removeCaches(tree);
        }
        SceneManager* levels = SceneManager::getInstance();
        state.ResumeTiming();
        if (!levels->loadSceneBlocking(levels->getPath(0))) {
            state.SkipWithError(levels->getLoadError(0).c_str());
            break;
        }
    }
    LevelOne::unload();
    SoundManager::destroy();
}

void LevelOneColdLoad(benchmark::State& state) {
    loadLevelOne(state, false);
}

void LevelOneWarmLoad(benchmark::State& state) {
    loadLevelOne(state, true);
}

void LevelOneStep(benchmark::State& state) {
    gameTree();
    const LevelOne level;
    if (!level.ready()) {
        state.SkipWithError("level 1 cannot be played");
        return;
    }
    for (auto _ : state) {
        level.step();
    }
    state.counters["actors"] = static_cast<double>(level.scene().getPhysicsScene()->getNbActors());
}

} // namespace

BENCHMARK(LevelOneColdLoad)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(LevelOneWarmLoad)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(LevelOneStep)->Unit(benchmark::kMicrosecond);

BENCHMARK_MAIN();
