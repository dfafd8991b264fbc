#pragma once

#include <optional>
#include <string>

#include "scene/OgreSceneEntity.h"
#include "scene/ScenePath.h"

// One node of a scene: where its entity stands. The rotation is a unit
// quaternion; the model takes the position, the physics actor the rotation.
struct OgreSceneNode {
    OgreSceneNode() = default;
    ~OgreSceneNode() { delete entity; }
    OgreSceneNode(const OgreSceneNode&) = delete;
    OgreSceneNode& operator=(const OgreSceneNode&) = delete;

    std::string name;
    float scaleX = 1.0f;
    float scaleY = 1.0f;
    float scaleZ = 1.0f;
    float posX = 0.0f;
    float posY = 0.0f;
    float posZ = 0.0f;
    float qx = 0.0f;
    float qy = 0.0f;
    float qz = 0.0f;
    float qw = 1.0f;
    OgreSceneEntity* entity = nullptr; // owned, null for a node without one
    // The way a moving platform goes, from the node's user data; none for a node that stays.
    std::optional<ScenePath> path;
};
