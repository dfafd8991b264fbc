#include "particles/ForceField.h"

#include "core/ConfigManager.h"
#include "core/Log.h"
#include "physics/PhysicsScene.h"

VORN_FILE_LOGGER("ForceField")

ForceField::ForceField(PhysicsActor* owner, const std::string& section) : ownerActor(owner) {
    LOG_TRACE("loading forcefield config " << section);
    const Config& config = *ConfigManager::getInstance()->getMainConfig();
    offset = config.getFloat((section + ":offset").c_str(), 0.0f);
    group = config.getInt((section + ":group").c_str(), 0);
    if (!ownerActor) {
        LOG_ERROR("The force field of section '" << section << "' has no actor to follow");
        return;
    }
    sceneLifetime = ownerActor->getScene().getLifetime();
    createActor();
    createField();
}

// The scene may be gone already at shutdown, and the field and its actor with it.
ForceField::~ForceField() {
    if (!sceneLifetime.lock()) {
        return;
    }
    PhysicsScene& scene = ownerActor->getScene();
    if (forceField) {
        scene.releaseForceField(*forceField);
    }
    if (actor) {
        scene.releaseActor(*actor);
    }
}

// A small box that collides with nothing: it only carries the field.
void ForceField::createActor() {
    LOG_TRACE(">>Creating actor for forcefieldmapping");
    LOG_TRACE("FFOffset: " << offset);
    PhysicsShapeDesc box;
    box.type = PhysicsShapeType::Box;
    box.dimensions = {0.1f, 0.1f, 0.1f};
    PhysicsActorDesc desc;
    desc.shapes.push_back(box);
    desc.group = static_cast<std::uint16_t>(group);
    desc.globalPose.position = ownerActor->getGlobalPosition();
    desc.globalPose.position.y += offset;
    actor = ownerActor->getScene().createActor(desc);
    if (!actor) {
        LOG_ERROR("The force field's actor could not be created");
        return;
    }
    actor->raiseActorFlag(PhysicsActorFlag::DisableCollision);
    LOG_TRACE(">>Actor created");
}

void ForceField::createField() {
    if (!actor) {
        return;
    }
    LOG_TRACE(">>Creating forcefield");
    PhysicsForceFieldDesc desc;
    desc.actor = actor;
    desc.boxHalfExtents = {kHalfSize, kHalfSize, kHalfSize};
    desc.kernel.radialGain = kRadialGain;
    desc.kernel.axialGain = kAxialGain;
    LOG_TRACE("radial error: " << kRadialGain);
    LOG_TRACE("axial error: " << kAxialGain);
    forceField = ownerActor->getScene().createForceField(desc);
    if (!forceField) {
        LOG_ERROR("The force field could not be created");
        return;
    }
    materialIndex = forceField->getForceFieldMaterial();
    LOG_TRACE(">>ForceField created");
}

void ForceField::moveTo(const PhysicsVec3& position) {
    if (actor) {
        actor->setGlobalPosition({position.x, position.y + offset, position.z});
    }
}
