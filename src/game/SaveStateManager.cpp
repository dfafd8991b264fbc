#include "game/SaveStateManager.h"

#include "core/Log.h"
#include "game/CheckPoint.h"
#include "scene/SceneManager.h"

VORN_FILE_LOGGER("SaveStateManager")

namespace {

// A checkpoint saves unless the newest snapshot is its own or a later one.
bool savesAgain(const CheckPoint* checkPoint, const SaveState* newest) {
    if (!newest || !checkPoint || !checkPoint->saveTime.has_value()) {
        return true;
    }
    return checkPoint->saveTime.value() < newest->time;
}

} // namespace

void SaveStateManager::createSaveState(CheckPoint* checkPoint) {
    if (busy) {
        return;
    }
    busy = true;
    SceneManager* levels = SceneManager::existingInstance();
    OgreScene* scene = levels ? levels->getCurrentScene() : nullptr;
    if (scene && savesAgain(checkPoint, current)) {
        auto state = std::make_unique<SaveState>(*scene, checkPoint);
        current = state.get();
        // Two snapshots of one millisecond: the newer one replaces the older.
        all[current->time] = std::move(state);
        ++created;
        LOG_INFO("Created Savestate");
        if (showMessage) {
            showMessage("Game saved");
        }
    }
    busy = false;
}

void SaveStateManager::loadSaveState() {
    if (!current || busy) {
        return;
    }
    busy = true;
    if (current->check()) {
        current->restore();
    }
    busy = false;
}

void SaveStateManager::clear() {
    current = nullptr;
    all.clear();
}
