#pragma once

#include <string>

struct OgreSceneMaterial;

// Which material one submesh of an entity asks for.
struct OgreSceneSubentity {
    int index = 0;
    std::string materialName;
    const OgreSceneMaterial* material = nullptr; // into the scene's materials, null until bound
};
