#include "game/MainCharSaveData.h"

#include <algorithm>

#include "game/MainChar.h"

void MainCharSaveData::capture(OgreModel& model) {
    ModelSaveData::capture(model);
    const auto& mainChar = dynamic_cast<const MainChar&>(model);
    energy = mainChar.energy;
    turboLevel = mainChar.turboLevel;
}

void MainCharSaveData::restore(OgreModel& model) {
    ModelSaveData::restore(model);
    auto& mainChar = dynamic_cast<MainChar&>(model);
    mainChar.reset();
    mainChar.setEnergy(energy);
    mainChar.turboLevel = std::clamp(turboLevel, 0.0f, 1.0f);
}
