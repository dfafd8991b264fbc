// Whole levels as the level manager loads them: the scene file, its material file and the
// object properties, all three from the input, with small meshes, the textures they
// name, actors, the game's objects and the level's sounds, and a few physics steps.
// The input is the scene, then "@material" on a line of its own and the material file,
// then "@objects" on a line of its own and the object properties; a missing part is empty.
#include <string>

#include "FuzzSupport.h"
#include "LevelSupport.h"

namespace {

// The text up to `marker` (a line of its own); `rest` is what follows it, empty without it.
std::string partBefore(const std::string& text, const std::string& marker, std::string& rest) {
    const std::string line = "\n" + marker + "\n";
    const std::size_t at = text.find(line);
    if (at == std::string::npos) {
        rest.clear();
        return text;
    }
    rest = text.substr(at + line.size());
    return text.substr(0, at);
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    Fuzz::quietLogs();
    FuzzLevel::setUp();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string afterScene;
    std::string objects;
    const std::string scene = partBefore(std::string(Fuzz::text(data, size)), "@material", afterScene);
    const std::string materials = partBefore(afterScene, "@objects", objects);
    FuzzLevel::load(scene, materials, objects);
    return 0;
}
