// Material files as the level loader reads them: any text encoding to UTF-8, then
// the material blocks with their colours and textures.
#include <cstdio>
#include <cstdlib>

#include "FuzzSupport.h"
#include "model/MaterialScript.h"
#include "model/TextEncoding.h"

namespace {

constexpr const char* kSceneDirectory = "levels/fuzz/";

[[noreturn]] void fail(const char* what) {
    std::fprintf(stderr, "material: %s\n", what);
    std::abort();
}

// Texture names are always under the scene's textures folder.
void checkTexture(const std::string& name) {
    if (name.rfind(std::string(kSceneDirectory) + "textures/", 0) != 0) {
        fail("a texture name outside the scene's textures folder");
    }
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    Fuzz::quietLogs();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    MaterialScript::Materials materials;
    MaterialScript::parse(TextEncoding::toUtf8(std::string(Fuzz::text(data, size))), kSceneDirectory, materials,
                          checkTexture);
    for (const auto& [name, material] : materials) {
        if (!material) {
            fail("a material name without its material");
        }
        if (material->hasTexture) {
            checkTexture(material->texture);
        }
        delete material;
    }
    return 0;
}
