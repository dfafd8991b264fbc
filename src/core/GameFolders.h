#pragma once

#include <filesystem>
#include <string>
#include <vector>

// Where the game writes what it makes for itself: the log, the configuration hash file,
// model caches and screenshots. A writable build tree keeps its log, hash file and caches
// beside its data, as it always did. An installed or read-only tree is never written
// into: the log and the hash file go to the player's state folder, model caches to the
// cache folder. Screenshots always go to the player's data folder. A player folder is
// made when it is first needed; one that cannot be made is warned about once, and the
// game goes on without what it would hold.
class GameFolders {
public:
    // Chosen once at start, before anything is written. Until then (and in tests that
    // never choose) everything goes where a build tree keeps it.
    static void choose(const std::filesystem::path& dataRoot, bool installed);
    static bool writesIntoTree();
    static std::filesystem::path dataRoot();

    // The log file; empty when its folder cannot be made (the reason is kept for the log).
    static std::filesystem::path logFile();
    // The configuration hash file, the tree's "../security" or one in the state folder.
    static std::string hashFile();
    // Where the cache of the mesh at `meshPath` (as the level names it) is read and written.
    static std::string modelCacheFile(const std::string& meshPath);
    static std::filesystem::path screenshotFolder();

    // Makes the folder that is to hold `file`; false, with one warning for the player
    // folder that cannot be made, when that fails.
    static bool prepareFolderFor(const std::filesystem::path& file);
    // The first lines of the log file (debug: the console stays quiet): the data tree and
    // every folder written to, then a warning for each folder that could not be made so far.
    static void logPlaces();
    // The warnings alone.
    static void reportMissingFolders();

    // Back to the build tree's places with no warning given (tests).
    static void reset();
};
