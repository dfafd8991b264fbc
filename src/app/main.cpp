#include <cstdlib>
#include <filesystem>
#include <string>

#include "app/Converter.h"
#include "app/Frame.h"
#include "platform/ExecutablePath.h"

namespace {

// The logging configuration lies one level above the executable, found through the
// system however the program was started (a path, or a bare name through PATH). The
// log file goes to the data root too, named through VORN_DATA_ROOT, whatever the
// working directory (converter mode keeps the user's).
void configureLogging() {
    const std::string dataRoot = ExecutablePath::directory() + "/..";
    setenv("VORN_DATA_ROOT", dataRoot.c_str(), 1);
    setenv("LOG4CXX_CONFIGURATION", (dataRoot + "/log4cxx.properties").c_str(), 1);
}

} // namespace

int main(int argc, char** argv) {
    configureLogging();
    if (argc == 3 && std::string(argv[1]) == "--replay") {
        // Named from where the player stands, before the game moves to its own folder.
        const std::filesystem::path replay = std::filesystem::absolute(argv[2]);
        ExecutablePath::enterDirectory();
        return runGameMode(replay);
    }
    if (argc >= 2) {
        converter(argc, argv);
        return 0;
    }
    ExecutablePath::enterDirectory();
    return runGameMode();
}
