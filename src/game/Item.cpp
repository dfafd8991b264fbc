#include "game/Item.h"

#include "audio/SoundManager.h"
#include "physics/PhysicsActor.h"
#include "physics/PhysicsScene.h"

namespace {

const char* soundKey(bool turbo, bool bottle) {
    if (bottle) {
        return turbo ? "Common:turbobottlepickup" : "Common:powerbottlepickup";
    }
    return turbo ? "Common:turbopickup" : "Common:powerpickup";
}

Vector3 toVector(const PhysicsVec3& v) {
    return {v.x, v.y, v.z};
}

} // namespace

Item::Item(const OgreModel& model, bool isTurbo, bool isBottle, float amount)
    : OgreModel(model), turbo(isTurbo ? 1 : 0), bottle(isBottle), value(amount),
      pickupSound(SoundManager::configuredSound(soundKey(isTurbo, isBottle))) {
    createTrigger();
}

// A static box at the world origin until the item is placed; the trigger report
// finds the item through its user data.
void Item::createTrigger() {
    if (!actor || !mesh) {
        return;
    }
    PhysicsShapeDesc box;
    box.type = PhysicsShapeType::Box;
    box.dimensions = {mesh->extents[0] + kTriggerMargin, mesh->extents[1] + kTriggerMargin,
                      mesh->extents[2] + kTriggerMargin};
    box.flags = PhysicsShapeFlags::TriggerEnable;
    box.group = kTriggerGroup;
    PhysicsActorDesc desc;
    desc.shapes.push_back(box);
    desc.group = kTriggerGroup;
    desc.userData = static_cast<OgreModel*>(this);
    triggerActor = actor->getScene().createActor(desc);
}

void Item::placeTrigger() {
    if (!triggerActor || !actor) {
        return;
    }
    triggerPosition = toVector(actor->getGlobalPosition());
    triggerActor->setGlobalPosition({triggerPosition.x, triggerPosition.y, triggerPosition.z});
}

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

void Item::putBack() {
    if (actor) {
        actor->clearActorFlag(PhysicsActorFlag::DisableCollision);
        actor->clearBodyFlag(PhysicsBodyFlag::Kinematic);
    }
    active = true;
}

void Item::reset() {
    putBack();
    placeTrigger();
}

void Item::update() {
    if (!active) {
        return;
    }
    OgreModel::update();
    if (actor && (toVector(actor->getGlobalPosition()) - triggerPosition).length() > kTriggerSlack) {
        placeTrigger();
    }
}

void Item::renderIfInRange(std::vector<LightSource*> lights) {
    if (active) {
        OgreModel::renderIfInRange(std::move(lights));
    }
}

void Item::render(LightSource* light) {
    if (active) {
        OgreModel::render(light);
    }
}

void Item::renderShadowVolume(LightSource* light, bool useGeometryShader, bool zPass) {
    if (active) {
        OgreModel::renderShadowVolume(light, useGeometryShader, zPass);
    }
}
