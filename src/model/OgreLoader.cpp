#include "model/OgreLoader.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
#include <vector>

#include "app/Log.h"
#include "app/Util.h"
#include "model/ModelCache.h"
#include "render/TextureLoader.h"
#include "scene/MaterialScript.h"
#include "scene/OgreScene.h"

VORN_FILE_LOGGER("OgreLoader")

namespace {

float readFloat(const XMLNode& node, const char* name, float fallback = 0.0f) {
    const char* value = node.getAttribute(name);
    return value ? std::strtof(value, nullptr) : fallback;
}

int readInt(const XMLNode& node, const char* name, int fallback) {
    const char* value = node.getAttribute(name);
    return value ? static_cast<int>(std::strtol(value, nullptr, 10)) : fallback;
}

// Booleans are "true" exactly; any other text is false.
bool readBool(const XMLNode& node, const char* name, bool fallback) {
    const char* value = node.getAttribute(name);
    return value ? std::strcmp(value, "true") == 0 : fallback;
}

std::string readString(const XMLNode& node, const char* name) {
    const char* value = node.getAttribute(name);
    return value ? value : "";
}

bool isFile(const std::string& path) {
    std::error_code error;
    return std::filesystem::exists(path, error);
}

void readXYZ(const XMLNode& node, float target[3]) {
    target[0] = readFloat(node, "x");
    target[1] = readFloat(node, "y");
    target[2] = readFloat(node, "z");
}

Vector3 readVector(const XMLNode& node) {
    return {readFloat(node, "x"), readFloat(node, "y"), readFloat(node, "z")};
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
        if (readInt(nameNode, "index", -1) == index) {
            name = readString(nameNode, "name");
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

template <class Geometry> Geometry* readGeometry(OgreLoader& loader, const XMLNode& node) {
    auto geometry = std::make_unique<Geometry>();
    int vertexSum = 0;
    for (const XMLNode& bufferNode : node.getChildNodes("vertexbuffer")) {
        OgreModelVertexbuffer* buffer = loader.loadModelVertexbuffer(bufferNode);
        vertexSum += static_cast<int>(buffer->vertices.size());
        geometry->vertexBuffers.push_back(buffer);
    }
    numberVertices(geometry.get());
    geometry->vertexCount = readInt(node, "vertexcount", vertexSum);
    return geometry.release();
}

// A number that is not finite would reach the physics engine as such: the default stands in.
float readFinite(const XMLNode& node, const char* name, float fallback) {
    const float value = readFloat(node, name, fallback);
    if (!std::isfinite(value)) {
        LOG_WARN("Attribute '" << name << "' is not a finite number, " << fallback << " used");
        return fallback;
    }
    return value;
}

// A unit quaternion; a zero or non-finite one is the identity.
void normaliseRotation(OgreSceneNode& node) {
    const float length =
        std::sqrt(node.qx * node.qx + node.qy * node.qy + node.qz * node.qz + node.qw * node.qw);
    if (!std::isfinite(length) || length == 0.0f) {
        LOG_WARN("Node '" << node.name << "' has no usable rotation, the identity is used");
        node.qx = node.qy = node.qz = 0.0f;
        node.qw = 1.0f;
        return;
    }
    node.qx /= length;
    node.qy /= length;
    node.qz /= length;
    node.qw /= length;
}

void registerTexture(const std::string& name) {
    if (TextureLoader* textures = TextureLoader::getInstance()) {
        textures->addTexture(name, GL_REPEAT);
    }
}

} // namespace

OgreLoader::~OgreLoader() {
    for (const auto& [path, mesh] : meshCache) {
        delete mesh;
    }
}

OgreModel* OgreLoader::loadModel(const std::string& path) {
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
        const std::string cachePath = path + ".vorm";
        const bool hasXml = isFile(xmlPath);
        const std::string hash = hasXml ? Util::calcHash(nullptr, xmlPath) : "";
        if (isFile(cachePath)) {
            model = loadCachedModel(cachePath, xmlPath, hash);
        }
        if (!model && hasXml) {
            LOG_TRACE("trying to load from xml");
            model = loadXMLModel(hash, xmlPath);
            if (model) {
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

OgreModel* OgreLoader::loadCachedModel(const std::string& cachePath, const std::string& xmlPath,
                                       const std::string& hash) {
    LOG_TRACE("VOM exists, trying to load");
    OgreModel* model = ModelCache::loadModelCache(hash, cachePath);
    if (!ModelCache::modelChanged) {
        return model;
    }
    delete model->mesh;
    delete model;
    std::error_code error;
    std::filesystem::remove(cachePath, error);
    ModelCache::modelChanged = false;
    LOG_INFO("model has changed, reloading from xml (" << xmlPath << ")");
    return nullptr;
}

OgreModel* OgreLoader::loadXMLModel(const std::string& hash, const std::string& xmlPath) {
    LOG_TRACE("Loading Model from xml");
    return loadXMLModel(hash, XMLNode::parseFile(xmlPath, "mesh"));
}

OgreModel* OgreLoader::loadXMLModel(const std::string& hash, const XMLNode& root) {
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

OgreModelSubmesh* OgreLoader::loadModelSubmesh(const XMLNode& node,
                                               const OgreModelSharedgeometry* sharedGeometry) {
    auto submesh = std::make_unique<OgreModelSubmesh>();
    submesh->material = readString(node, "material");
    submesh->useSharedVertices = readBool(node, "usesharedvertices", true);
    submesh->use32BitIndexes = readBool(node, "use32bitindexes", false);
    const std::string operation = readString(node, "operationtype");
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
    submesh->faceCount = readInt(facesNode, "count", static_cast<int>(submesh->faces.size()));
    return submesh.release();
}

OgreModelGeometry* OgreLoader::loadModelGeometry(const XMLNode& node) {
    return readGeometry<OgreModelGeometry>(*this, node);
}

OgreModelSharedgeometry* OgreLoader::loadModelSharedgeometry(const XMLNode& node) {
    return readGeometry<OgreModelSharedgeometry>(*this, node);
}

OgreModelVertexbuffer* OgreLoader::loadModelVertexbuffer(const XMLNode& node) {
    auto buffer = std::make_unique<OgreModelVertexbuffer>();
    buffer->positions = readBool(node, "positions", false);
    buffer->normals = readBool(node, "normals", false);
    buffer->coloursDiffuse = readBool(node, "colours_diffuse", false);
    buffer->coloursSpecular = readBool(node, "colours_specular", false);
    buffer->binormals = readBool(node, "binormals", false);
    buffer->tangents = readBool(node, "tangents", false);
    buffer->tangentDimensions = readInt(node, "tangent_dimensions", 3);
    buffer->textureCoords = readInt(node, "texture_coords", 0);
    for (int set = 0; set < 8; ++set) {
        const std::string name = "texture_coord_dimensions_" + std::to_string(set);
        buffer->textureCoordDimensions[set] = readInt(node, name.c_str(), 2);
    }
    const std::vector<XMLNode> vertexNodes = node.getChildNodes("vertex");
    buffer->vertices.reserve(vertexNodes.size());
    for (const XMLNode& vertexNode : vertexNodes) {
        buffer->vertices.push_back(loadModelVertex(vertexNode, *buffer));
    }
    return buffer.release();
}

OgreModelVertex* OgreLoader::loadModelVertex(const XMLNode& node, const OgreModelVertexbuffer& buffer) {
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
        vertex->tangent[3] = readFloat(tangentNode, "w");
    }
    // The vertex holds eight sets; further sets in the file are not kept.
    const std::vector<XMLNode> texcoordNodes = node.getChildNodes("texcoord");
    const int sets = std::min({buffer.textureCoords, 8, static_cast<int>(texcoordNodes.size())});
    for (int set = 0; set < sets; ++set) {
        const int dimensions = buffer.textureCoordDimensions[set];
        static const char* const components[] = {"u", "v", "w"};
        for (int component = 0; component < std::min(dimensions, 3); ++component) {
            vertex->texcoords[set][component] = readFloat(texcoordNodes[set], components[component]);
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

OgreModelAnimation* OgreLoader::loadModelAnimation(const XMLNode& node) {
    auto animation = std::make_unique<OgreModelAnimation>();
    animation->name = readString(node, "name");
    animation->length = readFloat(node, "length");
    for (const XMLNode& trackNode : node.getChildNode("tracks").getChildNodes("track")) {
        animation->tracks.push_back(loadModelTrack(trackNode));
    }
    return animation.release();
}

OgreModelTrack* OgreLoader::loadModelTrack(const XMLNode& node) {
    auto track = std::make_unique<OgreModelTrack>();
    track->target = readString(node, "target") == "mesh" ? OgreModelTrack::MESH : OgreModelTrack::SUBMESH;
    track->type = readString(node, "type") == "pose" ? OgreModelTrack::POSE : OgreModelTrack::MORPH;
    track->index = readInt(node, "index", 0);
    for (const XMLNode& keyframeNode : node.getChildNode("keyframes").getChildNodes("keyframe")) {
        track->keyframes.push_back(loadModelKeyframe(keyframeNode));
    }
    return track.release();
}

OgreModelKeyframe* OgreLoader::loadModelKeyframe(const XMLNode& node) {
    auto keyframe = std::make_unique<OgreModelKeyframe>();
    keyframe->time = readFloat(node, "time");
    for (const XMLNode& positionNode : node.getChildNodes("position")) {
        auto position = std::make_unique<OgreModelVertexPosition>();
        position->position = readVector(positionNode);
        keyframe->positions.push_back(position.release());
    }
    return keyframe.release();
}

std::string OgreLoader::sceneDirectory(const std::string& scenePath) {
    const std::size_t separator = scenePath.find_last_of("/\\");
    return separator == std::string::npos ? "" : scenePath.substr(0, separator + 1);
}

std::string OgreLoader::meshPath(const std::string& scenePath, const std::string& meshFile) {
    const std::size_t separator = scenePath.find_last_of("/\\");
    return separator == std::string::npos ? "models/" + meshFile
                                          : scenePath.substr(0, separator) + "/models/" + meshFile;
}

OgreScene* OgreLoader::loadScene(const std::string& path) {
    LOG_TRACE("Loading scene '" << path << "'");
    auto* scene = new OgreScene(path);
    scene->loadLevelSettings();
    if (!loadSceneFiles(*scene, true)) {
        scene->fail("The scene file '" + path + "' could not be read.");
    }
    if (scene->isPlayable()) {
        scene->loadObjectProperties();
    }
    return scene;
}

bool OgreLoader::loadSceneFiles(OgreScene& scene, bool loadAssets) {
    const std::string& path = scene.getPath();
    LOG_TRACE("Loading scene materials");
    MaterialScript::parseFile(MaterialScript::pathFor(path), sceneDirectory(path), scene.materials,
                              loadAssets ? registerTexture : MaterialScript::TextureFound());
    const XMLNode root = XMLNode::parseFile(path, "scene");
    loadSceneXML(scene, root, loadAssets);
    return !root.isEmpty();
}

void OgreLoader::loadSceneXML(OgreScene& scene, const XMLNode& root, bool loadAssets) {
    LOG_TRACE("Loading general scene information");
    scene.formatVersion = readFloat(root, "formatVersion", 1.0f);
    scene.upAxis = readString(root, "upAxis") == "z" ? 1 : 0;
    scene.unitsPerMeter = readFloat(root, "unitsPerMeter", 1.0f);
    scene.minOgreVersion = readFloat(root, "minOgreVersion", 1.0f);
    scene.author = readString(root, "author");
    LOG_TRACE("Loading scene environment");
    const XMLNode environment = root.getChildNode("environment");
    if (!environment.isEmpty()) {
        loadEnvironment(scene, environment);
    }
    LOG_TRACE("Loading scene nodes");
    for (const XMLNode& nodeElement : root.getChildNode("nodes").getChildNodes("node")) {
        OgreSceneNode* node = loadSceneNode(scene, nodeElement, loadAssets);
        OgreSceneNode*& slot = scene.nodes[node->name];
        delete slot;
        slot = node;
    }
    bindMaterials(scene);
}

void OgreLoader::loadEnvironment(OgreScene& scene, const XMLNode& node) {
    delete scene.environment;
    scene.environment = new OgreSceneEnvironment();
    const XMLNode ambient = node.getChildNode("colourAmbient");
    const XMLNode background = node.getChildNode("colourBackground");
    OgreSceneEnvironment& environment = *scene.environment;
    environment.ambientR = readFloat(ambient, "r");
    environment.ambientG = readFloat(ambient, "g");
    environment.ambientB = readFloat(ambient, "b");
    environment.backgroundR = readFloat(background, "r");
    environment.backgroundG = readFloat(background, "g");
    environment.backgroundB = readFloat(background, "b");
}

OgreSceneNode* OgreLoader::loadSceneNode(OgreScene& scene, const XMLNode& element, bool loadAssets) {
    auto node = std::make_unique<OgreSceneNode>();
    node->name = readString(element, "name");
    LOG_TRACE("Loading scene node '" << node->name << "'");
    const XMLNode scale = element.getChildNode("scale");
    node->scaleX = readFinite(scale, "x", 1.0f);
    node->scaleY = readFinite(scale, "y", 1.0f);
    node->scaleZ = readFinite(scale, "z", 1.0f);
    const XMLNode position = element.getChildNode("position");
    node->posX = readFinite(position, "x", 0.0f);
    node->posY = readFinite(position, "y", 0.0f);
    node->posZ = readFinite(position, "z", 0.0f);
    const XMLNode rotation = element.getChildNode("rotation");
    node->qx = readFloat(rotation, "qx", 0.0f);
    node->qy = readFloat(rotation, "qy", 0.0f);
    node->qz = readFloat(rotation, "qz", 0.0f);
    node->qw = readFloat(rotation, "qw", 1.0f);
    normaliseRotation(*node);
    const XMLNode entity = element.getChildNode("entity");
    if (!entity.isEmpty()) {
        node->entity = loadSceneEntity(scene, entity, loadAssets);
        if (node->entity->model) {
            node->entity->model->setPosition({node->posX, node->posY, node->posZ});
        }
    }
    return node.release();
}

OgreSceneEntity* OgreLoader::loadSceneEntity(OgreScene& scene, const XMLNode& element, bool loadAssets) {
    LOG_TRACE("Loading scene node entity");
    LOG_TRACE("Loading general scene node entity information");
    auto entity = std::make_unique<OgreSceneEntity>();
    entity->name = readString(element, "name");
    entity->id = std::atoi(readString(element, "id").c_str());
    entity->castShadows = readBool(element, "castShadows", true);
    entity->receiveShadows = readBool(element, "receiveShadows", true);
    entity->meshFile = readString(element, "meshFile");
    if (!entity->meshFile.empty() && loadAssets) {
        const std::string path = meshPath(scene.getPath(), entity->meshFile);
        entity->model = loadModel(path);
        if (!entity->model) {
            scene.fail("The model '" + path + "' of '" + entity->name + "' could not be loaded.");
        }
    }
    LOG_TRACE("Loading scene node subentities");
    for (const XMLNode& subentity : element.getChildNode("subentities").getChildNodes("subentity")) {
        entity->subentities.push_back(loadSubentity(subentity));
    }
    return entity.release();
}

OgreSceneSubentity* OgreLoader::loadSubentity(const XMLNode& node) {
    auto* subentity = new OgreSceneSubentity();
    subentity->index = std::atoi(readString(node, "index").c_str());
    subentity->materialName = readString(node, "materialName");
    return subentity;
}

void OgreLoader::bindMaterials(OgreScene& scene) {
    const auto find = [&scene](const std::string& name) -> const OgreSceneMaterial* {
        const auto found = scene.materials.find(name);
        return found == scene.materials.end() ? nullptr : found->second;
    };
    for (const auto& [name, node] : scene.nodes) {
        OgreSceneEntity* entity = node->entity;
        if (!entity || entity->subentities.empty()) {
            continue;
        }
        for (OgreSceneSubentity* subentity : entity->subentities) {
            subentity->material = find(subentity->materialName);
        }
        if (!entity->model || !entity->model->mesh) {
            continue;
        }
        for (const auto& [submeshName, submesh] : entity->model->mesh->submeshes) {
            if (const OgreSceneMaterial* material = find(submesh->material)) {
                entity->model->setMaterial(submesh, material);
            }
        }
    }
}
