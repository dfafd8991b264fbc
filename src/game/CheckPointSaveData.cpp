#include "game/CheckPointSaveData.h"

#include "game/CheckPoint.h"

void CheckPointSaveData::capture(OgreModel& model) {
    ModelSaveData::capture(model);
    const auto& checkPoint = dynamic_cast<const CheckPoint&>(model);
    saveTime = checkPoint.saveTime;
    reached = checkPoint.reached;
}

void CheckPointSaveData::restore(OgreModel& model) {
    ModelSaveData::restore(model);
    auto& checkPoint = dynamic_cast<CheckPoint&>(model);
    checkPoint.saveTime = saveTime;
    checkPoint.reached = reached;
    if (!reached) {
        checkPoint.fade = 0.0f;
    }
}
