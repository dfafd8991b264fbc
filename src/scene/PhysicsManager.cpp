#include "scene/PhysicsManager.h"

#include <algorithm>

#include "core/ConfigManager.h"
#include "core/FixedStep.h"
#include "core/Log.h"
#include "core/ManagerLifetime.h"
#include "physics/PhysicsScene.h"

VORN_FILE_LOGGER("PhysicsManager")

namespace {

constexpr float kGravityY = -19.62f;
constexpr float kSkinWidth = 0.001f;

} // namespace

PhysicsManager* PhysicsManager::getInstance() {
    if (!instance && ManagerLifetime::creationEnded()) {
        ManagerLifetime::reportLateCreation("PhysicsManager");
        return nullptr;
    }
    if (!instance) {
        instance = new PhysicsManager();
        if (!instance->init()) {
            destroy();
        }
    }
    return instance;
}

void PhysicsManager::destroy() {
    if (instance) {
        instance->shutdown();
    }
    delete instance;
    instance = nullptr;
}

PhysicsManager::PhysicsManager() = default;

PhysicsManager::~PhysicsManager() = default;

bool PhysicsManager::init() {
    LOG_TRACE("Creating PhysicsManager");
    LOG_TRACE("Initializing physics SDK");
    sdk = std::make_unique<PhysicsSDK>();
    if (ConfigManager::getInstance()->getMainConfig()->getBool("Debug:physxdebugrenderer", false)) {
        sdk->connectRemoteDebugger("localhost", 5425);
    }
    LOG_TRACE("Configuring physics SDK");
    sdk->setParameter(PhysicsParameter::SkinWidth, kSkinWidth);
    return true;
}

void PhysicsManager::shutdown() {
    if (!sdk) {
        return;
    }
    const std::lock_guard<std::mutex> lock(scenesMutex);
    for (PhysicsScene* scene : scenes) {
        scene->dropStep();
        sdk->releaseScene(*scene);
    }
    scenes.clear();
    currentScene = nullptr;
    simulating = false;
    sdk.reset();
}

PhysicsScene* PhysicsManager::createScene() {
    PhysicsSceneDesc desc;
    desc.gravity = PhysicsVec3{0.0f, kGravityY, 0.0f};
    desc.simType = PhysicsSimulationType::Hardware;
    PhysicsScene* scene = sdk->createScene(desc);
    if (scene) {
        LOG_INFO("Hardware scene created");
        hardware = true;
    } else {
        desc.simType = PhysicsSimulationType::Software;
        scene = sdk->createScene(desc);
        if (!scene) {
            LOG_FATAL("Failed to create scene, physics SDK will not be available (scene=0)");
            return nullptr;
        }
        LOG_INFO("Software scene created");
        hardware = false;
    }
    scene->setActorGroupPairFlags(1, 0, kReportedContactEvents);
    scene->setActorGroupPairFlags(0, 0, kReportedContactEvents);
    const std::lock_guard<std::mutex> lock(scenesMutex);
    scenes.push_back(scene);
    return scene;
}

void PhysicsManager::releaseScene(PhysicsScene* scene) {
    if (!scene) {
        return;
    }
    if (scene == currentScene) {
        setCurrentScene(nullptr, false);
    }
    const std::lock_guard<std::mutex> lock(scenesMutex);
    const auto found = std::find(scenes.begin(), scenes.end(), scene);
    if (found != scenes.end()) {
        scenes.erase(found);
        scene->dropStep();
        sdk->releaseScene(*scene);
    }
}

void PhysicsManager::setCurrentScene(PhysicsScene* scene, bool start) {
    dropStep();
    currentScene = scene;
    if (start) {
        startStep();
    }
}

void PhysicsManager::fetchResults() {
    PhysicsScene* scene = currentScene;
    if (simulating && scene) {
        scene->fetchResults();
    }
    simulating = false;
}

void PhysicsManager::startStep() {
    PhysicsScene* scene = currentScene;
    if (!simulating && scene) {
        scene->simulate(kStepSeconds);
        scene->flushStream();
        simulating = true;
    }
}

void PhysicsManager::dropStep() {
    if (PhysicsScene* scene = currentScene) {
        scene->dropStep();
    }
    simulating = false;
}
