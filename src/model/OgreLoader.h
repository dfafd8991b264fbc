#pragma once

#include "app/Singleton.h"

#include <map>
#include <mutex>
#include <string>

#include "model/OgreModel.h"
#include "scene/XMLNode.h"

class OgreScene;
struct OgreSceneEntity;
struct OgreSceneNode;
struct OgreSceneSubentity;

// Turns mesh XML files into model records and hands out models. Meshes are
// cached by path for the rest of the run; a current cache file (path + ".vorm")
// is preferred to the XML file (path + ".xml"), and a new one is written after
// every XML load.
class OgreLoader : public Singleton<OgreLoader> {
    friend class Singleton<OgreLoader>;

public:
    // A new model sharing the mesh of `path`, or null when it cannot be loaded.
    OgreModel* loadModel(const std::string& path);
    // A new model with a new mesh parsed from the XML file, edges analysed; null on failure.
    OgreModel* loadXMLModel(const std::string& hash, const std::string& xmlPath);
    // The same for a parsed <mesh> element.
    OgreModel* loadXMLModel(const std::string& hash, const XMLNode& root);

    // The element readers; each returns a new record (null when rejected).
    // A submesh without its own geometry resolves its faces against `sharedGeometry`.
    OgreModelSubmesh* loadModelSubmesh(const XMLNode& node, const OgreModelSharedgeometry* sharedGeometry);
    OgreModelGeometry* loadModelGeometry(const XMLNode& node);
    OgreModelSharedgeometry* loadModelSharedgeometry(const XMLNode& node);
    OgreModelVertexbuffer* loadModelVertexbuffer(const XMLNode& node);
    OgreModelVertex* loadModelVertex(const XMLNode& node, const OgreModelVertexbuffer& buffer);
    OgreModelAnimation* loadModelAnimation(const XMLNode& node);
    OgreModelTrack* loadModelTrack(const XMLNode& node);
    OgreModelKeyframe* loadModelKeyframe(const XMLNode& node);

    // A level: the scene file and its material file, every entity's model, the
    // material bindings, then the physics actors and game objects. The caller owns
    // the scene; one that cannot be played says why.
    OgreScene* loadScene(const std::string& path);
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
    // Points subentities and the submeshes of their models at the scene's materials.
    static void bindMaterials(OgreScene& scene);
    // Where a scene's mesh lies: the scene's folder, "models/", the mesh file.
    static std::string meshPath(const std::string& scenePath, const std::string& meshFile);
    // The scene's folder with its separator, empty when the path has none.
    static std::string sceneDirectory(const std::string& scenePath);

    std::map<std::string, OgreModelMesh*> meshCache;

private:
    OgreLoader() = default;
    ~OgreLoader();

    OgreModel* loadCachedModel(const std::string& path, const std::string& xmlPath, const std::string& hash);

    std::mutex meshCacheMutex;
};
