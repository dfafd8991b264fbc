#include "game/SaveState.h"

#include "core/Config.h"
#include "core/ConfigManager.h"
#include "core/Log.h"
#include "core/StateManager.h"
#include "core/TimeManager.h"
#include "game/CheckPoint.h"
#include "game/CheckPointSaveData.h"
#include "game/Item.h"
#include "game/ItemSaveData.h"
#include "game/MainChar.h"
#include "game/MainCharSaveData.h"
#include "scene/OgreScene.h"
#include "scene/PhysicsManager.h"
#include "scene/SceneManager.h"

VORN_FILE_LOGGER("SaveState")

namespace {

const Config& mainConfig() {
    return *ConfigManager::getInstance()->getMainConfig();
}

// Nodes without an entity or a model have nothing to save or restore.
OgreModel* modelOf(const OgreSceneNode& node) {
    return node.entity ? node.entity->model : nullptr;
}

// At rest, upright, `height` above the checkpoint.
void placeAbove(MainCharSaveData& record, CheckPoint& checkPoint, float height) {
    const Vector3 p = *checkPoint.getPosition() + Vector3{0.0f, height, 0.0f};
    record.modelMatrix = Matrix44{};
    record.modelMatrix.at(0, 3) = p.x;
    record.modelMatrix.at(1, 3) = p.y;
    record.modelMatrix.at(2, 3) = p.z;
    record.inverseModelMatrix = Matrix44{};
    record.inverseModelMatrix.at(0, 3) = -p.x;
    record.inverseModelMatrix.at(1, 3) = -p.y;
    record.inverseModelMatrix.at(2, 3) = -p.z;
    record.linearVelocity = {};
    record.angularVelocity = {};
}

} // namespace

SaveState::SaveState(OgreScene& scene, CheckPoint* checkPoint)
    : scenePath(scene.getPath()), time(TimeManager::getInstance()->now) {
    if (checkPoint) {
        checkPoint->saveTime = time;
    }
    const float height = mainConfig().getFloat("gamesettings:respawnovercheckpoint", 5.0f);
    for (const auto& [name, node] : scene.nodes) {
        OgreModel* model = modelOf(*node);
        if (!model) {
            continue;
        }
        std::unique_ptr<ModelSaveData> record = recordFor(*model);
        record->capture(*model);
        if (auto* mainChar = dynamic_cast<MainCharSaveData*>(record.get()); mainChar && checkPoint) {
            placeAbove(*mainChar, *checkPoint, height);
        }
        records[name] = std::move(record);
    }
}

std::unique_ptr<ModelSaveData> SaveState::recordFor(OgreModel& model) {
    if (dynamic_cast<CheckPoint*>(&model)) {
        return std::make_unique<CheckPointSaveData>();
    }
    if (dynamic_cast<Item*>(&model)) {
        return std::make_unique<ItemSaveData>();
    }
    if (dynamic_cast<MainChar*>(&model)) {
        return std::make_unique<MainCharSaveData>();
    }
    return std::make_unique<ModelSaveData>();
}

// A level that is known but not loaded counts as missing too.
bool SaveState::check() const {
    SceneManager* levels = SceneManager::existingInstance();
    const OgreScene* scene = levels && levels->hasScene(scenePath) ? levels->getScene(scenePath) : nullptr;
    if (!scene) {
        LOG_WARN("Tried to load savestate from non-existent scene '" << scenePath << "'");
        return false;
    }
    for (const auto& [name, node] : scene->nodes) {
        if (modelOf(*node) && !records.contains(name)) {
            LOG_WARN("Tried to load savestate with missing node '" << name << "'");
            return false;
        }
    }
    return true;
}

void SaveState::restore() {
    SceneManager* levels = SceneManager::existingInstance();
    if (!levels) {
        return;
    }
    addRespawnBonus(*levels);
    if (!levels->setCurrentLevel(scenePath)) {
        return;
    }
    // The step in flight belongs to the world being replaced: run, it could end the game
    // in the fog the ball is just leaving.
    PhysicsManager* physics = PhysicsManager::getInstance();
    if (physics) {
        physics->dropStep();
    }
    if (OgreScene* scene = levels->getCurrentScene()) {
        restoreObjects(*scene);
    }
    if (physics) {
        physics->startStep();
    }
}

// Each further death from the same snapshot adds the bonus again. A ball that rolled into the
// fog died with energy left: the game being over counts as a death too.
void SaveState::addRespawnBonus(SceneManager& levels) {
    const OgreScene* scene = levels.getCurrentScene();
    const MainChar* mainChar = MainChar::of(scene);
    const StateManager* states = StateManager::existingInstance();
    const bool dead = mainChar && (mainChar->energy <= 0.0f || (states && states->getState() == GAME_OVER));
    if (!dead || !scene || scene->getPath() != scenePath) {
        return;
    }
    const float bonus = mainConfig().getFloat("gamesettings:respawnenergybonus", 0.05f);
    for (const auto& [name, record] : records) {
        if (auto* saved = dynamic_cast<MainCharSaveData*>(record.get())) {
            saved->energy += bonus;
        }
    }
}

void SaveState::restoreObjects(OgreScene& scene) {
    for (const auto& [name, node] : scene.nodes) {
        OgreModel* model = modelOf(*node);
        const auto record = records.find(name);
        if (model && record != records.end()) {
            record->second->restore(*model);
        }
    }
}
