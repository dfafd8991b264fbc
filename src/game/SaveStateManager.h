#pragma once

#include "core/Singleton.h"

#include <functional>
#include <map>
#include <memory>
#include <string>

#include "game/SaveState.h"

class CheckPoint;

// Owns every snapshot taken since start-up and knows the newest, the one a
// respawn goes back to. There is no save file.
class SaveStateManager : public Singleton<SaveStateManager> {
    friend class Singleton<SaveStateManager>;

public:
    // A landing on a checkpoint: saves unless the newest snapshot is this
    // checkpoint's own or a later one, and tells the player so.
    void createSaveState(CheckPoint* checkPoint);
    // Back to the newest snapshot, when there is one and it still fits its level.
    void loadSaveState();

    SaveState* getCurrent() const { return current; }
    // Where "Game saved" goes: the HUD of the running game; nowhere when unset.
    std::function<void(const std::string&)> showMessage;
    const std::map<int, std::unique_ptr<SaveState>>& getAll() const { return all; }

private:
    SaveStateManager() = default;

    // Keeps a save or load from starting inside another (contacts arrive while a load fetches).
    bool busy = false;
    SaveState* current = nullptr;
    std::map<int, std::unique_ptr<SaveState>> all; // by time
};
