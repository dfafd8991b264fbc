#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "physics/PhysicsFluidDesc.h"
#include "physics/PhysicsFluidEmitter.h"
#include "physics/PhysicsParticle.h"

class PhysicsActor;
class PhysicsForceField;
class PhysicsScene;
class btCollisionWorld;
class btVector3;
struct FluidParticle;

// A particle fluid of a scene, stepped with the rigid bodies in every internal
// step. Particles feel gravity (unless disabled), the external acceleration,
// damping, the force fields coupled through the force field material and, with
// particle interaction, each other's pressure and viscosity. They bounce off
// and slide along the static and moving shapes of the scene and push nothing.
// After every step the live particles are written to the particle write data.
class PhysicsFluid {
public:
    PhysicsFluid(PhysicsScene& scene, const PhysicsFluidDesc& desc);
    ~PhysicsFluid();
    PhysicsFluid(const PhysicsFluid&) = delete;
    PhysicsFluid& operator=(const PhysicsFluid&) = delete;

    PhysicsScene& getScene() const { return scene; }

    // Null for an invalid descriptor. The emitter lives as long as the fluid.
    PhysicsFluidEmitter* createEmitter(const PhysicsFluidEmitterDesc& desc);

    // Adds particles with the position, velocity and lifetime of each record (lifetime 0:
    // until removed) while there is room; the number added.
    std::uint32_t addParticles(const PhysicsParticle* particles, std::uint32_t count);
    // Also empties the write data at once.
    void removeAllParticles();
    std::uint32_t getNbParticles() const;
    std::uint32_t getMaxParticles() const { return desc.maxParticles; }

    void setParticlesWriteData(const PhysicsParticleData& data);

    void setExternalAcceleration(const PhysicsVec3& acceleration) {
        desc.externalAcceleration = acceleration;
    }
    PhysicsVec3 getExternalAcceleration() const { return desc.externalAcceleration; }
    void setForceFieldMaterial(std::uint16_t material) { desc.forceFieldMaterial = material; }
    std::uint16_t getForceFieldMaterial() const { return desc.forceFieldMaterial; }
    PhysicsFluidSimulation getSimulationMethod() const { return desc.simulationMethod; }
    float getKernelRadius() const { return desc.kernelRadius(); }

    // Engine side.
    void step(float dt, const btVector3& gravity, const std::vector<const PhysicsForceField*>& fields,
              btCollisionWorld& world);
    // Writes the particles and starts collecting the flags of the next step.
    void finishStep();
    // The actor is going: emitters riding on it stay where they are.
    void forget(const PhysicsActor& actor);

private:
    struct State;

    void writeParticles();
    void age(float dt);
    void remove(std::size_t index);
    void emit(float dt);
    void accelerate(float dt, const btVector3& gravity, const std::vector<const PhysicsForceField*>& fields);
    void move(float dt, btCollisionWorld& world);
    const PhysicsActor* frameActorOf(const FluidParticle& particle) const;

    PhysicsScene& scene;
    PhysicsFluidDesc desc;
    std::unique_ptr<State> state; // the particles and the engine's working sets
    std::vector<std::unique_ptr<PhysicsFluidEmitter>> emitters;
    PhysicsParticleData writeData;
};
