#include "app/SettingsEffects.h"

#include <algorithm>

#include "audio/SoundManager.h"
#include "audio/SoundSource.h"
#include "core/ConfigManager.h"
#include "core/Log.h"
#include "core/Settings.h"
#include "game/Camera.h"
#include "platform/Glfw.h"
#include "render/ShaderManager.h"
#include "ui/MenuManager.h"
#include "ui/OptionsMenu.h"

VORN_FILE_LOGGER("SettingsEffects")

namespace {

const std::vector<std::pair<int, int>> kWindowSizes = {{640, 480},   {800, 600},  {1024, 768}, {1280, 720},
                                                       {1280, 1024}, {1366, 768}, {1600, 900}, {1920, 1080},
                                                       {2560, 1440}, {3840, 2160}};

void applyWindow(const Settings& settings) {
    if (!Glfw::isWindowOpen()) {
        return;
    }
    int width = 0;
    int height = 0;
    Glfw::getWindowSize(width, height);
    if (width != settings.width || height != settings.height || Glfw::isFullscreen() != settings.fullscreen) {
        LOG_INFO("Window: " << settings.width << "x" << settings.height
                            << (settings.fullscreen ? " full screen" : " in a window"));
        Glfw::setWindowMode(settings.width, settings.height, settings.fullscreen);
    }
    Glfw::setSwapInterval(settings.vsync ? 1 : 0);
}

// The lighting program is loaded on first need: a game started without it has none yet.
void applyLighting(const Settings& settings) {
    ShaderManager* shaders = ShaderManager::existingInstance();
    if (!shaders || !Glfw::isWindowOpen()) {
        return;
    }
    if (settings.perPixel && !shaders->perPixel) {
        shaders->loadShaders();
    }
    shaders->enabled = settings.perPixel && shaders->perPixel;
}

void applySound(const Settings& settings) {
    if (SoundManager* sounds = SoundManager::existingInstance()) {
        sounds->setVolumes(settings.masterVolume, settings.effectsVolume);
    }
    const MenuManager* menus = MenuManager::existingInstance();
    if (SoundSource* music = menus ? menus->getMusic() : nullptr) {
        music->setGain(settings.musicVolume);
    }
}

} // namespace

namespace SettingsEffects {

void load() {
    Config& config = *ConfigManager::getInstance()->getMainConfig();
    Settings& settings = Settings::active();
    settings = Settings::load(Settings::defaultFile(), Settings::fromConfig(config));
    if (settings.quality == Settings::Quality::Auto) {
        settings.chooseAutoStep(settings.autoStep);
        // The top rung draws as the main configuration says.
        settings.shadows = settings.shadows && config.getBool("GameSettings:shadows", true);
    }
    settings.applyTo(config);
}

void apply(const Settings& settings) {
    settings.applyTo(*ConfigManager::getInstance()->getMainConfig());
    applyWindow(settings);
    applyLighting(settings);
    applySound(settings);
    if (Camera* camera = Camera::existingInstance()) {
        camera->lookSensitivity = settings.mouseSensitivity;
        camera->invertLook = settings.invertLook;
    }
}

void install() {
    OptionsMenu* options = MenuManager::getInstance()->getOptionsMenu();
    options->apply = apply;
    options->windowSizes = windowSizes;
}

std::vector<std::pair<int, int>> windowSizes(bool fullscreen) {
    const std::vector<std::pair<int, int>> modes = Glfw::videoModes();
    if (fullscreen && !modes.empty()) {
        return modes;
    }
    const std::pair<int, int> largest = modes.empty() ? kWindowSizes.back() : modes.back();
    std::vector<std::pair<int, int>> sizes;
    std::copy_if(kWindowSizes.begin(), kWindowSizes.end(), std::back_inserter(sizes), [&](const auto& size) {
        return size.first <= largest.first && size.second <= largest.second;
    });
    return sizes;
}

} // namespace SettingsEffects
