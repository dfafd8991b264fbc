#include "core/ConfigManager.h"

ConfigManager::ConfigManager() : mainConfig(std::make_unique<Config>(kMainConfigFile)) {
    mainConfig->renderMode = 1;
    mainConfig->textureQuality = 1;
    mainConfig->mipmapQuality = 2;
    mainConfig->displayLists = true;
    mainConfig->frustumCulling = true;
    mainConfig->geometryShader = true;
    mainConfig->zPass = true;
    mainConfig->scissorTest = true;
    mainConfig->fireRenderMode = 1;
    mainConfig->shadows = mainConfig->getBool("GameSettings:shadows", true);
}

// The level-loading thread opens object and material files while the main
// thread may open others; the cache map itself is guarded.
Config* ConfigManager::getConfig(const std::string& path) {
    const std::lock_guard<std::mutex> lock(configsMutex);
    std::unique_ptr<Config>& config = configs[path];
    if (!config) {
        config = std::make_unique<Config>(path.c_str());
    }
    return config.get();
}
