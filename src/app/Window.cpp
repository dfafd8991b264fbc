#include "app/Window.h"

#include <GL/glew.h>
#include <IL/il.h>
#include <IL/ilut.h>
#include <algorithm>
#include <cmath>
#include <filesystem>
#include <optional>
#include <string>

#include "app/Frame.h"
#include "app/MouseLook.h"
#include "app/ReplayDirector.h"
#include "audio/SoundManager.h"
#include "core/Bindings.h"
#include "core/ConfigManager.h"
#include "core/GameFolders.h"
#include "core/Log.h"
#include "core/PlayerFiles.h"
#include "core/Settings.h"
#include "core/StateManager.h"
#include "core/TimeManager.h"
#include "game/Camera.h"
#include "game/SaveStateManager.h"
#include "platform/Glfw.h"
#include "platform/GlfwKeys.h"
#include "render/Matrix44.h"
#include "render/SystemInfo.h"
#include "ui/HUD.h"
#include "ui/Menu.h"
#include "ui/MenuManager.h"
#include "ui/OptionsMenu.h"

VORN_FILE_LOGGER("main")

WindowState windowState;

namespace {

using namespace GlfwKeys;

constexpr float kAmbientStep = 0.05f;
constexpr float kZoomStep = 2.0f;

Config* mainConfig() {
    return ConfigManager::getInstance()->getMainConfig();
}

void showMessage(const std::string& text) {
    HUD::getInstance()->showMessage(text);
}

const char* onOff(bool value) {
    return value ? "on" : "off";
}

void showToggle(const char* label, bool value) {
    showMessage(std::string(label) + onOff(value));
}

void toggleGeometryShader(Config& config) {
    config.geometryShader = !config.geometryShader;
    if (!SystemInfo::getInstance()->geometryShader) {
        showMessage("Geometry Shader: off (not supported)");
    } else {
        showToggle("Geometry Shader: ", config.geometryShader);
    }
}

void cycleFireRenderMode(Config& config) {
    config.fireRenderMode = config.fireRenderMode == 1 ? 2 : 1;
    showMessage(config.fireRenderMode == 1 ? "Fire render Mode: Vertex Array" : "Fire render Mode: VBO");
}

void togglePause() {
    TimeManager* time = TimeManager::getInstance();
    time->paused = !time->paused;
    SoundManager::getInstance()->pauseSounds(time->paused);
}

void toggleWireframe() {
    glPolygonMode(GL_FRONT_AND_BACK, windowState.wireframe ? GL_FILL : GL_LINE);
    windowState.wireframe = !windowState.wireframe;
    showToggle("Wireframe mode: ", windowState.wireframe);
}

void cycleTextureQuality(Config& config) {
    config.textureQuality = config.textureQuality == 1 ? 0 : config.textureQuality + 1;
    showMessage(config.textureQuality == 0 ? "Texture quality: Nearest Neighbor"
                                           : "Texture quality: Bilinear");
}

void cycleMipmapQuality(Config& config) {
    static const char* const names[] = {"Mipmap quality: off", "Mipmap quality: Nearest Neighbor",
                                        "Mipmap quality: Linear"};
    config.mipmapQuality = config.mipmapQuality == 2 ? 0 : config.mipmapQuality + 1;
    if (config.mipmapQuality >= 0 && config.mipmapQuality <= 2) {
        showMessage(names[config.mipmapQuality]);
    }
}

void cycleRenderMode(Config& config) {
    static const char* const names[] = {"Render mode: Immediate", "Render Mode: Vertex Arrays",
                                        "Render Mode: VBO"};
    config.renderMode = config.renderMode == 2 ? 0 : config.renderMode + 1;
    if (config.renderMode >= 0 && config.renderMode <= 2) {
        showMessage(names[config.renderMode]);
    }
}

void toggleTransparency() {
    windowState.transparency = !windowState.transparency;
    if (windowState.transparency) {
        glEnable(GL_BLEND);
    } else {
        glDisable(GL_BLEND);
    }
    showToggle("Transparency: ", windowState.transparency);
}

// Only a real change reaches OpenGL.
void changeAmbient(float delta) {
    float* ambient = windowState.ambient;
    const float level = std::clamp(ambient[0] + delta, 0.0f, 1.0f);
    if (level == ambient[0]) {
        return;
    }
    ambient[0] = ambient[1] = ambient[2] = level;
    glLightModelfv(GL_LIGHT_MODEL_AMBIENT, ambient);
}

void handlePressedKey(int key) {
    Config& config = *mainConfig();
    HUD* hud = HUD::getInstance();
    switch (key) {
    case '2':
        MouseLook::toggle();
        break;
    case '3':
        showToggle("Shadows: ", config.shadows = !config.shadows);
        break;
    case '6':
        toggleGeometryShader(config);
        break;
    case '7':
        showToggle("Z-Pass if possible: ", config.zPass = !config.zPass);
        break;
    case '8':
        cycleFireRenderMode(config);
        break;
    case '9':
        showToggle("Scissor Test: ", config.scissorTest = !config.scissorTest);
        break;
    case 'P':
        togglePause();
        break;
    case KEY_F1:
        showToggle("Display Help: ", hud->showHelp = !hud->showHelp);
        break;
    case KEY_F2:
        showToggle("Display FPS: ", hud->showFps = !hud->showFps);
        break;
    case KEY_F3:
        toggleWireframe();
        break;
    case KEY_F4:
        cycleTextureQuality(config);
        break;
    case KEY_F5:
        cycleMipmapQuality(config);
        break;
    case KEY_F6:
        cycleRenderMode(config);
        break;
    case KEY_F7:
        showToggle("Display lists: ", config.displayLists = !config.displayLists);
        break;
    case KEY_F8:
        showToggle("View frustum culling: ", config.frustumCulling = !config.frustumCulling);
        break;
    case KEY_F9:
        toggleTransparency();
        break;
    case KEY_PAGEUP:
        changeAmbient(kAmbientStep);
        break;
    case KEY_PAGEDOWN:
        changeAmbient(-kAmbientStep);
        break;
    default:
        break;
    }
}

Menu* currentMenu() {
    const MenuManager* menus = MenuManager::existingInstance();
    return menus ? menus->getCurrentMenu() : nullptr;
}

// Screenshots are the player's: numbered in their data folder, never in the game's tree.
// None when that folder cannot be made (warned about once).
std::filesystem::path nextScreenshotPath() {
    const std::filesystem::path folder = GameFolders::screenshotFolder();
    if (!GameFolders::prepareFolderFor(folder / "screen0.tga")) {
        return {};
    }
    std::error_code error;
    for (int number = 0;; ++number) {
        const std::filesystem::path path = folder / ("screen" + std::to_string(number) + ".tga");
        if (!std::filesystem::exists(path, error)) {
            return path;
        }
    }
}

// Written beside its place and renamed there, so no half-written picture is left.
bool saveScreenshot(const std::filesystem::path& path) {
    ILuint image = 0;
    ilGenImages(1, &image);
    ilBindImage(image);
    const std::string temporary = path.string() + ".tmp";
    bool saved = ilutGLScreen() == IL_TRUE && ilSave(IL_TGA, temporary.c_str()) == IL_TRUE;
    ilDeleteImages(1, &image);
    std::error_code error;
    if (saved) {
        std::filesystem::rename(temporary, path, error);
        saved = !error;
    }
    std::filesystem::remove(temporary, error);
    return saved;
}

} // namespace

bool initGLFW() {
    Config* config = mainConfig();
    const bool fullscreen = config->getBool("window:fullscreen", false);
    const int height = config->getPositiveInt("window:height", 480);
    const int width = config->getPositiveInt("window:width", 640);
    if (!Glfw::openWindow(width, height, fullscreen)) {
        LOG_ERROR("Could not create window, terminating GLFW");
        Glfw::terminate();
        return false;
    }
    LOG_TRACE("Configuring GLFW");
    Glfw::setKeyCallback(keyCallback);
    Glfw::setMousePosCallback(mousePosCallback);
    Glfw::setMouseWheelCallback(mouseWheelCallback);
    Glfw::setFocusCallback(MouseLook::focusChanged);
    Glfw::setMouseButtonCallback(mouseButtonCallback);
    Glfw::enableStickyKeys();
    windowState.lastWheelPos = Glfw::getMouseWheel();
    Glfw::setSwapInterval(config->getBool("window:vsync", true) ? 1 : 0);
    if (!windowState.cursorVisible) {
        Glfw::hideCursor();
    }
    Glfw::setWindowTitle("Vorn");
    return true;
}

void initOpenGL() {
    glEnable(GL_CULL_FACE);
    glEnable(GL_DEPTH_TEST);
    glDepthFunc(GL_LEQUAL);
    glShadeModel(GL_SMOOTH);
    glCullFace(GL_BACK);
    glEnable(GL_LIGHTING);
    glEnable(GL_LIGHT0);
    if (SystemInfo::getInstance()->depthClamp) {
        glEnable(GL_DEPTH_CLAMP_NV);
    }
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    if (windowState.transparency) {
        glEnable(GL_BLEND);
    }
    glEnable(GL_COLOR_MATERIAL);

    const Config* config = mainConfig();
    const struct {
        GLenum target;
        const char* key;
    } hints[] = {{GL_PERSPECTIVE_CORRECTION_HINT, "quality:perspectiv"},
                 {GL_FOG_HINT, "quality:fog"},
                 {GL_LINE_SMOOTH_HINT, "quality:linesmooth"},
                 {GL_POINT_SMOOTH_HINT, "quality:pointsmooth"},
                 {GL_GENERATE_MIPMAP_HINT, "quality:mipmaps"},
                 {GL_TEXTURE_COMPRESSION_HINT, "quality:texcompress"}};
    for (const auto& hint : hints) {
        glHint(hint.target, static_cast<GLenum>(config->getInt(hint.key, GL_NICEST)));
    }
    glEnable(GL_NORMALIZE);
    glEnable(GL_TEXTURE_2D);
}

void setupProjection() {
    int width = 0;
    int height = 0;
    Glfw::getWindowSize(width, height);
    width = std::max(width, 1);
    height = std::max(height, 1);
    glViewport(0, 0, width, height);
    const float aspect = static_cast<float>(width) / static_cast<float>(height);
    const float top = static_cast<float>(std::tan(kHalfFieldOfView)) * kNearPlane;
    const float right = top * aspect;
    const Matrix44 projection = Matrix44::perspective(
        -right, right, -top, top, kNearPlane, Matrix44::kInfinity, SystemInfo::getInstance()->depthClamp);
    glMatrixMode(GL_PROJECTION);
    glLoadMatrixf(projection.m);
    Camera::getInstance()->nearFactor = kNearPlane / right;
}

// Read back after the swap, the front buffer came back black under Xvfb, so the
// key only asks and the next finished frame is taken from the back buffer.
void takeRequestedScreenshot() {
    if (!windowState.screenshotRequested) {
        return;
    }
    windowState.screenshotRequested = false;
    glReadBuffer(GL_BACK);
    const std::filesystem::path path = nextScreenshotPath();
    if (path.empty()) {
        return;
    }
    if (saveScreenshot(path)) {
        showMessage("Screenshot created");
    } else {
        LOG_ERROR("Screenshot could not be written");
    }
}

namespace {

// A key bound to an action does that action only; the rest are polled by the controls.
bool handleBoundKey(int key) {
    const std::optional<Bindings::Action> action = Settings::active().bindings.actionOf(key);
    if (!action) {
        return false;
    }
    if (*action == Bindings::Pause) {
        StateManager::getInstance()->setState(PAUSED);
    } else if (*action == Bindings::Respawn) {
        SaveStateManager::getInstance()->loadSaveState();
        replays().snapshotLoaded();
    }
    return true;
}

// A replay being watched takes its own keys; the respawn key would leave its run.
void handleKeyInPlay(int key) {
    ReplayDirector& replay = replays();
    if (replay.keyPressed(key) ||
        (replay.playingBack() && Settings::active().bindings.isKey(Bindings::Respawn, key))) {
        return;
    }
    if (!handleBoundKey(key)) {
        handlePressedKey(key);
    }
}

// The options waiting for a new key take every key, the screenshot key too.
bool optionsCapturing(Menu* menu) {
    const MenuManager* menus = MenuManager::existingInstance();
    return menu && menus && menu == menus->getOptionsMenu() && menus->getOptionsMenu()->capturing();
}

} // namespace

// The screenshot key works everywhere; a current menu takes every other key, and
// the action and option keys act only in play.
void keyCallback(int key, int action) {
    Menu* menu = currentMenu();
    if (Settings::active().bindings.isKey(Bindings::Screenshot, key) && !optionsCapturing(menu)) {
        if (action == PRESS) {
            windowState.screenshotRequested = true;
        }
        return;
    }
    if (menu) {
        menu->keyEvent(key, action);
        return;
    }
    if (action == PRESS && StateManager::getInstance()->getState() == IN_GAME) {
        handleKeyInPlay(key);
    }
}

void mouseButtonCallback(int button, int action) {
    if (Menu* menu = currentMenu()) {
        menu->keyEvent(Bindings::kMouseButton + button, action);
    }
}

void mousePosCallback(int x, int y) {
    Camera::getInstance()->mouseMove(x, y);
}

// Turning the wheel down, or the call with the unchanged position made when the
// callback is installed, zooms out.
void mouseWheelCallback(int pos) {
    Camera* camera = Camera::getInstance();
    const float step = pos > windowState.lastWheelPos ? -kZoomStep : kZoomStep;
    const float distance = camera->desiredDistance + step;
    camera->desiredDistance =
        distance > camera->maxDistance ? camera->maxDistance : std::max(distance, camera->minDistance);
    windowState.lastWheelPos = pos;
}
