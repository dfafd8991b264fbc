#include "game/Item.h"

#include "physics/PhysicsActor.h"
#include "ui/SoundManager.h"

namespace {

const char* soundKey(bool turbo, bool bottle) {
    if (bottle) {
        return turbo ? "Common:turbobottlepickup" : "Common:powerbottlepickup";
    }
    return turbo ? "Common:turbopickup" : "Common:powerpickup";
}

} // namespace

Item::Item(const OgreModel& model, bool isTurbo, bool isBottle, float amount)
    : OgreModel(model), turbo(isTurbo ? 1 : 0), bottle(isBottle), value(amount),
      pickupSound(SoundManager::configuredSound(soundKey(isTurbo, isBottle))) {}

void Item::pickUp() {
    if (actor) {
        actor->raiseActorFlag(PhysicsActorFlag::DisableCollision);
        actor->raiseBodyFlag(PhysicsBodyFlag::Kinematic);
    }
    if (SoundManager* sounds = SoundManager::getInstance()) {
        sounds->playSound(pickupSound);
    }
    active = false;
}

// The flags raised by pickUp stay: restoring a save state clears them.
void Item::reset() {
    active = true;
}
