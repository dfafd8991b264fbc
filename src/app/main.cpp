#include <cstdlib>
#include <filesystem>
#include <string>

#include "app/Converter.h"
#include "app/Frame.h"
#include "core/GameFolders.h"
#include "platform/ExecutablePath.h"

namespace {

// The data tree is found from the executable's own place however the program was
// started (a path, or a bare name through PATH); the logging configuration lies in it.
// Where the log goes depends on whether the tree may be written, so the places are
// chosen before the first line is logged; the game names them in its first lines.
void configureLogging(const std::string& dataRoot) {
    setenv("LOG4CXX_CONFIGURATION", (dataRoot + "/log4cxx.properties").c_str(), 1);
    const std::string logFile = GameFolders::logFile().string();
    setenv("VORN_LOG_FILE", logFile.empty() ? "/dev/null" : logFile.c_str(), 1);
}

} // namespace

int main(int argc, char** argv) {
    const std::string executableDirectory = ExecutablePath::directory();
    const std::string dataRoot = ExecutablePath::dataRoot(executableDirectory);
    GameFolders::choose(dataRoot, ExecutablePath::isInstalled(executableDirectory));
    configureLogging(dataRoot);
    if (argc == 3 && std::string(argv[1]) == "--replay") {
        // Named from where the player stands, before the game moves to its own folder.
        const std::filesystem::path replay = std::filesystem::absolute(argv[2]);
        GameFolders::logPlaces();
        ExecutablePath::enterDataTree(dataRoot);
        return runGameMode(replay);
    }
    // The converter writes beside the files it is given: only a folder it could not make is told.
    if (argc >= 2) {
        GameFolders::reportMissingFolders();
        converter(argc, argv);
        return 0;
    }
    GameFolders::logPlaces();
    ExecutablePath::enterDataTree(dataRoot);
    return runGameMode();
}
