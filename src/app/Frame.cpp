#include "app/Frame.h"

#include <algorithm>
#include <cstdlib>
#include <ctime>

#include <GL/glew.h>
#include <GL/glu.h>
#include <algorithm>
#include <iostream>
#include <memory>
#include <optional>
#include <string>

#include "app/AutoQuality.h"
#include "app/Autopilot.h"
#include "app/GamepadInput.h"
#include "app/ReplayDirector.h"
#include "app/RunFigures.h"
#include "app/SettingsEffects.h"
#include "app/StateEffects.h"
#include "app/Window.h"
#include "audio/SoundManager.h"
#include "core/ConfigManager.h"
#include "core/Log.h"
#include "core/ManagerLifetime.h"
#include "core/Settings.h"
#include "core/StateManager.h"
#include "core/TimeManager.h"
#include "core/Util.h"
#include "game/Camera.h"
#include "game/Controls.h"
#include "game/GameObjects.h"
#include "game/MainChar.h"
#include "game/PlaySteps.h"
#include "game/SaveStateManager.h"
#include "platform/Glfw.h"
#include "platform/QuitSignal.h"
#include "render/Frustum.h"
#include "render/LightManager.h"
#include "render/SceneTarget.h"
#include "render/ShaderManager.h"
#include "render/SkyBox.h"
#include "render/SystemInfo.h"
#include "render/TextureLoader.h"
#include "scene/OgreLoader.h"
#include "scene/OgreScene.h"
#include "scene/PhysicsManager.h"
#include "scene/SceneManager.h"
#include "scene/SceneRenderer.h"
#include "ui/Campaign.h"
#include "ui/FontManager.h"
#include "ui/FontRenderer.h"
#include "ui/HUD.h"
#include "ui/Menu.h"
#include "ui/MenuManager.h"
#include "ui/Ortho.h"
#include "ui/ReplayMenu.h"

VORN_FILE_LOGGER("main")

namespace {

// Managers cached by init for the per-frame functions.
Config* mainConfig = nullptr;
Frustum* frustum = nullptr;
TimeManager* timeManager = nullptr;
ShaderManager* shaderManager = nullptr;
Camera* camera = nullptr;
LightManager* lightManager = nullptr;
StateManager* stateManager = nullptr;
SystemInfo* systemInfo = nullptr;
TextureLoader* textureLoader = nullptr;
Ortho* ortho = nullptr;
MenuManager* menuManager = nullptr;
HUD* hud = nullptr;
PhysicsManager* physicsManager = nullptr;
SceneManager* sceneManager = nullptr;
std::unique_ptr<SkyBox> skyBox;
Controls ballControls;
PlaySteps playSteps(ballControls);
ReplayDirector replayDirector(ballControls, playSteps);
std::unique_ptr<GameObjects> gameObjects;
std::unique_ptr<SceneRenderer> sceneRenderer;
std::unique_ptr<SceneTarget> sceneTarget;
GamepadInput gamepadInput;
AutoQuality autoQuality;

const char* const kGlfwFailedCaption = "Initializing GLFW failed";
const char* const kGlfwFailedText = "A fatal error occurred while trying to initialize GLFW.\nTry updating "
                                    "your graphics driver. Vorn must exit now.";
const char* const kNoDisplayCaption = "No display found";
const char* const kNoDisplayText =
    "No display was found (DISPLAY is not set or cannot be opened), so Vorn cannot open its window.\n"
    "To run it without a screen, start it under a virtual X server: xvfb-run -a make run\n"
    "Vorn must exit now.";

void startPhysics() {
    LOG_TRACE("Initializing physics SDK");
    physicsManager = PhysicsManager::getInstance();
    if (!physicsManager || !physicsManager->getSDK()) {
        LOG_FATAL("Initializing physics SDK failed, Vorn must terminate");
        PhysicsManager::destroy();
        TimeManager::destroy();
        ConfigManager::destroy();
        LOG_INFO("========== Exiting Vorn ==========");
        Util::fatalError("Initializing physics SDK failed",
                         "Vorn failed to initialize the physics SDK.\nVorn must exit now.");
    }
}

void openWindow() {
    LOG_TRACE("Initializing GLFW");
    if (!Glfw::init()) {
        const bool noDisplay = Glfw::displayMissing();
        failStartup("Couldn't initializes GLFW!", noDisplay ? kNoDisplayCaption : kGlfwFailedCaption,
                    noDisplay ? kNoDisplayText : kGlfwFailedText);
    }
    LOG_TRACE("Opening GLFW Window");
    if (!initGLFW()) {
        LOG_FATAL("Initializing GLFW Failed, Vorn must terminate.");
        TimeManager::destroy();
        ConfigManager::destroy();
        LOG_INFO("========== Exiting Vorn ==========");
        Util::fatalError(kGlfwFailedCaption, kGlfwFailedText);
    }
}

void checkOpenGL() {
    LOG_TRACE("Initializing GLEW");
    glewExperimental = GL_TRUE;
    if (glewInit() != GLEW_OK) {
        failStartup(
            "Couldn't initializes GLEW!", "Initializing GLEW failed",
            "A fatal error occurred while trying to initialize GLEW.\nTry updating your graphics driver. "
            "Vorn must exit now.");
    }
    LOG_TRACE("Getting system information");
    systemInfo = SystemInfo::getInstance();
    if (systemInfo->versionIndex < SystemInfo::kVersion20) {
        const std::string version = systemInfo->getVersionString();
        failStartup(
            ("Insufficient OpenGL version: " + version).c_str(), "Insufficient OpenGL capabilities",
            ("Minimum required OpenGL version to play Vorn is 2.0.\nYour System is only capable of version " +
             version + ". Vorn must exit now.")
                .c_str());
    }
}

void loadSkyBox(const std::string& name) {
    skyBox = std::make_unique<SkyBox>(name);
    skyBox->addTextures();
}

void setUpLight() {
    glLightModelfv(GL_LIGHT_MODEL_AMBIENT, windowState.ambient);
    const float white[] = {1.0f, 1.0f, 1.0f, 1.0f};
    glLightfv(GL_LIGHT0, GL_SPECULAR, white);
    glLightf(GL_LIGHT0, GL_CONSTANT_ATTENUATION, 1.0f);
    glLightf(GL_LIGHT0, GL_LINEAR_ATTENUATION, 0.05f);
    glLightf(GL_LIGHT0, GL_QUADRATIC_ATTENUATION, 0.0f);
}

void listOpenGLErrors() {
    GLenum error = glGetError();
    if (error == GL_NO_ERROR) {
        return;
    }
    LOG_DEBUG("Error(s) detected, listing follows");
    for (; error != GL_NO_ERROR; error = glGetError()) {
        const GLubyte* text = gluErrorString(error);
        LOG_DEBUG("OpenGL error: " << (text ? reinterpret_cast<const char*>(text) : std::to_string(error)));
    }
    LOG_DEBUG("Error listing done");
}

// The main character's position in the current level; none while no level is current.
std::optional<Vector3> currentMainCharacterPosition() {
    if (MainChar* mainChar = MainChar::current()) {
        return *mainChar->getPosition();
    }
    return std::nullopt;
}

// The camera follows the main character with the frame's time and loads its view.
void followMainCharacter() {
    if (const std::optional<Vector3> position = currentMainCharacterPosition()) {
        camera->follow(*position, static_cast<float>(timeManager->frameDelta) / 1000.0f);
    }
    camera->apply();
}

// The level's models and shadows with the per-pixel program when shaders are on,
// then its fire with the fixed pipeline.
void drawCurrentLevel() {
    OgreScene* level = sceneManager->getCurrentScene();
    if (shaderManager->isEnabled()) {
        shaderManager->useProgram(shaderManager->perPixel.get());
    }
    if (level) {
        level->render(*sceneRenderer);
    }
    shaderManager->useProgram(nullptr);
    replayDirector.drawGhost();
    if (level) {
        level->renderParticles(*sceneRenderer);
    }
}

// Closing the window ends the game like the menu's exit entry.
bool quitRequested() {
    return !Glfw::isWindowOpen() || QuitSignal::raised();
}

// Game time advances `steps` physics steps a frame, however long the frame really took.
void lockSteps(int steps) {
    LOG_INFO("Game time runs " << steps << " physics step(s) a frame");
    timeManager->setClock([gameTime = timeManager->now, steps]() mutable {
        return gameTime += TimeManager::kStepMilliseconds * steps;
    });
}

// VORN_GAME_SPEED steps a frame for a replay played without a person watching; 0 when unset.
int replaySpeedFromEnvironment() {
    const char* speed = std::getenv("VORN_GAME_SPEED");
    return speed ? std::clamp(std::atoi(speed), 1, 100) : 0;
}

} // namespace

ReplayDirector& replays() {
    return replayDirector;
}

void failStartup(const char* logMessage, const char* caption, const char* text) {
    LOG_FATAL(logMessage);
    Util::fatalError(caption, text);
}

void init() {
    std::srand(static_cast<unsigned>(std::time(nullptr)));

    LOG_TRACE("Loading main config");
    mainConfig = ConfigManager::getInstance()->getMainConfig();
    SettingsEffects::load();

    LOG_TRACE("Loading Frustum");
    frustum = Frustum::getInstance();

    LOG_TRACE("Initializing SoundManager");
    SoundManager::getInstance();

    LOG_TRACE("Initializing TimeManager");
    timeManager = TimeManager::getInstance();

    LOG_TRACE("Initializing ShaderManager");
    shaderManager = ShaderManager::getInstance();

    LOG_TRACE("Initializing Camera");
    camera = Camera::getInstance();

    startPhysics();
    gameObjects = std::make_unique<GameObjects>();

    LOG_TRACE("Initializing OgreLoader");
    OgreLoader::getInstance()->setGameObjectFactory(gameObjects.get());
    gameObjects->triggerReport.onPickup = [] { RunFigures::get().addPickup(); };

    LOG_TRACE("Loading LightManager");
    lightManager = LightManager::getInstance();

    LOG_TRACE("Initializing Ortho");
    ortho = Ortho::getInstance();

    LOG_TRACE("Initializing StateManager");
    stateManager = StateManager::getInstance();
    StateEffects::install(*stateManager, [] { return replayDirector.playingBack(); });
    replayDirector.install(*stateManager);

    openWindow();
    checkOpenGL();

    LOG_TRACE("Initializing OpenGL");
    initOpenGL();

    LOG_TRACE("Initializing Texture Loader");
    textureLoader = TextureLoader::getInstance();

    LOG_TRACE("Initializing MenuManager");
    menuManager = MenuManager::getInstance();
    menuManager->replays().play = [](const std::filesystem::path& path) {
        return replayDirector.play(path, false);
    };
    SettingsEffects::install();

    LOG_TRACE("Initializing HUD");
    hud = HUD::getInstance();
    SaveStateManager::getInstance()->showMessage = [](const std::string& text) {
        HUD::getInstance()->showMessage(text);
    };

    LOG_TRACE("Initializing FontManager");
    FontManager::getInstance();

    LOG_TRACE("Initializing FontRenderer");
    FontRenderer::getInstance();

    LOG_TRACE("Loading sky box");
    loadSkyBox("sky");

    LOG_TRACE("Initializing SceneManager");
    sceneManager = SceneManager::getInstance();

    LOG_TRACE("Loading Shader");
    shaderManager->loadShaders();
    sceneRenderer = std::make_unique<SceneRenderer>();
    sceneTarget = std::make_unique<SceneTarget>();

    LOG_TRACE("Setting up light");
    setUpLight();

    SettingsEffects::apply(Settings::active());
    textureLoader->uploadTextures(true);
    stateManager->setState(MAIN_MENU);
    sceneManager->loadScene(0);
}

void update() {
    listOpenGLErrors();
    timeManager->update();
    replayDirector.beforeFrame();
    const int steps = replayDirector.stepsFor(timeManager->stepCount);
    playSteps.run(steps);
    hud->update(steps);
    Campaign::getInstance()->countSteps(steps);
    if (Menu* menu = menuManager->getCurrentMenu()) {
        menu->update();
    }
    textureLoader->uploadTextures(false);
    setupProjection();
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    if (stateManager->getState() == IN_GAME) {
        followMainCharacter();
    }
    frustum->extract();
    lightManager->cullLights();
    lightManager->applyLights();
}

// The scene at the render scale, scaled up into the window before the overlay.
void drawScene() {
    int width = 0;
    int height = 0;
    Glfw::getWindowSize(width, height);
    sceneTarget->begin({std::max(width, 1), std::max(height, 1)}, mainConfig->renderScale);
    if (sceneTarget->offScreen()) {
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_STENCIL_BUFFER_BIT);
    }
    skyBox->draw();
    drawCurrentLevel();
    sceneTarget->finish();
}

void render() {
    glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    if (stateManager->getState() == IN_GAME) {
        drawScene();
    }
    ortho->render();
    takeRequestedScreenshot();
    Glfw::swapBuffers();
}

// A level still loading uses the managers, so it ends first; a manager asked
// for after this point is not created again.
void shutdown() {
    sceneManager->waitForLoads();
    ManagerLifetime::endCreation();
    skyBox.reset();
    sceneRenderer.reset();
    sceneTarget.reset();
    PhysicsManager::destroy();
    physicsManager = nullptr;
    TextureLoader::destroy();
    textureLoader = nullptr;
    ShaderManager::destroy();
    shaderManager = nullptr;
    OgreLoader::destroy();
    SceneManager::destroy();
    sceneManager = nullptr;
    Glfw::terminate();
    FontManager::destroy();
    Camera::destroy();
    camera = nullptr;
    TimeManager::destroy();
    timeManager = nullptr;
    ConfigManager::destroy();
    mainConfig = nullptr;
    SoundManager::destroy();
    SaveStateManager::destroy();
    HUD::destroy();
    hud = nullptr;
    LightManager::destroy();
    lightManager = nullptr;
    FontRenderer::destroy();
    Ortho::destroy();
    ortho = nullptr;
    StateManager::destroy();
    stateManager = nullptr;
    MenuManager::destroy();
    menuManager = nullptr;
    Campaign::destroy();
    gameObjects.reset();
}

int runGameMode(const std::filesystem::path& replay) {
    LOG_INFO("========== Starting Vorn ==========");
    LOG_INFO("Entering Game Mode");
    init();
    timeManager->update();
    LOG_TRACE("Starting Main Loop");
    QuitSignal::install();
    const std::unique_ptr<Autopilot> autopilot = Autopilot::fromEnvironment();
    // The autopilot's run is the same whatever the devices do meanwhile.
    Glfw::acceptDeviceInput(!autopilot);
    if (autopilot && autopilot->stepsPerFrame() > 0) {
        lockSteps(autopilot->stepsPerFrame());
        autoQuality.stop();
    }
    if (!replay.empty()) {
        if (const int speed = replaySpeedFromEnvironment(); speed > 0) {
            lockSteps(speed);
        }
        const std::string refusal = replayDirector.play(replay, true);
        if (!refusal.empty()) {
            std::cerr << "vorn: " << replay.string() << ": " << refusal << "\n";
            shutdown();
            LOG_INFO("========== Exiting Vorn ==========");
            return 1;
        }
    }
    const Milliseconds loopStart = Clock::milliseconds();
    RunFigures& figures = RunFigures::get();
    while (stateManager->getState() != EXIT) {
        update();
        render();
        figures.addFrame(timeManager->frameDelta, timeManager->stepCount);
        replayDirector.afterFrame();
        gamepadInput.update(static_cast<double>(timeManager->frameDelta));
        autoQuality.frame(stateManager->getState() == IN_GAME);
        if (autopilot) {
            autopilot->frame();
        }
        if (quitRequested() && stateManager->getState() != EXIT) {
            stateManager->setState(EXIT);
        }
    }
    const SaveStateManager* saves = SaveStateManager::existingInstance();
    LOG_INFO(figures.summary(Clock::milliseconds() - loopStart, saves ? saves->getCreatedCount() : 0));
    shutdown();
    LOG_INFO("========== Exiting Vorn ==========");
    return 0;
}
