#pragma once

class OgreModel;
class OgreScene;
class PhysicsContactReport;
class PhysicsTriggerReport;
class ProfileKeys;
struct OgreSceneNode;

// Turns the entities of special profiles into the game's objects while a level
// loads, and hears the contacts and triggers of the level's physics scene. The
// level knows nothing of the game: the game implements this and installs it with
// the scene loader at start-up. Objects are made on the loading thread; the
// reports hear their events on the game thread.
class GameObjectFactory {
public:
    virtual ~GameObjectFactory() = default;

    // The object that `node`'s entity becomes, made from its loaded model, which
    // already has its actor; null leaves the plain model in place.
    virtual OgreModel* makeGameObject(OgreScene& scene, const OgreSceneNode& node, const ProfileKeys& keys) = 0;
    // The object's actor stands where the scene file put it, with its profile's settings.
    virtual void placeGameObject(OgreModel& object) = 0;
    // What every level's physics scene reports its contacts and triggers to.
    virtual PhysicsContactReport* getContactReport() = 0;
    virtual PhysicsTriggerReport* getTriggerReport() = 0;
};
