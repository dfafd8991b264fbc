#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>

#include "app/ConfigManager.h"
#include "model/OgreLoader.h"
#include "physics/PhysicsScene.h"
#include "render/TextureLoader.h"
#include "scene/OgreScene.h"
#include "scene/PhysicsManager.h"
#include "scene/SceneManager.h"
#include "ui/SoundManager.h"

// The first level of the generated content: loaded with no model caches (cold),
// loaded with the caches the first load wrote (warm), and one physics step of it
// with every actor, as the frame runs it (fetch, objects follow, next step).

namespace {

// A copy of the game tree, so the caches are written there and not into the build.
class GameTree {
public:
    GameTree() {
        std::string pattern = (std::filesystem::temp_directory_path() / "vorn-bench-XXXXXX").string();
        root = mkdtemp(pattern.data());
        for (const char* part : {"Vorn.ini", "objectproperties.ini", "physicsmaterials.ini", "sound.ini",
                                 "levels", "sounds", "log4cxx.properties"}) {
            std::filesystem::copy(std::filesystem::path(VORN_GAME_DIR) / part, root / part,
                                  std::filesystem::copy_options::recursive);
        }
        std::filesystem::create_directories(root / "bin");
        std::filesystem::current_path(root / "bin");
        setenv("ALSOFT_DRIVERS", "null", 0);
    }
    ~GameTree() {
        std::filesystem::current_path(root.parent_path());
        std::filesystem::remove_all(root);
    }

    void removeCaches() const {
        for (const auto& entry : std::filesystem::directory_iterator(root / "levels/level1/models")) {
            if (entry.path().extension() == ".vorm") {
                std::filesystem::remove(entry.path());
            }
        }
    }

private:
    std::filesystem::path root;
};

const GameTree& gameTree() {
    static const GameTree tree;
    return tree;
}

// Everything a load fills, gone: the next load starts from the files.
void forgetLevels() {
    SceneManager::destroy();
    PhysicsManager::destroy();
    OgreLoader::destroy();
    TextureLoader::destroy();
}

void loadLevelOne(benchmark::State& state, bool withCaches) {
    const GameTree& tree = gameTree();
    SoundManager::getInstance();
    for (auto _ : state) {
        state.PauseTiming();
        forgetLevels();
        if (withCaches) {
            SceneManager::getInstance()->loadSceneBlocking("../levels/level1/level1.scene");
            forgetLevels();
        } else {
            tree.removeCaches();
        }
        SceneManager* levels = SceneManager::getInstance();
        state.ResumeTiming();
        if (!levels->loadSceneBlocking(levels->getPath(0))) {
            state.SkipWithError(levels->getLoadError(0).c_str());
            break;
        }
    }
    forgetLevels();
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
    SceneManager* levels = SceneManager::getInstance();
    if (!levels->loadSceneBlocking(levels->getPath(0)) || !levels->setCurrentLevel(0)) {
        state.SkipWithError("level 1 cannot be played");
        return;
    }
    OgreScene& level = *levels->getCurrentScene();
    PhysicsManager& physics = *PhysicsManager::getInstance();
    for (auto _ : state) {
        physics.fetchResults();
        level.update();
        physics.startStep();
    }
    state.counters["actors"] = static_cast<double>(level.getPhysicsScene()->getNbActors());
    forgetLevels();
    SoundManager::destroy();
}

} // namespace

BENCHMARK(LevelOneColdLoad)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(LevelOneWarmLoad)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(LevelOneStep)->Unit(benchmark::kMicrosecond);

BENCHMARK_MAIN();
