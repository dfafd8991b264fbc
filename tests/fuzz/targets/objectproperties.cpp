// Object-properties files as a level reads them: every profile of a small level with one of
// each game object turned into its actor and object from the input, then a few physics steps.
#include <string>

#include "FuzzSupport.h"
#include "LevelSupport.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    Fuzz::quietLogs();
    FuzzLevel::setUp();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzLevel::load(FuzzLevel::kScene, FuzzLevel::kMaterials, std::string(Fuzz::text(data, size)));
    return 0;
}
