// dotScene files as the level loader reads them before any model, texture or physics
// actor is made: the scene element, its environment and nodes, their entities and
// subentities, and the binding of subentities to the level's materials.
#include <cstdio>
#include <cstdlib>

#include "FuzzSupport.h"
#include "scene/OgreLoader.h"
#include "model/MaterialScript.h"
#include "scene/OgreScene.h"

namespace {

// The materials a level's material file usually holds, so that binding finds some.
constexpr const char* kMaterials = "material Stone\n{\n technique\n {\n  pass\n  {\n   diffuse 1 1 1\n  }\n }\n}\n"
                                   "material Ball\n{\n}\nmaterial Metal\n{\n}\n";

[[noreturn]] void fail(const char* what) {
    std::fprintf(stderr, "scene: %s\n", what);
    std::abort();
}

// Every subentity points at the material of its name, or at none when the level has no such material.
void checkBindings(const OgreScene& scene) {
    for (const auto& [name, node] : scene.nodes) {
        if (!node || !node->entity) {
            continue;
        }
        OgreScene::profileOf(node->entity->name);
        for (const OgreSceneSubentity* subentity : node->entity->subentities) {
            const auto found = scene.materials.find(subentity->materialName);
            const OgreSceneMaterial* expected = found == scene.materials.end() ? nullptr : found->second;
            if (subentity->material != expected) {
                fail("a subentity is bound to another material than the one it names");
            }
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    Fuzz::quietLogs();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    OgreScene scene("levels/fuzz/fuzz.scene");
    MaterialScript::parse(kMaterials, "levels/fuzz/", scene.materials, {});
    const XMLNode root = XMLNode::parseText(std::string(Fuzz::text(data, size)), "scene");
    OgreLoader::getInstance()->loadSceneXML(scene, root, false);
    checkBindings(scene);
    return 0;
}
