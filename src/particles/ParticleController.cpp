#include "particles/ParticleController.h"

#include <GL/glew.h>
#include <algorithm>
#include <cmath>
#include <numbers>

#include "core/Log.h"
#include "physics/PhysicsActor.h"
#include "physics/PhysicsFluid.h"
#include "render/GlSavedState.h"

VORN_FILE_LOGGER("ParticleController")

namespace {

constexpr float kSpinStep = 60.0f;

float between(float low, float high, float k) {
    return low + (high - low) * k;
}

// A rotation about the x axis by `degrees`, at `position`.
PhysicsPose spunAbout(float degrees, const PhysicsVec3& position) {
    const float radians = degrees * std::numbers::pi_v<float> / 180.0f;
    const float c = std::cos(radians);
    const float s = std::sin(radians);
    PhysicsPose pose;
    const float rotation[9] = {1.0f, 0.0f, 0.0f, 0.0f, c, -s, 0.0f, s, c};
    std::copy(rotation, rotation + 9, pose.rotation);
    pose.position = position;
    return pose;
}

} // namespace

ParticleController::ParticleController(PhysicsActor* owner) : actor(owner) {
    LOG_TRACE("Init ParticleController");
}

ParticleController::~ParticleController() = default;

void ParticleController::addParticleEmitter(const std::string& name, const std::string& emitterSection,
                                            const std::string& fluidSection) {
    if (emitters.contains(name)) {
        LOG_TRACE(name << " already exists");
        return;
    }
    LOG_TRACE("Adding new Particle emitter " << name);
    emitters[name] = std::make_unique<ParticleEmitter>(actor, fluidSection, emitterSection);
}

void ParticleController::addForceField(const std::string& name, const std::string& section) {
    if (forceFields.contains(name)) {
        LOG_TRACE(name << " already exists");
        return;
    }
    LOG_TRACE("Adding new ForceField " << name);
    forceFields[name] = std::make_unique<ForceField>(actor, section);
}

void ParticleController::link(const std::string& forceFieldName, const std::string& emitterName) {
    const auto field = forceFields.find(forceFieldName);
    const auto emitter = emitters.find(emitterName);
    if (field == forceFields.end() || emitter == emitters.end() || !emitter->second->fluid) {
        return;
    }
    emitter->second->fluid->setForceFieldMaterial(field->second->materialIndex);
}

PhysicsVec3 ParticleController::anchor() const {
    PhysicsVec3 position = actor ? actor->getGlobalPosition() : PhysicsVec3{};
    if (offset) {
        position = {position.x + offset->x, position.y + offset->y, position.z + offset->z};
    }
    return position;
}

void ParticleController::update() {
    if (!actor) {
        return;
    }
    const PhysicsVec3 position = anchor();
    for (const auto& [name, emitter] : emitters) {
        if (emitter->fluidEmitter) {
            emitter->fluidEmitter->setGlobalPose(spunAbout(emitter->spinAngle, position));
        }
        emitter->spinAngle = std::fmod(emitter->spinAngle + kSpinStep, 360.0f);
    }
    for (const auto& [name, field] : forceFields) {
        field->moveTo(position);
    }
}

// The arrays and their pointers are the caller's again afterwards.
void ParticleController::render() {
    const GlSavedState saved(GlSavedState::ClientArrays | GlSavedState::Textures);
    glClientActiveTexture(GL_TEXTURE0);
    glEnableClientState(GL_VERTEX_ARRAY);
    glEnableClientState(GL_TEXTURE_COORD_ARRAY);
    for (const auto& [name, emitter] : emitters) {
        emitter->renderParticle();
    }
}

// The rate is not scaled: the emitting switch that ends damping sets the
// configured rate, or none at all for x = 0.
void ParticleController::setDamping(float x) {
    fuelled = x > 0.0f;
    if (!enabled) {
        return;
    }
    const float k = x > 0.0f ? std::sqrt(x) : 0.0f;
    for (const auto& [name, emitter] : emitters) {
        dampEmitter(*emitter, k);
    }
    setEmitting(x > 0.0f);
}

void ParticleController::dampEmitter(ParticleEmitter& emitter, float k) const {
    const ParticleDampingParameters& d = emitter.damping;
    if (emitter.fluid) {
        emitter.fluid->setExternalAcceleration(
            {between(d.minExternalAcceleration.x, d.maxExternalAcceleration.x, k),
             between(d.minExternalAcceleration.y, d.maxExternalAcceleration.y, k),
             between(d.minExternalAcceleration.z, d.maxExternalAcceleration.z, k)});
    }
    emitter.particleSize = between(d.minSize, d.maxSize, k);
    PhysicsFluidEmitter* fluidEmitter = emitter.fluidEmitter;
    if (!fluidEmitter) {
        return;
    }
    const float m = emitter.burst ? burstMultiplier : 1.0f;
    fluidEmitter->setFluidVelocityMagnitude(
        between(d.minfluidVelocityMagnitude, d.maxfluidVelocityMagnitude, k) * m);
    fluidEmitter->setParticleLifetime(between(d.minParticleLifetime, d.maxParticleLifetime, k));
}

void ParticleController::removeAllParticles() {
    for (const auto& [name, emitter] : emitters) {
        emitter->removeAllParticles();
    }
}

void ParticleController::setEmitting(bool on) {
    if (!enabled) {
        return;
    }
    for (const auto& [name, emitter] : emitters) {
        if (emitter->fluidEmitter) {
            emitter->fluidEmitter->setRate(on && fuelled ? emitter->emitterDesc.rate : 0.0f);
        }
    }
}
