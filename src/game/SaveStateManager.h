#pragma once

#include "core/Singleton.h"

#include <functional>
#include <map>
#include <memory>
#include <string>

#include "game/SaveState.h"
#include "platform/Clock.h"

class CheckPoint;

// Owns every snapshot taken in the game being played and knows the newest, the
// one a respawn goes back to. There is no save file.
class SaveStateManager : public Singleton<SaveStateManager> {
    friend class Singleton<SaveStateManager>;

public:
    // A landing on a checkpoint: saves unless the newest snapshot is this
    // checkpoint's own or a later one, and tells the player so.
    void createSaveState(CheckPoint* checkPoint);
    // Back to the newest snapshot, when there is one and it still fits its level.
    void loadSaveState();
    // A new game starts without snapshots: a death before its first checkpoint must not
    // respawn into an earlier game's progress.
    void clear();

    SaveState* getCurrent() const { return current; }
    // Where "Game saved" goes: the HUD of the running game; nowhere when unset.
    std::function<void(const std::string&)> showMessage;
    const std::map<Milliseconds, std::unique_ptr<SaveState>>& getAll() const { return all; }
    // Snapshots taken since start-up, those of earlier games included.
    int getCreatedCount() const { return created; }

private:
    SaveStateManager() = default;

    // Keeps a save or load from starting inside another (contacts arrive while a load fetches).
    bool busy = false;
    SaveState* current = nullptr;
    std::map<Milliseconds, std::unique_ptr<SaveState>> all; // by time
    int created = 0;
};
