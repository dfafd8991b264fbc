#include "scene/OgreScene.h"

#include <algorithm>
#include <cctype>

#include "audio/SoundManager.h"
#include "audio/SoundSource.h"
#include "core/Config.h"
#include "core/ConfigManager.h"
#include "core/Log.h"
#include "model/OgreModel.h"
#include "particles/ParticleController.h"
#include "physics/PhysicsSDK.h"
#include "physics/PhysicsScene.h"
#include "render/LightManager.h"
#include "scene/GameObjectFactory.h"
#include "scene/ModelShapes.h"
#include "scene/PhysicsManager.h"
#include "scene/ProfileKeys.h"

VORN_FILE_LOGGER("OgreScene")

namespace {

PhysicsVec3 positionOf(const OgreSceneNode& node) {
    return {node.posX, node.posY, node.posZ};
}

PhysicsQuat rotationOf(const OgreSceneNode& node) {
    return {node.qx, node.qy, node.qz, node.qw};
}

void replaceModel(OgreSceneEntity& entity, OgreModel* object) {
    delete entity.model;
    entity.model = object;
}

} // namespace

OgreScene::OgreScene(const std::string& scenePath) : path(scenePath) {}

OgreScene::~OgreScene() {
    if (SoundManager* sounds = SoundManager::existingInstance()) {
        sounds->releaseSource(backgroundSound);
        for (SoundSource* source : objectSounds) {
            sounds->releaseSource(source);
        }
    }
    for (const auto& [name, node] : nodes) {
        delete node;
    }
    for (const auto& [name, material] : materials) {
        delete material;
    }
    delete environment;
}

void OgreScene::loadLevelSettings() {
    levelConfig = ConfigManager::getInstance()->getConfig(path.substr(0, path.find_last_of('.')) + ".ini");
    const std::string music = levelConfig->getString("Sound:bgsound", "");
    SoundManager* sounds = SoundManager::getInstance();
    if (music.empty() || !sounds) {
        return;
    }
    backgroundSound = sounds->createSource(music);
    if (backgroundSound) {
        backgroundSound->setGain(levelConfig->getFloat("Sound:bgsoundgain", 1.0f));
        backgroundSound->setLooping(true);
    }
}

void OgreScene::fail(const std::string& reason) {
    LOG_ERROR("Level '" << path << "' cannot be played: " << reason);
    if (loadError.empty()) {
        loadError = reason;
    }
}

std::string OgreScene::profileOf(const std::string& entityName) {
    const std::size_t open = entityName.find('[');
    const std::size_t close = entityName.find(']');
    if (open == std::string::npos || close == std::string::npos || close < open) {
        return {};
    }
    return entityName.substr(open + 1, close - open - 1);
}

bool OgreScene::loadObjectProperties() {
    const Config* mainConfig = ConfigManager::getInstance()->getMainConfig();
    if (!mainConfig->hasKey("Files:ObjectPropertiesFile")) {
        LOG_FATAL("Could not load 'Files:ObjectPropertiesFile'!, Vorn has to exit");
        fail("The configuration names no object properties file (Files:ObjectPropertiesFile).");
        return false;
    }
    const std::string propertiesPath = mainConfig->getString("Files:ObjectPropertiesFile", "");
    const Config& objectProperties = *ConfigManager::getInstance()->getConfig(propertiesPath);
    // Without its profiles every actor would be static and the ball could not move.
    if (!objectProperties.dictionary) {
        fail("The object properties file '" + propertiesPath + "' is missing or cannot be read.");
        return false;
    }
    if (!createPhysicsScene()) {
        return false;
    }
    LOG_TRACE("Creating physics SDK Actors..");
    for (const auto& [name, node] : nodes) {
        OgreSceneEntity* entity = node->entity;
        if (!entity || !entity->model) {
            LOG_WARN("Node '" << name << "' has no model and no actor; it is left out");
            continue;
        }
        LOG_TRACE("\t- " << entity->name);
        const std::string profile = profileOf(entity->name);
        entity->model->profile = profile;
        loadPhysicsProperties(objectProperties, *node, profile);
        if (!isPlayable()) {
            return false;
        }
        attachObjectSound(objectProperties, *node, profile);
    }
    return checkPlayable();
}

bool OgreScene::createPhysicsScene() {
    PhysicsManager* physics = PhysicsManager::getInstance();
    physicsScene = physics ? physics->createScene() : nullptr;
    if (!physicsScene) {
        fail("The physics scene of the level could not be created.");
        return false;
    }
    if (gameObjects) {
        physicsScene->setUserContactReport(gameObjects->getContactReport());
        physicsScene->setUserTriggerReport(gameObjects->getTriggerReport());
    }
    const std::optional<PhysicsMaterialDesc> defaultMaterial = loadMaterial("default");
    if (!defaultMaterial || !physicsScene->getMaterialFromIndex(0)->loadFromDesc(*defaultMaterial)) {
        LOG_FATAL("Failed loading default");
        fail("The physics materials file has no valid [default] material.");
        return false;
    }
    return true;
}

bool OgreScene::checkPlayable() {
    for (const auto& [name, node] : nodes) {
        if (node->entity && node->entity->model && node->entity->model->profile == kMainCharProfile) {
            mainChar = node->entity->model;
            return true;
        }
    }
    fail("The level has no main character (an entity with the profile mainChar).");
    return false;
}

void OgreScene::loadPhysicsProperties(const Config& objectProperties, OgreSceneNode& node,
                                      const std::string& profile) {
    node.entity->model->setActor(createActor(objectProperties, node, profile));
    if (!isPlayable()) {
        return;
    }
    makeGameObject(objectProperties, node, profile);
    setUpActor(objectProperties, node, profile);
}

PhysicsActor* OgreScene::createActor(const Config& objectProperties, OgreSceneNode& node,
                                     const std::string& profile) {
    const ProfileKeys keys(objectProperties, profile);
    const std::string actorType = keys.text("actorType", "static");
    const OgreModelMesh& mesh = *node.entity->model->mesh;
    PhysicsSDK& sdk = *PhysicsManager::getInstance()->getSDK();
    PhysicsActorDesc desc;
    PhysicsBodyDesc body;
    PhysicsShapeDesc shape;
    if (actorType == "static") {
        shape.type = PhysicsShapeType::TriangleMesh;
        shape.triangleMesh = ModelShapes::cookTriangleMesh(sdk, mesh);
        if (!shape.triangleMesh) {
            fail("The mesh of '" + node.entity->name + "' could not be cooked into a triangle mesh.");
            return nullptr;
        }
    } else if (actorType == "dynamic") {
        if (keys.has("mass")) {
            body.mass = keys.number("mass", 0.0f);
        } else {
            desc.density = keys.number("density", 1.0f);
        }
        desc.body = &body;
        const std::string kind = keys.text("shape", "");
        if (!keys.has("shape")) {
            shape.type = PhysicsShapeType::Box;
            shape.dimensions = {mesh.extents[0], mesh.extents[1], mesh.extents[2]};
        } else if (kind == "sphere") {
            shape.type = PhysicsShapeType::Sphere;
            shape.radius = keys.number("radius", 1.0f);
        } else if (kind == "box") {
            shape.type = PhysicsShapeType::Box;
            shape.dimensions = {keys.number("dimensionsX", 1.0f), keys.number("dimensionsY", 1.0f),
                                keys.number("dimensionsZ", 1.0f)};
        } else if (kind == "convex") {
            shape.type = PhysicsShapeType::Convex;
            shape.convexMesh = ModelShapes::cookConvexMesh(sdk, mesh);
            if (!shape.convexMesh) {
                fail("The mesh of '" + node.entity->name + "' could not be cooked into a convex hull.");
                return nullptr;
            }
        } else {
            return nullptr;
        }
    } else {
        return nullptr;
    }
    if (keys.has("material")) {
        const std::optional<std::uint16_t> material = getMaterial(keys.text("material", ""));
        if (!material) {
            fail("The physics material '" + keys.text("material", "") + "' of profile '" + profile +
                 "' could not be loaded.");
            return nullptr;
        }
        shape.materialIndex = *material;
    }
    desc.shapes.push_back(shape);
    return physicsScene->createActor(desc);
}

void OgreScene::makeGameObject(const Config& objectProperties, OgreSceneNode& node,
                               const std::string& profile) {
    if (!gameObjects) {
        return;
    }
    OgreModel* object = gameObjects->makeGameObject(*this, node, ProfileKeys(objectProperties, profile));
    if (object) {
        replaceModel(*node.entity, object);
    }
}

void OgreScene::setUpActor(const Config& objectProperties, OgreSceneNode& node, const std::string& profile) {
    OgreModel* object = node.entity->model;
    PhysicsActor* actor = object->getActor();
    if (!actor) {
        LOG_FATAL("No actor could be created for profile " << profile);
        fail("No actor could be created for '" + node.entity->name + "' (profile '" + profile + "').");
        return;
    }
    const ProfileKeys keys(objectProperties, profile);
    actor->setUserData(object);
    actor->setGlobalPosition(positionOf(node));
    actor->setGlobalOrientationQuat(rotationOf(node));
    actor->setGroup(static_cast<std::uint16_t>(keys.integer("actorGroup", 0)));
    const auto shapeGroup = static_cast<std::uint16_t>(keys.integer("shapeGroup", 0));
    for (PhysicsShape* shape : actor->getShapes()) {
        shape->setGroup(shapeGroup);
        shape->setFlag(PhysicsShapeFlags::PointContactForce, true);
    }
    if (keys.has("angularDamping")) {
        actor->setAngularDamping(keys.number("angularDamping", 0.0f));
    }
    if (keys.has("linearDamping")) {
        actor->setLinearDamping(keys.number("linearDamping", 0.0f));
    }
    if (keys.has("angularMomentumX")) {
        actor->setAngularMomentum(keys.vector("angularMomentum"));
    }
    if (keys.has("linearMomentumX")) {
        actor->setLinearMomentum(keys.vector("linearMomentum"));
    }
    if (keys.has("angularVelocityX")) {
        actor->setAngularVelocity(keys.vector("angularVelocity"));
    }
    if (keys.has("linearVelocityX")) {
        actor->setLinearVelocity(keys.vector("linearVelocity"));
    }
    if (keys.has("maxAngularVelocity")) {
        actor->setMaxAngularVelocity(keys.number("maxAngularVelocity", 0.0f));
    }
    if (gameObjects) {
        gameObjects->placeGameObject(*object);
    }
}

void OgreScene::attachObjectSound(const Config& objectProperties, OgreSceneNode& node,
                                  const std::string& profile) {
    const ProfileKeys keys(objectProperties, profile);
    SoundManager* sounds = SoundManager::getInstance();
    if (!keys.has("soundFilename") || !sounds) {
        return;
    }
    SoundSource* source = sounds->createSource(keys.text("soundFilename", ""));
    if (!source) {
        return;
    }
    objectSounds.push_back(source);
    node.entity->model->soundSource = source;
    source->setPosition({node.posX, node.posY, node.posZ});
    source->setLooping(true);
    source->setReferenceDistance(keys.number("soundReferenceDistance", 1.0f));
}

std::optional<std::uint16_t> OgreScene::getMaterial(const std::string& name) {
    const auto cached = materialIndices.find(name);
    if (cached != materialIndices.end()) {
        return cached->second;
    }
    const std::optional<PhysicsMaterialDesc> desc = loadMaterial(name);
    if (!desc) {
        LOG_FATAL("Failed loading " << name);
        return std::nullopt;
    }
    if (!desc->isValid()) {
        LOG_FATAL("Materialdesc not valid for " << name);
        return std::nullopt;
    }
    const PhysicsMaterial* material = physicsScene->createMaterial(*desc);
    if (!material) {
        return std::nullopt;
    }
    materialIndices[name] = material->getMaterialIndex();
    LOG_TRACE("Material " << name << " loaded");
    return material->getMaterialIndex();
}

std::optional<PhysicsMaterialDesc> OgreScene::loadMaterial(const std::string& name) {
    const Config* mainConfig = ConfigManager::getInstance()->getMainConfig();
    if (!mainConfig->hasKey("Files:PhysXMaterialsFile")) {
        LOG_FATAL("Could not load 'Files:PhysXMaterialsFile'!, Vorn has to exit");
        return std::nullopt;
    }
    const Config& file =
        *ConfigManager::getInstance()->getConfig(mainConfig->getString("Files:PhysXMaterialsFile", ""));
    std::string section = name;
    std::transform(section.begin(), section.end(), section.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    if (!file.hasSection(section.c_str())) {
        return std::nullopt;
    }
    const ProfileKeys keys(file, name);
    PhysicsMaterialDesc desc;
    desc.restitution = keys.number("restitution", 0.0f);
    desc.dynamicFriction = keys.number("dynamicFriction", 0.0f);
    desc.dynamicFrictionV = keys.number("dynamicFrictionV", 0.0f);
    desc.staticFriction = keys.number("staticFriction", 0.0f);
    desc.staticFrictionV = keys.number("staticFrictionV", 0.0f);
    if (keys.has("dirOfAnisotropyX")) {
        desc.dirOfAnisotropy = keys.vector("dirOfAnisotropy");
    }
    desc.frictionCombineMode = PhysicsCombineMode::Multiply;
    return desc;
}

void OgreScene::update() {
    for (const auto& [name, node] : nodes) {
        if (node->entity && node->entity->model && node->entity->model->getActor()) {
            node->entity->model->update();
        }
    }
}

void OgreScene::play() {
    if (backgroundSound) {
        backgroundSound->play();
    }
    for (const auto& [name, node] : nodes) {
        if (node->entity && node->entity->model) {
            node->entity->model->playSound();
        }
    }
}

void OgreScene::stop() {
    if (backgroundSound) {
        backgroundSound->stop();
    }
    for (const auto& [name, node] : nodes) {
        if (node->entity && node->entity->model) {
            node->entity->model->stopSound();
        }
    }
}

void OgreScene::reset() {
    for (const auto& [name, node] : nodes) {
        OgreModel* model = node->entity ? node->entity->model : nullptr;
        if (!model) {
            continue;
        }
        if (PhysicsActor* actor = model->getActor()) {
            actor->setAngularVelocity({});
            actor->setLinearVelocity({});
            actor->setGlobalPosition(positionOf(*node));
            actor->setGlobalOrientationQuat(rotationOf(*node));
        }
        model->reset();
    }
}

bool OgreScene::segmentBlocked(const Vector3& a, const Vector3& b) const {
    if (!physicsScene) {
        return false;
    }
    const Vector3 segment = b - a;
    const float length = segment.length();
    const Vector3 direction = segment.normalized();
    PhysicsRaycastHit hit;
    const PhysicsShape* shape = physicsScene->raycastClosestShape(
        {{a.x, a.y, a.z}, {direction.x, direction.y, direction.z}}, PhysicsShapesType::All, hit);
    return shape && hit.distance <= length;
}

void OgreScene::render(SceneRenderer& renderer) {
    renderer.render(sceneObjects(),
                    [this](const Vector3& a, const Vector3& b) { return segmentBlocked(a, b); });
    modelviewMatrix = renderer.modelView;
    projectionMatrix = renderer.projection;
}

void OgreScene::addFire(OgreModel& owner, ParticleController& fire) {
    fires.push_back({&owner, &fire});
}

void OgreScene::renderParticles(const SceneRenderer& renderer) const {
    std::vector<SceneRenderer::ParticleSource> torchFires;
    std::function<void()> mainCharacterFire;
    for (const SceneFire& fire : fires) {
        ParticleController* controller = fire.controller;
        if (fire.owner == mainChar) {
            mainCharacterFire = [controller] { controller->render(); };
        } else {
            torchFires.push_back({*fire.owner->getPosition(),
                                  fire.owner->mesh ? fire.owner->mesh->radius : 0.0f,
                                  [controller] { controller->render(); }});
        }
    }
    renderer.renderParticles(mainCharacterFire, torchFires);
}

std::vector<SceneObject> OgreScene::sceneObjects() const {
    std::vector<SceneObject> objects;
    for (const auto& [name, node] : nodes) {
        const OgreSceneEntity* entity = node->entity;
        if (entity && entity->model) {
            objects.push_back({entity->model, SceneRenderer::isTransparent(entity->name),
                               entity->receiveShadows, entity->castShadows});
        }
    }
    return objects;
}

std::map<std::string, const SoundBody*> OgreScene::getSoundBodies() const {
    std::map<std::string, const SoundBody*> bodies;
    for (const auto& [name, node] : nodes) {
        if (node->entity && node->entity->model) {
            bodies[name] = node->entity->model;
        }
    }
    return bodies;
}

void OgreScene::registerLights() {
    LightManager* lights = LightManager::getInstance();
    for (const SceneObject& object : sceneObjects()) {
        if (LightSource* light = lights && object.model ? object.model->ownLight() : nullptr) {
            lights->registerLight(light);
        }
    }
}

void OgreScene::releaseLights() {
    for (const SceneObject& object : sceneObjects()) {
        if (LightSource* light = object.model ? object.model->ownLight() : nullptr) {
            LightManager::forget(light);
        }
    }
}
