#pragma once

#include "core/Singleton.h"

#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

class Config;
class OgreScene;

// Knows the levels ("levels:level1", "levels:level2", ... of the main
// configuration), loads them, one worker thread per requested level and one
// scene built at a time, keeps a loaded level until it is unloaded and says which
// one is current. Only the current level's torches and ball hold light slots. A level that cannot be played
// is not kept: its state becomes Failed with a message for the player, and asking again retries.
class SceneManager : public Singleton<SceneManager> {
    friend class Singleton<SceneManager>;

public:
    enum class LevelState { NotLoaded, Loading, Loaded, Failed };

    ~SceneManager();
    SceneManager(const SceneManager&) = delete;
    SceneManager& operator=(const SceneManager&) = delete;

    // Starts loading in the background; a path already loading starts nothing.
    void loadScene(int index);
    void loadScene(const std::string& path);
    // Loads on the calling thread; false when the level cannot be played.
    bool loadSceneBlocking(const std::string& path);
    // Blocks until every level being loaded is done, or has failed.
    void waitForLoads();

    int getLevelCount();
    std::string getPath(int index);
    // Null while the level is not loaded.
    OgreScene* getScene(int index);
    OgreScene* getScene(const std::string& path);
    bool hasScene(const std::string& path);
    LevelState getLevelState(int index);
    // Why the level cannot be played; empty unless its state is Failed.
    std::string getLoadError(int index);
    bool isFirstLevelLoaded();
    // Frees a loaded level that is neither current nor being loaded; false otherwise.
    bool unloadScene(int index);
    // The indices of the levels in memory, in order.
    std::vector<int> getLoadedLevels();
    // "[Level] name" of the level's configuration (the scene path with ".ini"), else "Level N".
    std::string getLevelName(int index);
    // "[Level] partime" in seconds; none when the configuration gives no positive one.
    std::optional<int> getParTime(int index);

    // -1 for none. The current level's physics scene is the one that is stepped.
    int getCurrentLevel();
    OgreScene* getCurrentScene();
    // False while the level is not loaded (nothing changes then) or when there is no such level.
    bool setCurrentLevel(int index);
    bool setCurrentLevel(const std::string& name);

private:
    SceneManager();
    void readLevelList();
    void addPath(const std::string& path);
    std::string pathAt(int index);
    bool loadIfNeeded(const std::string& path);
    Config* levelConfig(int index);
    void recordFailure(const std::string& path, const std::string& reason);
    OgreScene* buildScene(const std::string& path, std::string& reason);
    struct SceneDiscard {
        void operator()(OgreScene* scene) const;
    };

    std::mutex pathsMutex;        // pathCache, sceneCache, loadErrors, currentLevel
    std::mutex loadingMutex;      // loading, workers
    std::mutex sceneLoadingMutex; // one scene built at a time
    std::vector<std::string> pathCache;
    std::map<std::string, OgreScene*> sceneCache; // owned; null while not loaded
    std::map<std::string, std::string> loadErrors;
    std::map<std::string, std::thread::id> loading;
    std::vector<std::thread> workers;
    int currentLevel = -1;
};
