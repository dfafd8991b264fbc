#include "core/GameFolders.h"

#include <mutex>
#include <set>
#include <system_error>

#include <unistd.h>

#include "core/Config.h"
#include "core/Log.h"
#include "core/PlayerFiles.h"

VORN_FILE_LOGGER("GameFolders")

namespace fs = std::filesystem;

namespace {

struct Places {
    std::mutex mutex;
    fs::path dataRoot = "..";
    bool intoTree = true;
    std::set<fs::path> warned;       // folders that could not be made, warned about once
    std::set<fs::path> notYetLogged; // failures from before the log was set up
};

Places& places() {
    static Places instance;
    return instance;
}

// The player folder `file` lies in, so a missing one is warned about once, not once
// per subfolder; the file's own folder when it lies in none.
fs::path topFolderOf(const fs::path& file) {
    for (const fs::path& top : {PlayerFiles::stateDir(), PlayerFiles::cacheDir(), PlayerFiles::dataDir(),
                                PlayerFiles::configDir()}) {
        const fs::path relative = file.lexically_relative(top);
        if (!relative.empty() && *relative.begin() != "..") {
            return top;
        }
    }
    return file.parent_path();
}

// Makes the folders quietly; the ones that fail are remembered in `failed`.
bool makeQuietly(const fs::path& file, std::set<fs::path>& failed) {
    std::error_code error;
    const fs::path top = topFolderOf(file);
    fs::create_directories(top, error);
    if (error) {
        failed.insert(top);
        return false;
    }
    fs::create_directories(file.parent_path(), error);
    if (error) {
        failed.insert(file.parent_path());
        return false;
    }
    return true;
}

void warnCannotMake(Places& state, const fs::path& folder) {
    if (state.warned.insert(folder).second) {
        LOG_WARN("Cannot make the folder '" << folder.string()
                                            << "'; the game goes on without what it would hold");
    }
}

} // namespace

void GameFolders::choose(const fs::path& dataRoot, bool installed) {
    Places& state = places();
    const std::lock_guard<std::mutex> lock(state.mutex);
    state.dataRoot = dataRoot;
    state.intoTree = !installed && ::access(dataRoot.c_str(), W_OK) == 0;
}

bool GameFolders::writesIntoTree() {
    Places& state = places();
    const std::lock_guard<std::mutex> lock(state.mutex);
    return state.intoTree;
}

fs::path GameFolders::dataRoot() {
    Places& state = places();
    const std::lock_guard<std::mutex> lock(state.mutex);
    return state.dataRoot;
}

// Asked before the log is set up, so a folder that cannot be made is told later by logPlaces.
fs::path GameFolders::logFile() {
    Places& state = places();
    const std::lock_guard<std::mutex> lock(state.mutex);
    if (state.intoTree) {
        return state.dataRoot / "Vorn.log";
    }
    const fs::path file = PlayerFiles::stateDir() / "Vorn.log";
    return makeQuietly(file, state.notYetLogged) ? file : fs::path();
}

std::string GameFolders::hashFile() {
    return writesIntoTree() ? Config::kHashFile : (PlayerFiles::stateDir() / "security").string();
}

// Caches of meshes in the data tree keep the tree's layout in the cache folder; a mesh from
// elsewhere (a level given by path) keeps its whole path below "elsewhere".
std::string GameFolders::modelCacheFile(const std::string& meshPath) {
    const fs::path root = dataRoot();
    if (writesIntoTree()) {
        return meshPath + ".vorm";
    }
    std::error_code error;
    const fs::path mesh = fs::absolute(meshPath, error).lexically_normal();
    fs::path relative = mesh.lexically_relative(fs::absolute(root, error).lexically_normal());
    if (relative.empty() || *relative.begin() == "..") {
        relative = fs::path("elsewhere") / mesh.relative_path();
    }
    return (PlayerFiles::cacheDir() / relative).string() + ".vorm";
}

fs::path GameFolders::screenshotFolder() {
    return PlayerFiles::dataDir() / "screenshots";
}

bool GameFolders::prepareFolderFor(const fs::path& file) {
    std::error_code error;
    if (fs::is_directory(file.parent_path(), error)) {
        return true;
    }
    Places& state = places();
    const std::lock_guard<std::mutex> lock(state.mutex);
    std::set<fs::path> failed;
    if (makeQuietly(file, failed)) {
        return true;
    }
    for (const fs::path& folder : failed) {
        warnCannotMake(state, folder);
    }
    return false;
}

void GameFolders::logPlaces() {
    const fs::path log = logFile();
    Places& state = places();
    const std::lock_guard<std::mutex> lock(state.mutex);
    std::error_code error;
    LOG_DEBUG("Game data: " << fs::absolute(state.dataRoot, error).lexically_normal().string()
                            << (state.intoTree ? " (its log, hash file and model caches are kept in it)"
                                               : " (nothing is written into it)"));
    if (state.intoTree) {
        LOG_DEBUG("Log and configuration hashes: " << fs::absolute(state.dataRoot, error).string());
        LOG_DEBUG("Model caches: beside the meshes");
    } else {
        LOG_DEBUG("Log and configuration hashes: " << PlayerFiles::stateDir().string()
                                                   << (log.empty() ? " (no log is kept)" : ""));
        LOG_DEBUG("Model caches: " << PlayerFiles::cacheDir().string());
    }
    LOG_DEBUG("Screenshots: " << screenshotFolder().string());
    LOG_DEBUG("Settings: " << PlayerFiles::configDir().string()
                           << ", progress: " << PlayerFiles::dataDir().string());
    for (const fs::path& folder : state.notYetLogged) {
        warnCannotMake(state, folder);
    }
    state.notYetLogged.clear();
}

void GameFolders::reportMissingFolders() {
    Places& state = places();
    const std::lock_guard<std::mutex> lock(state.mutex);
    for (const fs::path& folder : state.notYetLogged) {
        warnCannotMake(state, folder);
    }
    state.notYetLogged.clear();
}

void GameFolders::reset() {
    Places& state = places();
    const std::lock_guard<std::mutex> lock(state.mutex);
    state.dataRoot = "..";
    state.intoTree = true;
    state.warned.clear();
    state.notYetLogged.clear();
}
