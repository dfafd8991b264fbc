#pragma once

#include <map>
#include <memory>
#include <string>

#include "game/ModelSaveData.h"
#include "platform/Clock.h"

class CheckPoint;
class OgreScene;
class SceneManager;

// One snapshot of a level: a record per scene node that carries a model, taken
// when the main character lands on a checkpoint. It lives in memory only.
class SaveState {
public:
    // Takes the snapshot of `scene` now. The checkpoint (none is allowed) takes
    // the snapshot's time as its saveTime, and the main character is recorded
    // above it at rest, where it respawns.
    SaveState(OgreScene& scene, CheckPoint* checkPoint);

    // Whether the level manager still has the level and every node of it has a record.
    bool check() const;
    // Makes the level current again and puts every object back; a character that
    // died in this level gets the respawn energy bonus added to the record first.
    void restore();

    std::string scenePath;
    std::map<std::string, std::unique_ptr<ModelSaveData>> records; // by node name
    Milliseconds time;

private:
    static std::unique_ptr<ModelSaveData> recordFor(OgreModel& model);
    void addRespawnBonus(SceneManager& levels);
    void restoreObjects(OgreScene& scene);
};
