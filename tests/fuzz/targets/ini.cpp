// Ini files through Config: the same bytes stand for a configuration file and
// for the hash file that constructing a Config reads and rewrites.
#include <iniparser.h>

#include "FuzzSupport.h"
#include "core/Config.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    Fuzz::quietLogs();
    Fuzz::enterScratchDataRoot();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    Fuzz::writeFile("../fuzz.ini", data, size);
    Fuzz::writeFile(Config::kHashFile, data, size);
    const Config config("../fuzz.ini");
    config.hasSection("section");
    config.getString("section:key", "");
    if (!config.dictionary) {
        return 0;
    }
    // Every key the file has, read in every way the game reads keys.
    const dictionary& entries = *config.dictionary;
    for (ssize_t i = 0; i < entries.size; ++i) {
        const char* key = entries.key[i];
        if (!key) {
            continue;
        }
        config.hasSection(key);
        config.getString(key, "");
        config.getInt(key, 0);
        config.getFloat(key, 0.0f);
        config.getBool(key, false);
    }
    return 0;
}
