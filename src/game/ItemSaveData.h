#pragma once

#include "game/ModelSaveData.h"

// Whether an item was still there to be picked up.
class ItemSaveData : public ModelSaveData {
public:
    void capture(OgreModel& model) override;
    // An item saved as present comes back colliding and moving; one saved as
    // gone is picked up again (its sound plays).
    void restore(OgreModel& model) override;

    bool active = true;
};
