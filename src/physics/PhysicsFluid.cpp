#include "physics/PhysicsFluid.h"

#include <algorithm>
#include <cmath>

#include "core/Log.h"
#include "physics/BulletConversions.h"
#include "physics/FluidCollider.h"
#include "physics/FluidParticle.h"
#include "physics/PhysicsForceField.h"
#include "physics/SmoothedParticleSolver.h"

VORN_FILE_LOGGER("PhysicsFluid")

namespace {

btVector3 vectorOf(const float v[3]) {
    return {v[0], v[1], v[2]};
}

void store(const btVector3& v, float target[3]) {
    target[0] = v.x();
    target[1] = v.y();
    target[2] = v.z();
}

// Relative to the surface, the particle keeps restitution times its speed into
// the surface, reversed, and loses the friction share of its sliding speed.
void respond(FluidParticle& particle, const FluidCollider::Contact& contact, float restitution,
             float friction) {
    const btVector3 relative = particle.velocity - contact.surfaceVelocity;
    const float into = relative.dot(contact.normal);
    if (into < 0.0f) {
        const btVector3 normalPart = contact.normal * into;
        const btVector3 sliding = relative - normalPart;
        particle.velocity = contact.surfaceVelocity - normalPart * restitution + sliding * (1.0f - friction);
    }
    particle.collisionNormal = contact.normal;
    particle.flags |=
        contact.dynamic ? PhysicsParticleFlags::CollisionDynamic : PhysicsParticleFlags::CollisionStatic;
}

} // namespace

struct PhysicsFluid::State {
    std::vector<FluidParticle> particles;
    std::vector<btVector3> targets;
    std::vector<btVector3> interaction;
    FluidCollider collider;
    SmoothedParticleSolver solver;
};

PhysicsFluid::PhysicsFluid(PhysicsScene& owner, const PhysicsFluidDesc& fluidDesc)
    : scene(owner), desc(fluidDesc), state(std::make_unique<State>()) {
    state->particles.reserve(desc.maxParticles);
}

std::uint32_t PhysicsFluid::getNbParticles() const {
    return static_cast<std::uint32_t>(state->particles.size());
}

PhysicsFluid::~PhysicsFluid() = default;

PhysicsFluidEmitter* PhysicsFluid::createEmitter(const PhysicsFluidEmitterDesc& emitterDesc) {
    if (!emitterDesc.isValid()) {
        LOG_WARN("Fluid emitter descriptor refused");
        return nullptr;
    }
    const auto slot = static_cast<std::uint32_t>(emitters.size());
    emitters.push_back(std::make_unique<PhysicsFluidEmitter>(emitterDesc, slot, desc.restSpacing()));
    return emitters.back().get();
}

std::uint32_t PhysicsFluid::addParticles(const PhysicsParticle* records, std::uint32_t count) {
    const std::uint32_t room = desc.maxParticles - getNbParticles();
    const std::uint32_t added = std::min(count, room);
    for (std::uint32_t i = 0; i < added; ++i) {
        FluidParticle particle;
        particle.position = vectorOf(records[i].position);
        particle.velocity = vectorOf(records[i].velocity);
        particle.lifetime = records[i].lifetime > 0.0f ? records[i].lifetime : INFINITY;
        particle.emitter = FluidParticle::kNoEmitter;
        state->particles.push_back(particle);
    }
    return added;
}

void PhysicsFluid::removeAllParticles() {
    state->particles.clear();
    for (const auto& emitter : emitters) {
        emitter->forgetParticles();
    }
    writeParticles();
}

void PhysicsFluid::setParticlesWriteData(const PhysicsParticleData& data) {
    writeData = data;
    writeParticles();
}

void PhysicsFluid::writeParticles() {
    if (!writeData.numParticles) {
        return;
    }
    const std::uint32_t count = writeData.buffer ? std::min(getNbParticles(), writeData.capacity) : 0;
    for (std::uint32_t i = 0; i < count; ++i) {
        const FluidParticle& particle = state->particles[i];
        PhysicsParticle& record = writeData.buffer[i];
        store(particle.position, record.position);
        store(particle.velocity, record.velocity);
        store(particle.collisionNormal, record.collisionNormal);
        record.density = particle.density;
        record.lifetime = std::isfinite(particle.lifetime) ? particle.lifetime : 0.0f;
        record.flags = particle.flags;
    }
    *writeData.numParticles = count;
}

void PhysicsFluid::finishStep() {
    writeParticles();
    for (FluidParticle& particle : state->particles) {
        particle.flags = 0;
        particle.collisionNormal.setZero();
    }
}

void PhysicsFluid::forget(const PhysicsActor& actor) {
    for (const auto& emitter : emitters) {
        emitter->detachFrom(actor);
    }
}

void PhysicsFluid::step(float dt, const btVector3& gravity,
                        const std::vector<const PhysicsForceField*>& fields, btCollisionWorld& world) {
    if ((desc.flags & PhysicsFluidFlags::Enabled) == 0) {
        return;
    }
    age(dt);
    emit(dt);
    if (state->particles.empty()) {
        return;
    }
    accelerate(dt, gravity, fields);
    move(dt, world);
}

void PhysicsFluid::age(float dt) {
    for (std::size_t i = state->particles.size(); i-- > 0;) {
        state->particles[i].lifetime -= dt;
        if (state->particles[i].lifetime <= 0.0f) {
            remove(i);
        }
    }
}

void PhysicsFluid::remove(std::size_t index) {
    const std::uint32_t slot = state->particles[index].emitter;
    if (slot < emitters.size()) {
        emitters[slot]->particleDied();
    }
    state->particles[index] = state->particles.back();
    state->particles.pop_back();
}

void PhysicsFluid::emit(float dt) {
    for (const auto& emitter : emitters) {
        emitter->emit(dt, desc.maxParticles - getNbParticles(), state->particles);
    }
}

void PhysicsFluid::accelerate(float dt, const btVector3& gravity,
                              const std::vector<const PhysicsForceField*>& fields) {
    const bool interacting = desc.simulationMethod == PhysicsFluidSimulation::ParticleInteraction;
    if (interacting) {
        state->solver.solve(state->particles, desc, state->interaction);
    }
    btVector3 uniform = toBullet(desc.externalAcceleration);
    if ((desc.flags & PhysicsFluidFlags::DisableGravity) == 0) {
        uniform += gravity;
    }
    const float keep = std::max(0.0f, 1.0f - desc.damping * dt);
    for (std::size_t i = 0; i < state->particles.size(); ++i) {
        FluidParticle& particle = state->particles[i];
        btVector3 acceleration = uniform;
        for (const PhysicsForceField* field : fields) {
            field->push(particle.position, acceleration);
        }
        if (interacting) {
            acceleration += state->interaction[i];
        }
        particle.velocity = (particle.velocity + acceleration * dt) * keep;
    }
}

void PhysicsFluid::move(float dt, btCollisionWorld& world) {
    std::vector<FluidParticle>& particles = state->particles;
    std::vector<btVector3>& targets = state->targets;
    const float limit = desc.motionLimit();
    targets.resize(particles.size());
    btVector3 boundsMin(BT_LARGE_FLOAT, BT_LARGE_FLOAT, BT_LARGE_FLOAT);
    btVector3 boundsMax = -boundsMin;
    for (std::size_t i = 0; i < particles.size(); ++i) {
        FluidParticle& particle = particles[i];
        const float travel = particle.velocity.length() * dt;
        if (travel > limit) {
            particle.velocity *= limit / travel;
            particle.flags |= particle.velocity.y() > 0.0f ? PhysicsParticleFlags::MotionLimitUp
                                                           : PhysicsParticleFlags::MotionLimitDown;
        }
        targets[i] = particle.position + particle.velocity * dt;
        boundsMin.setMin(particle.position);
        boundsMin.setMin(targets[i]);
        boundsMax.setMax(particle.position);
        boundsMax.setMax(targets[i]);
    }
    state->collider.gather(world, boundsMin, boundsMax, desc.collisionDistance());
    FluidCollider::Contact contact;
    for (std::size_t i = 0; i < particles.size(); ++i) {
        FluidParticle& particle = particles[i];
        if (!state->collider.empty() &&
            state->collider.sweep(particle.position, targets[i], frameActorOf(particle), contact)) {
            particle.position = contact.point;
            respond(particle, contact,
                    contact.dynamic ? desc.restitutionForDynamicShapes : desc.restitutionForStaticShapes,
                    contact.dynamic ? desc.dynamicFrictionForDynamicShapes
                                    : desc.dynamicFrictionForStaticShapes);
        } else {
            particle.position = targets[i];
        }
    }
}

const PhysicsActor* PhysicsFluid::frameActorOf(const FluidParticle& particle) const {
    const std::uint32_t slot = particle.emitter;
    return slot < emitters.size() ? emitters[slot]->getFrameActor() : nullptr;
}
