#pragma once

#include <map>
#include <mutex>
#include <string>

#include "model/OgreModel.h"
#include "model/XMLNode.h"

// Turns mesh XML files into model records and hands out models. Meshes are
// cached by path for the rest of the loader's life; a current cache file (path +
// ".vorm", or its place in the player's cache folder, GameFolders) is preferred to the
// XML file (path + ".xml"), and a new one is written after every XML load. Loading
// threads share it: the cache is locked.
class MeshLoader {
public:
    MeshLoader() = default;
    ~MeshLoader();
    MeshLoader(const MeshLoader&) = delete;
    MeshLoader& operator=(const MeshLoader&) = delete;

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

    std::map<std::string, OgreModelMesh*> meshCache; // owned, by the path given to loadModel

private:
    OgreModel* loadCachedModel(const std::string& path, const std::string& xmlPath, const std::string& hash);

    std::mutex meshCacheMutex;
};
