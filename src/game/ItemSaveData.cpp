#include "game/ItemSaveData.h"

#include "game/Item.h"

void ItemSaveData::capture(OgreModel& model) {
    ModelSaveData::capture(model);
    active = dynamic_cast<const Item&>(model).active;
}

void ItemSaveData::restore(OgreModel& model) {
    ModelSaveData::restore(model);
    auto& item = dynamic_cast<Item&>(model);
    if (active && !item.active) {
        item.putBack();
    } else if (!active && item.active) {
        item.pickUp();
    }
}
