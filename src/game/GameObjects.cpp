#include "game/GameObjects.h"

#include <map>
#include <string>

#include "core/Log.h"
#include "game/CheckPoint.h"
#include "game/FinishCheckPoint.h"
#include "game/Fog.h"
#include "game/Item.h"
#include "game/MainChar.h"
#include "game/Torch.h"
#include "physics/PhysicsActor.h"
#include "scene/OgreScene.h"
#include "scene/ProfileKeys.h"

VORN_FILE_LOGGER("GameObjects")

namespace {

using MakeGameObject = OgreModel* (*)(OgreScene& scene, const OgreModel& model, const OgreSceneNode& node);

const std::map<std::string, MakeGameObject>& gameObjectMakers() {
    static const std::map<std::string, MakeGameObject> makers = {
        {OgreScene::kMainCharProfile,
         [](OgreScene& scene, const OgreModel& model, const OgreSceneNode&) -> OgreModel* {
             auto* mainChar = new MainChar(model);
             scene.addFire(*mainChar, *mainChar->particleController);
             return mainChar;
         }},
        {"torch",
         [](OgreScene& scene, const OgreModel& model, const OgreSceneNode& node) -> OgreModel* {
             auto* torch = new Torch(model, *scene.levelConfig, node.entity->name);
             scene.addFire(*torch, *torch->particleController);
             return torch;
         }},
        {"checkPoint",
         [](OgreScene&, const OgreModel& model, const OgreSceneNode&) -> OgreModel* {
             return new CheckPoint(model);
         }},
        {"fog",
         [](OgreScene&, const OgreModel& model, const OgreSceneNode&) -> OgreModel* {
             return new Fog(model);
         }},
        {"finish",
         [](OgreScene&, const OgreModel& model, const OgreSceneNode&) -> OgreModel* {
             return new FinishCheckPoint(model);
         }},
    };
    return makers;
}

// An item profile names its kind ("power" or "turbo"); "bottle" in the profile's
// name makes the large one.
OgreModel* makeItem(const OgreModel& model, const ProfileKeys& keys) {
    const std::string kind = keys.text("item", "");
    if (kind != "power" && kind != "turbo") {
        return nullptr;
    }
    const bool bottle = keys.getProfile().find("bottle") != std::string::npos;
    return new Item(model, kind == "turbo", bottle, keys.number("value", 0.1f));
}

} // namespace

GameObjects::GameObjects() {
    LOG_TRACE("Initializing ContactReport");
    LOG_TRACE("Initializing TriggerReport");
}

OgreModel* GameObjects::makeGameObject(OgreScene& scene, const OgreSceneNode& node, const ProfileKeys& keys) {
    const OgreModel& model = *node.entity->model;
    const auto maker = gameObjectMakers().find(keys.getProfile());
    if (maker != gameObjectMakers().end()) {
        return maker->second(scene, model, node);
    }
    return keys.has("item") ? makeItem(model, keys) : nullptr;
}

void GameObjects::placeGameObject(OgreModel& object) {
    if (auto* item = dynamic_cast<Item*>(&object)) {
        item->placeTrigger();
    } else if (auto* mainChar = dynamic_cast<MainChar*>(&object)) {
        mainChar->defaultMaxAngularVelocity = mainChar->getActor()->getMaxAngularVelocity();
    }
}

