#pragma once

#include "game/ModelSaveData.h"

// A checkpoint's save time and whether it was reached.
class CheckPointSaveData : public ModelSaveData {
public:
    void capture(OgreModel& model) override;
    // An untouched checkpoint stops glowing.
    void restore(OgreModel& model) override;

    int saveTime = -1;
    bool reached = false;
};
