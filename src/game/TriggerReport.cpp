#include "game/TriggerReport.h"

#include "core/StateManager.h"
#include "game/FinishCheckPoint.h"
#include "game/Fog.h"
#include "game/Item.h"
#include "game/MainChar.h"
#include "physics/PhysicsActor.h"

namespace {

OgreModel* objectOf(const PhysicsShape& shape) {
    return static_cast<OgreModel*>(shape.getActor().getUserData());
}

void switchState(int state) {
    if (StateManager* states = StateManager::getInstance()) {
        states->setState(state);
    }
}

bool inPlay() {
    const StateManager* states = StateManager::existingInstance();
    return states && states->getState() == IN_GAME;
}

} // namespace

void TriggerReport::collect(Item& item, MainChar* mainChar) const {
    if (!item.active) {
        return;
    }
    item.pickUp();
    if (mainChar) {
        if (item.turbo) {
            mainChar->addTurbo(item.value);
        } else {
            mainChar->addEnergy(item.value);
        }
    }
    if (onPickup) {
        onPickup();
    }
}

void TriggerReport::onTrigger(PhysicsShape& triggerShape, PhysicsShape& otherShape, std::uint32_t status) {
    if (otherShape.getGroup() != MainChar::kActorGroup || status != PhysicsShapeFlags::TriggerOnEnter ||
        !inPlay()) {
        return;
    }
    OgreModel* object = objectOf(triggerShape);
    if (Item* item = dynamic_cast<Item*>(object)) {
        collect(*item, dynamic_cast<MainChar*>(objectOf(otherShape)));
    } else if (dynamic_cast<Fog*>(object)) {
        switchState(GAME_OVER);
    } else if (dynamic_cast<FinishCheckPoint*>(object)) {
        switchState(LEVEL_COMPLETE);
    }
}
