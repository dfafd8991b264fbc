#include "scene/OgreLoader.h"

#include <cmath>
#include <cstdlib>
#include <exception>
#include <memory>

#include "core/Log.h"
#include "model/MaterialScript.h"
#include "render/TextureLoader.h"
#include "scene/OgreScene.h"

VORN_FILE_LOGGER("OgreLoader")

namespace {

// A number that is not finite would reach the physics engine as such: the default stands in.
float readFinite(const XMLNode& node, const char* name, float fallback) {
    const float value = node.getFloat(name, fallback);
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

// A property of the node's user data: <property type="str" name="path" data="..."/>.
std::string userProperty(const XMLNode& userData, const std::string& name) {
    for (const XMLNode& property : userData.getChildNodes("property")) {
        if (property.getString("name") == name) {
            return property.getString("data");
        }
    }
    return "";
}

float userNumber(const XMLNode& userData, const std::string& name, float fallback) {
    const std::string text = userProperty(userData, name);
    char* end = nullptr;
    const float value = std::strtof(text.c_str(), &end);
    return text.empty() || *end != '\0' ? fallback : value;
}

} // namespace

// A node whose path cannot be followed stays where it stands.
void OgreLoader::loadPath(OgreSceneNode& node, const XMLNode& userData) {
    const std::string points = userProperty(userData, "path");
    if (points.empty()) {
        return;
    }
    std::string error;
    node.path = ScenePath::parse(points, userNumber(userData, "speed", 0.0f),
                                 userNumber(userData, "pause", 0.0f), error);
    if (!node.path) {
        LOG_WARN("Node '" << node.name << "' has a path that cannot be followed (" << error
                          << "); it stays where it is");
    }
}

OgreModel* OgreLoader::loadModel(const std::string& path) {
    return meshes.loadModel(path);
}

OgreModel* OgreLoader::loadXMLModel(const std::string& hash, const std::string& xmlPath) {
    return meshes.loadXMLModel(hash, xmlPath);
}

void OgreLoader::setGameObjectFactory(GameObjectFactory* factory) {
    gameObjects = factory;
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

// Levels load on a worker thread, where an exception would end the game: whatever
// throws fails the level with what it said.
OgreScene* OgreLoader::loadScene(const std::string& path) {
    LOG_TRACE("Loading scene '" << path << "'");
    auto scene = std::make_unique<OgreScene>(path);
    try {
        scene->loadLevelSettings();
        if (!loadSceneFiles(*scene, true)) {
            scene->fail("The scene file '" + path + "' could not be read.");
        }
        scene->gameObjects = gameObjects;
        if (scene->isPlayable()) {
            scene->loadObjectProperties();
        }
    } catch (const std::exception& exception) {
        scene->fail(std::string(kLoadFailure) + exception.what());
    }
    return scene.release();
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
    scene.formatVersion = root.getFloat("formatVersion", 1.0f);
    scene.upAxis = root.getString("upAxis") == "z" ? 1 : 0;
    scene.unitsPerMeter = root.getFloat("unitsPerMeter", 1.0f);
    scene.minOgreVersion = root.getFloat("minOgreVersion", 1.0f);
    scene.author = root.getString("author");
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
    environment.ambientR = ambient.getFloat("r");
    environment.ambientG = ambient.getFloat("g");
    environment.ambientB = ambient.getFloat("b");
    environment.backgroundR = background.getFloat("r");
    environment.backgroundG = background.getFloat("g");
    environment.backgroundB = background.getFloat("b");
}

OgreSceneNode* OgreLoader::loadSceneNode(OgreScene& scene, const XMLNode& element, bool loadAssets) {
    auto node = std::make_unique<OgreSceneNode>();
    node->name = element.getString("name");
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
    node->qx = rotation.getFloat("qx", 0.0f);
    node->qy = rotation.getFloat("qy", 0.0f);
    node->qz = rotation.getFloat("qz", 0.0f);
    node->qw = rotation.getFloat("qw", 1.0f);
    normaliseRotation(*node);
    loadPath(*node, element.getChildNode("userData"));
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
    entity->name = element.getString("name");
    entity->id = std::atoi(element.getString("id").c_str());
    entity->castShadows = element.getBool("castShadows", true);
    entity->receiveShadows = element.getBool("receiveShadows", true);
    entity->meshFile = element.getString("meshFile");
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
    subentity->index = std::atoi(node.getString("index").c_str());
    subentity->materialName = node.getString("materialName");
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
