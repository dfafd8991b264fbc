#pragma once

#include <string>
#include <vector>

#include "scene/OgreSceneSubentity.h"

class OgreModel;

// The placed object of a node. Its name carries the object-properties profile
// in brackets; a game object may have replaced the plain model.
struct OgreSceneEntity {
    OgreSceneEntity() = default;
    ~OgreSceneEntity();
    OgreSceneEntity(const OgreSceneEntity&) = delete;
    OgreSceneEntity& operator=(const OgreSceneEntity&) = delete;

    std::string name;
    int id = 0;
    std::string meshFile;       // as the scene names it, empty when it names none
    OgreModel* model = nullptr; // owned; null when no mesh is named or it cannot be loaded
    bool castShadows = true;
    bool receiveShadows = true;
    std::vector<OgreSceneSubentity*> subentities; // owned, in document order
};
