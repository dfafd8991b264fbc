#include "game/SaveStateManager.h"

#include "core/Log.h"
#include "game/CheckPoint.h"
#include "scene/SceneManager.h"

VORN_FILE_LOGGER("SaveStateManager")

void SaveStateManager::createSaveState(CheckPoint* checkPoint) {
    if (busy) {
        return;
    }
    busy = true;
    const int saveTime = checkPoint ? checkPoint->saveTime : -1;
    SceneManager* levels = SceneManager::existingInstance();
    OgreScene* scene = levels ? levels->getCurrentScene() : nullptr;
    if (scene && (!current || saveTime < current->time)) {
        auto state = std::make_unique<SaveState>(*scene, checkPoint);
        current = state.get();
        // Two snapshots of one millisecond: the newer one replaces the older.
        all[current->time] = std::move(state);
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
