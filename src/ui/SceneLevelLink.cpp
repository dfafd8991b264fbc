#include "ui/SceneLevelLink.h"

// The level manager, the main character and the save states are not part of the
// game yet: until they are, no level is ever current, loaded or saved.

void SceneLevelLink::pauseCurrentLevel() {}

void SceneLevelLink::resumeCurrentLevel() {}

void SceneLevelLink::leaveCurrentLevel() {}

void SceneLevelLink::loadFirstLevel() {}

bool SceneLevelLink::enterFirstLevel() {
    return false;
}

void SceneLevelLink::respawn() {}

std::optional<LevelLink::Gauges> SceneLevelLink::mainCharGauges() {
    return std::nullopt;
}
