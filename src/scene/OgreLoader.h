#pragma once

#include "core/Singleton.h"

#include <string>

#include "model/MeshLoader.h"

class GameObjectFactory;
class OgreScene;
struct OgreSceneEntity;
struct OgreSceneNode;
struct OgreSceneSubentity;

// Loads levels: the scene file and its material file, every entity's model
// through the mesh loader, the material bindings, then the physics actors and
// the game's objects. Meshes are kept for the rest of the run.
class OgreLoader : public Singleton<OgreLoader> {
    friend class Singleton<OgreLoader>;

public:
    // A new model sharing the mesh of `path`, or null when it cannot be loaded.
    OgreModel* loadModel(const std::string& path);
    // A new model with a new mesh parsed from the XML file; null on failure.
    OgreModel* loadXMLModel(const std::string& hash, const std::string& xmlPath);

    // The game's objects for the levels loaded from now on; none leaves every entity a plain model.
    void setGameObjectFactory(GameObjectFactory* factory);

    // A level: the scene file and its material file, every entity's model, the
    // material bindings, then the physics actors and game objects. The caller owns
    // the scene; one that cannot be played says why. An exception while it loads
    // makes it one that cannot be played, its reason kLoadFailure and what was thrown.
    OgreScene* loadScene(const std::string& path);
    static constexpr const char* kLoadFailure = "The level could not be loaded: ";
    // Reads the scene file and its material file into `scene`. Without `loadAssets`
    // no model is loaded and no texture registered: only the two files are read.
    // False when the scene file is missing or holds no scene element.
    bool loadSceneFiles(OgreScene& scene, bool loadAssets);
    // The root element of a scene file into `scene`.
    void loadSceneXML(OgreScene& scene, const XMLNode& root, bool loadAssets);
    void loadEnvironment(OgreScene& scene, const XMLNode& node);
    OgreSceneNode* loadSceneNode(OgreScene& scene, const XMLNode& node, bool loadAssets);
    OgreSceneEntity* loadSceneEntity(OgreScene& scene, const XMLNode& node, bool loadAssets);
    OgreSceneSubentity* loadSubentity(const XMLNode& node);
    // The path of a moving platform from the node's <userData> properties "path", "speed", "pause".
    static void loadPath(OgreSceneNode& node, const XMLNode& userData);
    // Points subentities and the submeshes of their models at the scene's materials.
    static void bindMaterials(OgreScene& scene);
    // Where a scene's mesh lies: the scene's folder, "models/", the mesh file.
    static std::string meshPath(const std::string& scenePath, const std::string& meshFile);
    // The scene's folder with its separator, empty when the path has none.
    static std::string sceneDirectory(const std::string& scenePath);

    MeshLoader meshes;

private:
    OgreLoader() = default;

    GameObjectFactory* gameObjects = nullptr;
};
