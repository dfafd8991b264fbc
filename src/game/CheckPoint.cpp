#include "game/CheckPoint.h"

#include "ui/SoundManager.h"

CheckPoint::CheckPoint(const OgreModel& model)
    : OgreModel(model), checkpointSound(SoundManager::configuredSound("Common:checkpoint")) {}

void CheckPoint::reset() {
    saveTime = -1;
    fade = 0.0f;
    reached = false;
}
