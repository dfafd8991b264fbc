#pragma once

#include <optional>

#include "game/ModelSaveData.h"
#include "platform/Clock.h"

// A checkpoint's save time and whether it was reached.
class CheckPointSaveData : public ModelSaveData {
public:
    void capture(OgreModel& model) override;
    // An untouched checkpoint stops glowing.
    void restore(OgreModel& model) override;

    std::optional<Milliseconds> saveTime;
    bool reached = false;
};
