// Frame time of the game itself in play on level 1, in its default 640x480
// window: the game's own start-up, then its update and render per frame with
// one physics step each, the camera behind the ball at its start. Shadowed (the
// default options) and plain. Needs a display: run it under
//   xvfb-run -a -s "-screen 0 1280x1024x24" build/bench/bench_GameFrameBench
// (`make bench` does). On Mesa llvmpipe the figures measure the CPU rasteriser:
// "Time" is the frame as the player waits for it, "CPU" the processor time of all
// threads, the rasteriser's included, which a busy machine does not inflate.
#include <benchmark/benchmark.h>

#include "GameTree.h"
#include "core/ConfigManager.h"
#include "app/Frame.h"
#include "core/GameState.h"
#include "core/ManagerLifetime.h"
#include "core/StateManager.h"
#include "core/TimeManager.h"
#include "game/Camera.h"
#include "render/TextureLoader.h"
#include "scene/SceneManager.h"

namespace {

// The game started and in play on level 1, its clock moved 1/60 s per frame.
class Game {
public:
    Game() {
        init();
        clock = TimeManager::getInstance()->now;
        TimeManager::getInstance()->setClock([this] { return clock; });
        SceneManager* levels = SceneManager::getInstance();
        levels->waitForLoads();
        ready = levels->setCurrentLevel(0);
        TextureLoader::getInstance()->uploadTextures(true);
        StateManager::getInstance()->setState(IN_GAME);
        // Behind the ball, whatever the pointer did when the window opened.
        Camera::getInstance()->yawTarget = 0.0f;
        Camera::getInstance()->pitchTarget = 45.0f;
        for (int i = 0; i < 60 && ready; ++i) {
            frame(); // the ball settles, the fires grow, the lists are compiled
        }
    }
    ~Game() {
        shutdown();
        ManagerLifetime::allowCreation();
    }

    void frame() {
        clock += 17;
        update();
        render();
    }

    bool ready = false;

private:
    int clock = 0;
};

void GameFrame(benchmark::State& state) {
    static GameTree tree;
    Game game;
    if (!game.ready) {
        state.SkipWithError("level 1 cannot be played (no display? run under xvfb-run)");
        return;
    }
    ConfigManager::getInstance()->getMainConfig()->shadows = state.range(0) != 0;
    game.frame();
    for (auto _ : state) {
        game.frame();
    }
    state.SetLabel(state.range(0) != 0 ? "shadowed" : "plain");
}

} // namespace

BENCHMARK(GameFrame)
    ->Arg(1)
    ->Arg(0)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(30)
    ->MeasureProcessCPUTime()
    ->UseRealTime();

BENCHMARK_MAIN();
