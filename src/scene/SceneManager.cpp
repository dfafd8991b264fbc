#include "scene/SceneManager.h"

#include <exception>
#include <memory>
#include <optional>
#include <system_error>
#include <utility>

#include "audio/SoundManager.h"
#include "core/Config.h"
#include "core/ConfigManager.h"
#include "core/Log.h"
#include "core/Util.h"
#include "scene/OgreLoader.h"
#include "scene/OgreScene.h"
#include "scene/PhysicsManager.h"

VORN_FILE_LOGGER("SceneManager")

namespace {

// The level's files name these; without them no level could ever be built.
void requireKey(const Config& config, const char* key, const char* logMessage, const char* text) {
    if (!config.hasKey(key)) {
        LOG_FATAL(logMessage);
        Util::fatalError("Configuration error", text);
    }
}

} // namespace

SceneManager::SceneManager() {
    readLevelList();
    const Config& config = *ConfigManager::getInstance()->getMainConfig();
    requireKey(
        config, "Files:ObjectPropertiesFile",
        "Could not load 'Files:ObjectPropertiesFile'!, Vorn has to exit",
        "Could not load the entry 'File:ObjectPropertiesFile' from the config file.\nVorn has to exit now.");
    requireKey(
        config, "Files:PhysXMaterialsFile", "Could not load 'Files:PhysXMaterialsFile'!, Vorn has to exit",
        "Could not load the entry 'Files:PhysXMaterialsFile' from the config file.\nVorn has to exit now.");
}

SceneManager::~SceneManager() {
    waitForLoads();
    for (const auto& [path, scene] : sceneCache) {
        delete scene;
    }
}

void SceneManager::readLevelList() {
    const Config& config = *ConfigManager::getInstance()->getMainConfig();
    for (int number = 1;; ++number) {
        const std::string key = "levels:level" + std::to_string(number);
        if (!config.hasKey(key.c_str())) {
            break;
        }
        const std::string path = config.getString(key.c_str(), "");
        addPath(path);
        LOG_DEBUG("Scene Path: " << path << " loaded into pathCache.");
    }
    if (pathCache.empty()) {
        LOG_FATAL("No Levels found, could not load scenePaths");
        LOG_INFO("========== Exiting Vorn ==========");
        Util::fatalError("Loading content failed",
                         "Could not load any Levels. You can't play a game without any "
                         "content, so Vorn must exit now.");
    }
}

void SceneManager::addPath(const std::string& path) {
    if (!sceneCache.contains(path)) {
        pathCache.push_back(path);
        sceneCache[path] = nullptr;
    }
}

void SceneManager::loadScene(int index) {
    const std::string path = pathAt(index);
    if (!path.empty()) {
        loadScene(path);
    }
}

// The entry goes into the loading map before the thread can take it out again.
void SceneManager::loadScene(const std::string& path) {
    {
        const std::lock_guard<std::mutex> lock(loadingMutex);
        if (loading.contains(path)) {
            return;
        }
        try {
            workers.emplace_back([this, path] { loadSceneBlocking(path); });
            loading[path] = workers.back().get_id();
            return;
        } catch (const std::system_error& error) {
            LOG_ERROR("No thread could be started to load '" << path << "': " << error.what());
        }
    }
    const std::lock_guard<std::mutex> lock(pathsMutex);
    addPath(path);
    loadErrors[path] = "The level could not be loaded: no thread could be started.";
}

// On a loading thread an exception would end the game: whatever throws fails the
// level with what it said, and the menus show it.
bool SceneManager::loadSceneBlocking(const std::string& path) {
    bool loaded = false;
    std::optional<std::string> thrown;
    try {
        loaded = loadIfNeeded(path);
    } catch (const std::exception& exception) {
        thrown = exception.what();
    } catch (...) {
        thrown = "unknown error";
    }
    if (thrown) {
        LOG_ERROR("Level '" << path << "' cannot be played: " << *thrown);
        recordFailure(path, OgreLoader::kLoadFailure + *thrown);
    }
    const std::lock_guard<std::mutex> lock(loadingMutex);
    loading.erase(path);
    return loaded;
}

bool SceneManager::loadIfNeeded(const std::string& path) {
    {
        const std::lock_guard<std::mutex> lock(pathsMutex);
        addPath(path);
        if (sceneCache[path]) {
            return true;
        }
    }
    LOG_INFO("Loading Scene:" << path);
    std::string reason;
    OgreScene* scene = buildScene(path, reason);
    if (!scene) {
        recordFailure(path, reason);
        return false;
    }
    const std::lock_guard<std::mutex> lock(pathsMutex);
    sceneCache[path] = scene;
    loadErrors.erase(path);
    LOG_INFO("Scene loaded" << path);
    return true;
}

void SceneManager::recordFailure(const std::string& path, const std::string& reason) {
    const std::lock_guard<std::mutex> lock(pathsMutex);
    loadErrors[path] = reason;
}

// Null, with the reason for the player, when the level cannot be played.
OgreScene* SceneManager::buildScene(const std::string& path, std::string& reason) {
    const std::lock_guard<std::mutex> lock(sceneLoadingMutex);
    OgreLoader* loader = OgreLoader::getInstance();
    std::unique_ptr<OgreScene, SceneDiscard> scene(loader ? loader->loadScene(path) : nullptr);
    if (!scene || !scene->isPlayable()) {
        reason = scene ? scene->getLoadError() : "The game is shutting down.";
        return nullptr;
    }
    if (SoundManager* sounds = SoundManager::getInstance()) {
        sounds->loadCollisionSounds(*scene);
    }
    return scene.release();
}

// A level that is not kept gives its physics scene back.
void SceneManager::SceneDiscard::operator()(OgreScene* scene) const {
    if (PhysicsManager* physics = PhysicsManager::existingInstance()) {
        physics->releaseScene(scene->getPhysicsScene());
    }
    delete scene;
}

void SceneManager::waitForLoads() {
    std::vector<std::thread> running;
    {
        const std::lock_guard<std::mutex> lock(loadingMutex);
        running.swap(workers);
    }
    for (std::thread& worker : running) {
        worker.join();
    }
}

int SceneManager::getLevelCount() {
    const std::lock_guard<std::mutex> lock(pathsMutex);
    return static_cast<int>(pathCache.size());
}

std::string SceneManager::getPath(int index) {
    const std::lock_guard<std::mutex> lock(pathsMutex);
    return index >= 0 && index < static_cast<int>(pathCache.size()) ? pathCache[index] : "";
}

std::string SceneManager::pathAt(int index) {
    const std::string path = getPath(index);
    if (path.empty()) {
        LOG_WARN("No such Scene '" << index << "'");
    }
    return path;
}

OgreScene* SceneManager::getScene(int index) {
    const std::string path = pathAt(index);
    return path.empty() ? nullptr : getScene(path);
}

OgreScene* SceneManager::getScene(const std::string& path) {
    const std::lock_guard<std::mutex> lock(pathsMutex);
    const auto found = sceneCache.find(path);
    return found == sceneCache.end() ? nullptr : found->second;
}

bool SceneManager::hasScene(const std::string& path) {
    const std::lock_guard<std::mutex> lock(pathsMutex);
    return sceneCache.contains(path);
}

// A level being loaded again after a failure is Loading, not Failed. The loading
// entry goes only after the result is stored, so a level no longer loading has its result.
SceneManager::LevelState SceneManager::getLevelState(int index) {
    const std::string path = getPath(index);
    if (path.empty()) {
        return LevelState::NotLoaded;
    }
    {
        const std::lock_guard<std::mutex> lock(loadingMutex);
        if (loading.contains(path)) {
            return LevelState::Loading;
        }
    }
    const std::lock_guard<std::mutex> lock(pathsMutex);
    if (loadErrors.contains(path)) {
        return LevelState::Failed;
    }
    const auto found = sceneCache.find(path);
    return found != sceneCache.end() && found->second ? LevelState::Loaded : LevelState::NotLoaded;
}

std::string SceneManager::getLoadError(int index) {
    const std::string path = getPath(index);
    const std::lock_guard<std::mutex> lock(pathsMutex);
    const auto found = loadErrors.find(path);
    return found == loadErrors.end() ? "" : found->second;
}

bool SceneManager::isFirstLevelLoaded() {
    const std::lock_guard<std::mutex> lock(pathsMutex);
    return !pathCache.empty() && sceneCache.at(pathCache.front()) != nullptr;
}

bool SceneManager::unloadScene(int index) {
    const std::string path = getPath(index);
    if (path.empty() || getLevelState(index) != LevelState::Loaded) {
        return false;
    }
    OgreScene* scene = nullptr;
    {
        const std::lock_guard<std::mutex> lock(pathsMutex);
        if (index == currentLevel) {
            return false;
        }
        scene = std::exchange(sceneCache[path], nullptr);
    }
    LOG_INFO("Unloading Scene:" << path);
    SceneDiscard{}(scene);
    return true;
}

std::vector<int> SceneManager::getLoadedLevels() {
    const std::lock_guard<std::mutex> lock(pathsMutex);
    std::vector<int> loaded;
    for (std::size_t i = 0; i < pathCache.size(); ++i) {
        if (sceneCache.at(pathCache[i])) {
            loaded.push_back(static_cast<int>(i));
        }
    }
    return loaded;
}

Config* SceneManager::levelConfig(int index) {
    const std::string path = getPath(index);
    if (path.empty()) {
        return nullptr;
    }
    return ConfigManager::getInstance()->getConfig(path.substr(0, path.find_last_of('.')) + ".ini");
}

std::string SceneManager::getLevelName(int index) {
    const Config* config = levelConfig(index);
    const std::string name = config ? config->getString("Level:name", "") : "";
    return name.empty() ? "Level " + std::to_string(index + 1) : name;
}

std::optional<int> SceneManager::getParTime(int index) {
    const Config* config = levelConfig(index);
    const int seconds = config ? config->getInt("Level:partime", 0) : 0;
    return seconds > 0 ? std::optional<int>(seconds) : std::nullopt;
}

int SceneManager::getCurrentLevel() {
    const std::lock_guard<std::mutex> lock(pathsMutex);
    return currentLevel;
}

OgreScene* SceneManager::getCurrentScene() {
    const std::lock_guard<std::mutex> lock(pathsMutex);
    if (currentLevel < 0 || currentLevel >= static_cast<int>(pathCache.size())) {
        return nullptr;
    }
    const auto found = sceneCache.find(pathCache[currentLevel]);
    return found == sceneCache.end() ? nullptr : found->second;
}

// The level that stops being current gives its light slots back before the new one takes them.
bool SceneManager::setCurrentLevel(int index) {
    if (index == -1) {
        if (PhysicsManager* physics = PhysicsManager::existingInstance()) {
            physics->setCurrentScene(nullptr, false);
        }
        if (OgreScene* left = getCurrentScene()) {
            left->releaseLights();
        }
        const std::lock_guard<std::mutex> lock(pathsMutex);
        currentLevel = -1;
        return true;
    }
    if (index == getCurrentLevel()) {
        return true;
    }
    if (index >= getLevelCount()) {
        LOG_ERROR("No such Level: " << index);
        return false;
    }
    OgreScene* scene = getScene(index);
    PhysicsManager* physics = PhysicsManager::getInstance();
    if (!scene || !physics) {
        return false;
    }
    if (OgreScene* left = getCurrentScene()) {
        left->releaseLights();
    }
    {
        const std::lock_guard<std::mutex> lock(pathsMutex);
        currentLevel = index;
    }
    scene->registerLights();
    physics->setCurrentScene(scene->getPhysicsScene(), true);
    return true;
}

bool SceneManager::setCurrentLevel(const std::string& name) {
    int found = -1;
    {
        const std::lock_guard<std::mutex> lock(pathsMutex);
        for (std::size_t i = 0; i < pathCache.size() && found < 0; ++i) {
            found = pathCache[i] == name ? static_cast<int>(i) : -1;
        }
    }
    if (found < 0) {
        LOG_ERROR("No scene '" << name << "' exists, no level change comitted!");
        return false;
    }
    return setCurrentLevel(found);
}
