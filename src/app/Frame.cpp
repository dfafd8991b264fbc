#include "app/Frame.h"

#include <cstdlib>
#include <ctime>

#include "app/ConfigManager.h"
#include "app/Log.h"
#include "app/StateManager.h"
#include "app/TimeManager.h"
#include "app/Util.h"
#include "platform/QuitSignal.h"
#include "ui/SoundManager.h"

VORN_FILE_LOGGER("main")

namespace {

// Managers cached by init for the per-frame functions.
Config* mainConfig = nullptr;
TimeManager* timeManager = nullptr;
StateManager* stateManager = nullptr;

void runPhysicsSteps(int steps) {
    for (int step = 0; step < steps; ++step) {
        // Each step: fetch the running physics step, update the level's objects,
        // poll the controls, start the next step. The level and physics managers
        // plug in here as they arrive.
    }
}

} // namespace

void failStartup(const char* logMessage, const char* caption, const char* text) {
    LOG_FATAL(logMessage);
    Util::fatalError(caption, text);
}

void init() {
    std::srand(static_cast<unsigned>(std::time(nullptr)));

    LOG_TRACE("Loading main config");
    mainConfig = ConfigManager::getInstance()->getMainConfig();

    LOG_TRACE("Initializing SoundManager");
    SoundManager::getInstance();

    LOG_TRACE("Initializing TimeManager");
    timeManager = TimeManager::getInstance();

    LOG_TRACE("Initializing StateManager");
    stateManager = StateManager::getInstance();

    stateManager->setState(MAIN_MENU);
}

void update() {
    timeManager->update();
    runPhysicsSteps(timeManager->stepCount);
}

void render() {}

void shutdown() {
    TimeManager::destroy();
    timeManager = nullptr;
    ConfigManager::destroy();
    mainConfig = nullptr;
    SoundManager::destroy();
    StateManager::destroy();
    stateManager = nullptr;
}

int runGameMode() {
    LOG_INFO("========== Starting Vorn ==========");
    LOG_INFO("Entering Game Mode");
    init();
    timeManager->update();
    LOG_TRACE("Starting Main Loop");
    QuitSignal::install();
    while (stateManager->getState() != EXIT) {
        update();
        render();
        if (QuitSignal::raised() && stateManager->getState() != EXIT) {
            stateManager->setState(EXIT);
        }
    }
    shutdown();
    LOG_INFO("========== Exiting Vorn ==========");
    return 0;
}
