#include "model/MeshLoader.h"

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <vector>

#include "core/GameFolders.h"
#include "core/Log.h"
#include "core/Util.h"
#include "model/ModelCache.h"

VORN_FILE_LOGGER("MeshLoader")

namespace {

bool isFile(const std::string& path) {
    std::error_code error;
    return std::filesystem::exists(path, error);
}

void readXYZ(const XMLNode& node, float target[3]) {
    target[0] = node.getFloat("x");
    target[1] = node.getFloat("y");
    target[2] = node.getFloat("z");
}

Vector3 readVector(const XMLNode& node) {
    return {node.getFloat("x"), node.getFloat("y"), node.getFloat("z")};
}

// A colour is three or four numbers; anything shorter is white.
void readColour(const XMLNode& node, float colour[4]) {
    const char* text = node.getAttribute("value");
    std::vector<float> numbers;
    while (text && *text) {
        char* end = nullptr;
        const float number = std::strtof(text, &end);
        if (end == text) {
            break;
        }
        numbers.push_back(number);
        text = end;
    }
    if (numbers.size() < 3) {
        std::fill(colour, colour + 4, 1.0f);
        return;
    }
    std::copy(numbers.begin(), numbers.begin() + 3, colour);
    colour[3] = numbers.size() == 4 ? numbers[3] : 1.0f;
}

// Both sides are normalised before the cross product; a degenerate face keeps a zero normal.
void computeFaceNormal(OgreModelFace& face) {
    const Vector3& corner = face.v1->position->position;
    const Vector3 u = (face.v2->position->position - corner).normalized();
    const Vector3 v = (face.v3->position->position - corner).normalized();
    face.normal = u.cross(v).normalized();
}

// Walks the buffers in order; each vertex's index is its place in this walk.
template <class Geometry> std::vector<OgreModelVertex*> numberVertices(const Geometry* geometry) {
    std::vector<OgreModelVertex*> flat;
    if (!geometry) {
        return flat;
    }
    for (OgreModelVertexbuffer* buffer : geometry->vertexBuffers) {
        for (OgreModelVertex* vertex : buffer->vertices) {
            vertex->index = static_cast<int>(flat.size());
            flat.push_back(vertex);
        }
    }
    return flat;
}

OgreModelVertex* vertexAt(const std::vector<OgreModelVertex*>& vertices, const char* text) {
    if (!text) {
        return nullptr;
    }
    char* end = nullptr;
    const long index = std::strtol(text, &end, 10);
    if (end == text || index < 0 || index >= static_cast<long>(vertices.size())) {
        return nullptr;
    }
    return vertices[index];
}

bool readFaces(const XMLNode& facesNode, const std::vector<OgreModelVertex*>& vertices,
               std::vector<OgreModelFace*>& faces) {
    const std::vector<XMLNode> faceNodes = facesNode.getChildNodes("face");
    faces.reserve(faceNodes.size());
    for (const XMLNode& faceNode : faceNodes) {
        auto face = std::make_unique<OgreModelFace>();
        face->index = static_cast<int>(faces.size());
        face->v1 = vertexAt(vertices, faceNode.getAttribute("v1"));
        face->v2 = vertexAt(vertices, faceNode.getAttribute("v2"));
        face->v3 = vertexAt(vertices, faceNode.getAttribute("v3"));
        if (!face->v1 || !face->v2 || !face->v3) {
            LOG_ERROR("face " << face->index << " refers to a vertex that does not exist");
            return false;
        }
        computeFaceNormal(*face);
        faces.push_back(face.release());
    }
    return true;
}

// The name of submesh i: the last submeshname entry for it, else "submesh_i".
std::string submeshName(const std::vector<XMLNode>& nameNodes, int index) {
    std::string name = "submesh_" + std::to_string(index);
    for (const XMLNode& nameNode : nameNodes) {
        if (nameNode.getInt("index", -1) == index) {
            name = nameNode.getString("name");
        }
    }
    return name;
}

template <class Record, class Key>
void storeReplacing(std::map<Key, Record*>& records, const Key& key, Record* record) {
    Record*& slot = records[key];
    delete slot;
    slot = record;
}

void bindTracks(OgreModelMesh& mesh) {
    for (const auto& [animationName, animation] : mesh.animations) {
        for (OgreModelTrack* track : animation->tracks) {
            if (track->target == OgreModelTrack::MESH) {
                mesh.meshTracks[animationName] = track;
                continue;
            }
            for (const auto& [submeshName, submesh] : mesh.submeshes) {
                if (submesh->index == track->index) {
                    submesh->tracks[animationName] = track;
                    break;
                }
            }
        }
    }
}

struct Bounds {
    float min[3] = {};
    float max[3] = {};
    float radius = 0.0f;

    template <class Geometry> void add(const Geometry* geometry) {
        if (!geometry) {
            return;
        }
        for (const OgreModelVertexbuffer* buffer : geometry->vertexBuffers) {
            for (const OgreModelVertex* vertex : buffer->vertices) {
                const Vector3& position = vertex->position->position;
                const float p[3] = {position.x, position.y, position.z};
                for (int axis = 0; axis < 3; ++axis) {
                    min[axis] = std::min(min[axis], p[axis]);
                    max[axis] = std::max(max[axis], p[axis]);
                }
                radius = std::max(radius, std::sqrt(p[0] * p[0] + p[1] * p[1] + p[2] * p[2]));
            }
        }
    }
};

void calcBounds(OgreModelMesh& mesh) {
    Bounds bounds;
    bounds.add(mesh.sharedGeometry);
    for (const auto& [name, submesh] : mesh.submeshes) {
        bounds.add(submesh->geometry);
    }
    for (int axis = 0; axis < 3; ++axis) {
        mesh.extents[axis] = std::max(std::fabs(bounds.min[axis]), std::fabs(bounds.max[axis]));
    }
    mesh.radius = bounds.radius;
}

template <class Geometry> Geometry* readGeometry(MeshLoader& loader, const XMLNode& node) {
    auto geometry = std::make_unique<Geometry>();
    int vertexSum = 0;
    for (const XMLNode& bufferNode : node.getChildNodes("vertexbuffer")) {
        OgreModelVertexbuffer* buffer = loader.loadModelVertexbuffer(bufferNode);
        vertexSum += static_cast<int>(buffer->vertices.size());
        geometry->vertexBuffers.push_back(buffer);
    }
    numberVertices(geometry.get());
    geometry->vertexCount = node.getInt("vertexcount", vertexSum);
    return geometry.release();
}

} // namespace

MeshLoader::~MeshLoader() {
    for (const auto& [path, mesh] : meshCache) {
        delete mesh;
    }
}

OgreModel* MeshLoader::loadModel(const std::string& path) {
    const std::lock_guard<std::mutex> lock(meshCacheMutex);
    LOG_TRACE("Loading model '" << path << "'");
    OgreModel* model = nullptr;
    const auto cached = meshCache.find(path);
    if (cached != meshCache.end()) {
        LOG_TRACE("Mesh already loaded, copying");
        model = new OgreModel();
        model->mesh = cached->second;
    } else {
        const std::string xmlPath = path + ".xml";
        const bool hasXml = isFile(xmlPath);
        // A mesh shipped as a cache alone is read where it lies; the game's own caches
        // may live in the player's cache folder.
        const std::string cachePath = hasXml ? GameFolders::modelCacheFile(path) : path + ".vorm";
        const std::string hash = hasXml ? Util::calcHash(nullptr, xmlPath) : "";
        if (isFile(cachePath)) {
            model = loadCachedModel(cachePath, xmlPath, hash);
        }
        if (!model && hasXml) {
            LOG_TRACE("trying to load from xml");
            model = loadXMLModel(hash, xmlPath);
            if (model && GameFolders::prepareFolderFor(cachePath)) {
                LOG_TRACE("XML loading successful, serializing to VOM");
                ModelCache::saveModel(*model, cachePath);
            }
        }
        if (!model) {
            LOG_ERROR("model could not be loaded. loadModel will return NULL (" << path << ")");
            return nullptr;
        }
        meshCache[path] = model->mesh;
        model->createVertexArrays();
    }
    if (!model->mesh->animations.empty()) {
        model->setAnimation(model->mesh->animations.begin()->first);
    }
    return model;
}

OgreModel* MeshLoader::loadCachedModel(const std::string& cachePath, const std::string& xmlPath,
                                       const std::string& hash) {
    LOG_TRACE("VOM exists, trying to load");
    OgreModel* model = ModelCache::loadModelCache(hash, cachePath);
    if (!ModelCache::modelChanged) {
        return model;
    }
    delete model->mesh;
    delete model;
    // Only the game's own caches go: one shipped in an installed tree stays.
    std::error_code error;
    if (GameFolders::writesIntoTree() || isFile(xmlPath)) {
        std::filesystem::remove(cachePath, error);
    }
    ModelCache::modelChanged = false;
    LOG_INFO("model has changed, reloading from xml (" << xmlPath << ")");
    return nullptr;
}

OgreModel* MeshLoader::loadXMLModel(const std::string& hash, const std::string& xmlPath) {
    LOG_TRACE("Loading Model from xml");
    return loadXMLModel(hash, XMLNode::parseFile(xmlPath, "mesh"));
}

OgreModel* MeshLoader::loadXMLModel(const std::string& hash, const XMLNode& root) {
    auto model = std::make_unique<OgreModel>();
    model->hash = hash;
    auto mesh = std::make_unique<OgreModelMesh>();

    const int submeshesCount = root.nChildNode("submeshes");
    if (submeshesCount != 1) {
        LOG_ERROR("Invalid Model (<submeshes> must exist! (number=" << submeshesCount << ")");
        return nullptr;
    }

    // Submeshes that use the shared vertices resolve their faces against them.
    LOG_TRACE("Loading sharedGeometry");
    const XMLNode sharedNode = root.getChildNode("sharedgeometry");
    mesh->sharedGeometry = sharedNode.isEmpty() ? nullptr : loadModelSharedgeometry(sharedNode);

    LOG_TRACE("Loading submeshes");
    const std::vector<XMLNode> nameNodes = root.getChildNode("submeshnames").getChildNodes("submeshname");
    const std::vector<XMLNode> submeshNodes = root.getChildNode("submeshes").getChildNodes("submesh");
    for (std::size_t i = 0; i < submeshNodes.size(); ++i) {
        const int index = static_cast<int>(i);
        OgreModelSubmesh* submesh = loadModelSubmesh(submeshNodes[i], mesh->sharedGeometry);
        if (!submesh) {
            LOG_ERROR("Skipping submesh " << index);
            continue;
        }
        submesh->index = index;
        const std::string name = submeshName(nameNodes, index);
        storeReplacing(mesh->submeshes, name, submesh);
        LOG_TRACE("Loaded submesh '" << name << "'");
    }

    LOG_TRACE("Loading animations");
    for (const XMLNode& animationNode : root.getChildNode("animations").getChildNodes("animation")) {
        OgreModelAnimation* animation = loadModelAnimation(animationNode);
        storeReplacing(mesh->animations, animation->name, animation);
    }
    bindTracks(*mesh);

    LOG_TRACE("calculating bounding box and Sphere");
    calcBounds(*mesh);

    model->mesh = mesh.release();
    model->calcEdges();
    return model.release();
}

OgreModelSubmesh* MeshLoader::loadModelSubmesh(const XMLNode& node,
                                               const OgreModelSharedgeometry* sharedGeometry) {
    auto submesh = std::make_unique<OgreModelSubmesh>();
    submesh->material = node.getString("material");
    submesh->useSharedVertices = node.getBool("usesharedvertices", true);
    submesh->use32BitIndexes = node.getBool("use32bitindexes", false);
    const std::string operation = node.getString("operationtype");
    submesh->operationType = operation == "triangle_fan"     ? OgreModelSubmesh::TRIANGLE_FAN
                             : operation == "triangle_strip" ? OgreModelSubmesh::TRIANGLE_STRIP
                                                             : OgreModelSubmesh::TRIANGLE_LIST;
    if (node.nChildNode("faces") != 1) {
        LOG_ERROR("<faces> must exist!");
        return nullptr;
    }
    if (node.nChildNode("geometry") == 1) {
        submesh->geometry = loadModelGeometry(node.getChildNode("geometry"));
    }
    const std::vector<OgreModelVertex*> vertices =
        submesh->geometry ? numberVertices(submesh->geometry) : numberVertices(sharedGeometry);
    const XMLNode facesNode = node.getChildNode("faces");
    if (!readFaces(facesNode, vertices, submesh->faces)) {
        return nullptr;
    }
    submesh->faceCount = facesNode.getInt("count", static_cast<int>(submesh->faces.size()));
    return submesh.release();
}

OgreModelGeometry* MeshLoader::loadModelGeometry(const XMLNode& node) {
    return readGeometry<OgreModelGeometry>(*this, node);
}

OgreModelSharedgeometry* MeshLoader::loadModelSharedgeometry(const XMLNode& node) {
    return readGeometry<OgreModelSharedgeometry>(*this, node);
}

OgreModelVertexbuffer* MeshLoader::loadModelVertexbuffer(const XMLNode& node) {
    auto buffer = std::make_unique<OgreModelVertexbuffer>();
    buffer->positions = node.getBool("positions", false);
    buffer->normals = node.getBool("normals", false);
    buffer->coloursDiffuse = node.getBool("colours_diffuse", false);
    buffer->coloursSpecular = node.getBool("colours_specular", false);
    buffer->binormals = node.getBool("binormals", false);
    buffer->tangents = node.getBool("tangents", false);
    buffer->tangentDimensions = node.getInt("tangent_dimensions", 3);
    buffer->textureCoords = node.getInt("texture_coords", 0);
    for (int set = 0; set < 8; ++set) {
        const std::string name = "texture_coord_dimensions_" + std::to_string(set);
        buffer->textureCoordDimensions[set] = node.getInt(name.c_str(), 2);
    }
    const std::vector<XMLNode> vertexNodes = node.getChildNodes("vertex");
    buffer->vertices.reserve(vertexNodes.size());
    for (const XMLNode& vertexNode : vertexNodes) {
        buffer->vertices.push_back(loadModelVertex(vertexNode, *buffer));
    }
    return buffer.release();
}

OgreModelVertex* MeshLoader::loadModelVertex(const XMLNode& node, const OgreModelVertexbuffer& buffer) {
    auto vertex = std::make_unique<OgreModelVertex>();
    vertex->position = new OgreModelVertexPosition();
    const XMLNode positionNode = node.getChildNode("position");
    if (positionNode.isEmpty()) {
        LOG_WARN("vertex without position, placed at the origin");
    }
    vertex->position->position = readVector(positionNode);
    readXYZ(node.getChildNode("normal"), vertex->normal);
    readXYZ(node.getChildNode("binormal"), vertex->binormal);
    const XMLNode tangentNode = node.getChildNode("tangent");
    readXYZ(tangentNode, vertex->tangent);
    if (buffer.tangentDimensions == 4) {
        vertex->tangent[3] = tangentNode.getFloat("w");
    }
    // The vertex holds eight sets; further sets in the file are not kept.
    const std::vector<XMLNode> texcoordNodes = node.getChildNodes("texcoord");
    const int sets = std::min({buffer.textureCoords, 8, static_cast<int>(texcoordNodes.size())});
    for (int set = 0; set < sets; ++set) {
        const int dimensions = buffer.textureCoordDimensions[set];
        static const char* const components[] = {"u", "v", "w"};
        for (int component = 0; component < std::min(dimensions, 3); ++component) {
            vertex->texcoords[set][component] = texcoordNodes[set].getFloat(components[component]);
        }
    }
    const XMLNode diffuseNode = node.getChildNode("colour_diffuse");
    if (!diffuseNode.isEmpty()) {
        readColour(diffuseNode, vertex->colourDiffuse);
    }
    const XMLNode specularNode = node.getChildNode("colour_specular");
    if (!specularNode.isEmpty()) {
        readColour(specularNode, vertex->colourSpecular);
    }
    return vertex.release();
}

OgreModelAnimation* MeshLoader::loadModelAnimation(const XMLNode& node) {
    auto animation = std::make_unique<OgreModelAnimation>();
    animation->name = node.getString("name");
    animation->length = node.getFloat("length");
    for (const XMLNode& trackNode : node.getChildNode("tracks").getChildNodes("track")) {
        animation->tracks.push_back(loadModelTrack(trackNode));
    }
    return animation.release();
}

OgreModelTrack* MeshLoader::loadModelTrack(const XMLNode& node) {
    auto track = std::make_unique<OgreModelTrack>();
    track->target = node.getString("target") == "mesh" ? OgreModelTrack::MESH : OgreModelTrack::SUBMESH;
    track->type = node.getString("type") == "pose" ? OgreModelTrack::POSE : OgreModelTrack::MORPH;
    track->index = node.getInt("index", 0);
    for (const XMLNode& keyframeNode : node.getChildNode("keyframes").getChildNodes("keyframe")) {
        track->keyframes.push_back(loadModelKeyframe(keyframeNode));
    }
    return track.release();
}

OgreModelKeyframe* MeshLoader::loadModelKeyframe(const XMLNode& node) {
    auto keyframe = std::make_unique<OgreModelKeyframe>();
    keyframe->time = node.getFloat("time");
    for (const XMLNode& positionNode : node.getChildNodes("position")) {
        auto position = std::make_unique<OgreModelVertexPosition>();
        position->position = readVector(positionNode);
        keyframe->positions.push_back(position.release());
    }
    return keyframe.release();
}
