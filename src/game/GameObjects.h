#pragma once

#include "game/ContactReport.h"
#include "game/TriggerReport.h"
#include "scene/GameObjectFactory.h"


// The game's objects in a level and the rules of their contacts and triggers:
// the ball, checkpoints, the finish, fog, items and torches, made from the
// entities whose profile names them.
class GameObjects : public GameObjectFactory {
public:
    OgreModel* makeGameObject(OgreScene& scene, const OgreSceneNode& node, const ProfileKeys& keys) override;
    void placeGameObject(OgreModel& object) override;
    PhysicsContactReport* getContactReport() override { return &contactReport; }
    PhysicsTriggerReport* getTriggerReport() override { return &triggerReport; }

    GameObjects();

    ContactReport contactReport;
    TriggerReport triggerReport;
};
