#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "audio/SoundScene.h"
#include "model/OgreSceneMaterial.h"
#include "physics/PhysicsMaterialDesc.h"
#include "render/Matrix44.h"
#include "render/Vector3.h"
#include "scene/OgreSceneEnvironment.h"
#include "scene/OgreSceneNode.h"
#include "scene/SceneRenderer.h"

class Config;
class GameObjectFactory;
class ParticleController;
class PhysicsActor;
class PhysicsScene;
class SceneRenderer;
class SoundSource;

// One loaded level: its nodes with their entities and models, its materials,
// its physics scene with one actor per entity, and the game objects that special
// entities became. A scene that could not be completed says why
// (getLoadError) and must not be played.
class OgreScene : public SoundScene {
public:
    explicit OgreScene(const std::string& path);
    ~OgreScene() override;
    OgreScene(const OgreScene&) = delete;
    OgreScene& operator=(const OgreScene&) = delete;

    // The level's own settings file (the scene path with ".ini") and its background sound.
    void loadLevelSettings();
    // Gives every entity its physics actor and turns special entities into game
    // objects; false, with the reason kept, when the level cannot be played.
    bool loadObjectProperties();
    void loadPhysicsProperties(const Config& objectProperties, OgreSceneNode& node,
                               const std::string& profile);
    // The index of a physics material in this scene, created on first use; none
    // when the materials file has no such section or its values are invalid.
    std::optional<std::uint16_t> getMaterial(const std::string& name);
    std::optional<PhysicsMaterialDesc> loadMaterial(const std::string& name);

    // Once per physics step: every object takes its actor's pose.
    void update();
    void play();
    void stop();
    // The objects' own lights (torches, the ball) take their light slots while the level is
    // current, and give them back when it stops being current.
    void registerLights();
    void releaseLights();
    // Every object back to where the scene file put it, at rest.
    void reset();
    // Whether any shape lies on the segment from a to b.
    bool segmentBlocked(const Vector3& a, const Vector3& b) const;
    // The level through the scene passes; the camera's view is loaded.
    void render(SceneRenderer& renderer);
    // A fire that burns on `owner` (the main character's, a torch's), drawn with the level.
    void addFire(OgreModel& owner, ParticleController& fire);
    // The main character's fire, then the fire of each torch in view.
    void renderParticles(const SceneRenderer& renderer) const;
    // The nodes' objects of one kind, in name order.
    template <class Object> std::vector<Object*> objectsOf() const {
        std::vector<Object*> objects;
        for (const auto& [name, node] : nodes) {
            if (auto* object = node->entity ? dynamic_cast<Object*>(node->entity->model) : nullptr) {
                objects.push_back(object);
            }
        }
        return objects;
    }
    // Every node's model with what its entity says about it, in name order.
    std::vector<SceneObject> sceneObjects() const;

    static constexpr const char* kMainCharProfile = "mainChar";

    // The profile of an entity name: the text between the first "[" and the first "]".
    static std::string profileOf(const std::string& entityName);
    // Records why the level cannot be played; the first reason is kept.
    void fail(const std::string& reason);
    bool isPlayable() const { return loadError.empty(); }
    const std::string& getLoadError() const { return loadError; }
    const std::string& getPath() const { return path; }
    PhysicsScene* getPhysicsScene() const { return physicsScene; }
    // The object of the entity with the main character's profile; null until the level is complete.
    OgreModel* getMainChar() const { return mainChar; }

    std::map<std::string, const SoundBody*> getSoundBodies() const override;

    // From the scene file.
    float formatVersion = 1.0f;
    int upAxis = 0; // 1 when the file says "z"
    float unitsPerMeter = 1.0f;
    float minOgreVersion = 1.0f;
    std::string author;
    OgreSceneEnvironment* environment = nullptr;         // owned, null when the file has none
    std::map<std::string, OgreSceneNode*> nodes;         // owned, by name
    std::map<std::string, OgreSceneMaterial*> materials; // owned, by name

    Config* levelConfig = nullptr;            // owned by the configuration manager
    SoundSource* backgroundSound = nullptr;   // kept from the sound manager
    PhysicsScene* physicsScene = nullptr;     // owned by the physics manager
    GameObjectFactory* gameObjects = nullptr; // the game's, installed with the scene loader
    OgreModel* mainChar = nullptr;            // one of the nodes' objects
    std::map<std::string, std::uint16_t> materialIndices;
    // The view and projection of the frame being drawn, kept for the light scissors.
    Matrix44 modelviewMatrix;
    Matrix44 projectionMatrix;

private:
    bool createPhysicsScene();
    PhysicsActor* createActor(const Config& objectProperties, OgreSceneNode& node,
                              const std::string& profile);
    void makeGameObject(const Config& objectProperties, OgreSceneNode& node, const std::string& profile);
    void setUpActor(const Config& objectProperties, OgreSceneNode& node, const std::string& profile);
    void attachObjectSound(const Config& objectProperties, OgreSceneNode& node, const std::string& profile);
    bool checkPlayable();

    struct SceneFire {
        OgreModel* owner;
        ParticleController* controller;
    };

    std::string path;
    std::string loadError;
    std::vector<SceneFire> fires;           // in the order the objects were made
    std::vector<SoundSource*> objectSounds; // kept from the sound manager
};
