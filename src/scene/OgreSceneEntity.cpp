#include "scene/OgreSceneEntity.h"

#include "model/OgreModel.h"

OgreSceneEntity::~OgreSceneEntity() {
    delete model;
    for (OgreSceneSubentity* subentity : subentities) {
        delete subentity;
    }
}
