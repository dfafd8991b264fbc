#include <cstdlib>
#include <string>

#include "app/Converter.h"
#include "app/Frame.h"
#include "platform/ExecutablePath.h"

namespace {

// The logging configuration lies one level above the executable. The log file
// goes to the data root too, named through VORN_DATA_ROOT, whatever the working
// directory (converter mode keeps the user's).
void configureLogging(const char* argv0) {
    setenv("VORN_DATA_ROOT", (ExecutablePath::directory() + "/..").c_str(), 1);
    const std::string program = argv0;
    const std::size_t slash = program.find_last_of("/\\");
    if (slash == std::string::npos) {
        return;
    }
    const std::string config = ExecutablePath::directory() + "/../log4cxx.properties";
    setenv("LOG4CXX_CONFIGURATION", config.c_str(), 1);
}

} // namespace

int main(int argc, char** argv) {
    if (argc >= 1) {
        configureLogging(argv[0]);
    }
    if (argc >= 2) {
        converter(argc, argv);
        return 0;
    }
    ExecutablePath::enterDirectory();
    return runGameMode();
}
