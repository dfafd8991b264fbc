#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <numbers>
#include <vector>

#include "GameTree.h"
#include "LevelOne.h"
#include "TerrainScene.h"
#include "game/MainChar.h"
#include "game/Torch.h"
#include "physics/PhysicsFluidEmitter.h"
#include "scene/OgreScene.h"
#include "scene/PhysicsManager.h"

// One 1/60 s step of a level-sized scene (a rolling terrain mesh of 20,000
// triangles, the player's ball driven by torque, 50 loose crates and 7 torch
// stands), without fire and with the fire of the ball and of every torch. The
// fires use the game's fluid settings (two fluids per fire, a force field under
// each) and emit at the rate that keeps every emitter at its particle limit:
// 600 particles for the ball, 450 per torch. Each step moves the emitters the
// way the particle controller does, spinning them 60 degrees.
//
// The same step of the generated level 1 as the frame runs it (fetch, objects
// and fires follow, next step): without fire, with the fire of the ball at full
// energy and of its seven torches as the game burns them, and with every emitter
// of those fires raised to the rate that keeps it at its particle limit.

namespace {

constexpr float kTorchFlame = 2.8f;

PhysicsActor* addStatic(PhysicsScene& scene, const PhysicsShapeDesc& shape, const PhysicsVec3& position,
                        bool collides = true) {
    PhysicsActorDesc actor;
    actor.shapes.push_back(shape);
    actor.globalPose.position = position;
    PhysicsActor* created = scene.createActor(actor);
    if (!collides) {
        created->raiseActorFlag(PhysicsActorFlag::DisableCollision);
    }
    return created;
}

struct FluidSettings {
    std::uint32_t capacity;
    float upward;
    float dimension;
    float randomAngle;
    float speed;
    float lifetime;
};

// fluid1/emitter1 and fluid2/emitter2 of the ball, torchEmitter1 and 2 of the torches.
const FluidSettings kBallFire[2] = {{400, 6.0f, 0.6f, 0.5f, 2.6f, 1.0f},
                                    {200, 4.0f, 0.4f, 0.3f, 1.95f, 0.6f}};
const FluidSettings kTorchFire[2] = {{300, 6.0f, 0.3f, 0.4f, 1.5f, 0.9f},
                                     {150, 4.0f, 0.2f, 0.3f, 1.0f, 0.5f}};

// One fire: a force field on its own actor and two emitting fluids linked to it.
class Fire {
public:
    Fire(PhysicsScene& scene, PhysicsActor& owner, float flameHeight, const FluidSettings (&settings)[2])
        : owner(owner), flameHeight(flameHeight) {
        PhysicsShapeDesc small;
        small.dimensions = {0.1f, 0.1f, 0.1f};
        fieldActor = addStatic(scene, small, position(1.0f), false);
        PhysicsForceFieldDesc field;
        field.actor = fieldActor;
        field.kernel.radialGain = 15.0f;
        const std::uint16_t material = scene.createForceField(field)->getForceFieldMaterial();
        for (const FluidSettings& fluidSettings : settings) {
            PhysicsFluidDesc desc;
            desc.flags = PhysicsFluidFlags::Enabled | PhysicsFluidFlags::DisableGravity;
            desc.maxParticles = fluidSettings.capacity;
            desc.restParticlesPerMeter = 10.0f;
            desc.kernelRadiusMultiplier = 2.0f;
            desc.damping = 0.5f;
            desc.restitutionForStaticShapes = 0.3f;
            desc.restitutionForDynamicShapes = 0.3f;
            desc.simulationMethod = PhysicsFluidSimulation::NoParticleInteraction;
            desc.externalAcceleration = {0.0f, fluidSettings.upward, 0.0f};
            desc.forceFieldMaterial = material;
            PhysicsFluid* fluid = scene.createFluid(desc);
            PhysicsFluidEmitterDesc emitter;
            emitter.frameActor = &owner;
            emitter.type = PhysicsEmitterType::ConstantFlowRate;
            emitter.shape = PhysicsEmitterShape::Ellipse;
            emitter.dimensionX = fluidSettings.dimension;
            emitter.dimensionY = fluidSettings.dimension;
            emitter.randomAngle = fluidSettings.randomAngle;
            emitter.fluidVelocityMagnitude = fluidSettings.speed;
            emitter.particleLifetime = fluidSettings.lifetime;
            emitter.maxParticles = fluidSettings.capacity;
            emitter.rate = static_cast<float>(fluidSettings.capacity) / fluidSettings.lifetime;
            emitters.push_back(fluid->createEmitter(emitter));
            fluids.push_back(fluid);
        }
    }

    // What the particle controller does once per step.
    void follow() {
        const float angle = spin * std::numbers::pi_v<float> / 180.0f;
        PhysicsPose pose;
        const float rotation[9] = {
            1, 0, 0, 0, std::cos(angle), -std::sin(angle), 0, std::sin(angle), std::cos(angle)};
        std::copy(rotation, rotation + 9, pose.rotation);
        pose.position = position(0.0f);
        for (PhysicsFluidEmitter* emitter : emitters) {
            emitter->setGlobalPose(pose);
        }
        spin += 60.0f;
        fieldActor->setGlobalPosition(position(1.0f));
    }

    std::uint32_t particles() const { return fluids[0]->getNbParticles() + fluids[1]->getNbParticles(); }

private:
    PhysicsVec3 position(float above) const {
        PhysicsVec3 at = owner.getGlobalPosition();
        at.y += flameHeight + above;
        return at;
    }

    PhysicsActor& owner;
    const float flameHeight;
    PhysicsActor* fieldActor = nullptr;
    std::vector<PhysicsFluid*> fluids;
    std::vector<PhysicsFluidEmitter*> emitters;
    float spin = 0.0f;
};

void step(benchmark::State& state, bool burning) {
    TerrainScene terrain;
    PhysicsScene& scene = terrain.scene();
    PhysicsShapeDesc stand;
    stand.dimensions = {0.4f, 1.3f, 0.4f};
    std::vector<Fire> fires;
    fires.reserve(8);
    if (burning) {
        fires.emplace_back(scene, terrain.ball(), 0.0f, kBallFire);
    }
    for (int i = 0; i < 7; ++i) {
        const float x = -30.0f + 10.0f * i;
        const float z = 6.0f - 3.0f * i;
        PhysicsActor* torch = addStatic(scene, stand, {x, TerrainScene::height(x, z) + 1.3f, z});
        if (burning) {
            fires.emplace_back(scene, *torch, kTorchFlame - 1.3f, kTorchFire);
        }
    }

    const auto oneStep = [&] {
        terrain.step();
        for (Fire& fire : fires) {
            fire.follow();
        }
    };
    for (int i = 0; i < 120; ++i) {
        oneStep(); // the fires fill up to their limits
    }
    for (auto _ : state) {
        oneStep();
    }
    std::uint32_t particles = 0;
    for (const Fire& fire : fires) {
        particles += fire.particles();
    }
    state.counters["particles"] = particles;
    state.SetLabel("mean time of one 1/60 s step");
}

void StepWithoutFire(benchmark::State& state) {
    step(state, false);
}

void StepWithFire(benchmark::State& state) {
    step(state, true);
}

enum FireLevel { NO_FIRE, GAME_RATE, PARTICLE_LIMIT };

std::vector<ParticleController*> firesOf(const OgreScene& level) {
    std::vector<ParticleController*> fires{MainChar::of(&level)->particleController.get()};
    for (const Torch* torch : level.objectsOf<Torch>()) {
        fires.push_back(torch->particleController.get());
    }
    return fires;
}

// The fire switch of the game turns a fire off for good; a raised rate is made the
// configured one, so damping keeps it.
void kindle(ParticleController& fire, FireLevel fireLevel) {
    if (fireLevel == NO_FIRE) {
        fire.setEmitting(false);
        fire.enabled = false;
        fire.removeAllParticles();
        return;
    }
    for (const auto& [name, emitter] : fire.emitters) {
        PhysicsFluidEmitter* fluidEmitter = emitter->fluidEmitter;
        if (fireLevel == PARTICLE_LIMIT && fluidEmitter) {
            emitter->emitterDesc.rate =
                static_cast<float>(fluidEmitter->getMaxParticles()) / fluidEmitter->getParticleLifetime();
        }
    }
    fire.setEmitting(true);
}

std::uint32_t liveParticles(const std::vector<ParticleController*>& fires) {
    std::uint32_t live = 0;
    for (const ParticleController* fire : fires) {
        for (const auto& [name, emitter] : fire->emitters) {
            live += emitter->particleCount;
        }
    }
    return live;
}

void LevelOneStep(benchmark::State& state) {
    // Model caches land in the copy.
    const GameTree tree(
        {"Vorn.ini", "objectproperties.ini", "physicsmaterials.ini", "sound.ini", "levels", "sounds"});
    const LevelOne levelOne;
    if (!levelOne.ready() || !MainChar::of(&levelOne.scene())) {
        state.SkipWithError("level 1 cannot be played");
        return;
    }
    OgreScene& level = levelOne.scene();
    for (int i = 0; i < 60; ++i) {
        levelOne.step(); // the ball settles on the ground
    }
    MainChar& ball = *MainChar::of(&level);
    ball.onCheckPoint = true; // full energy, full fire, all along
    ball.setEnergy(1.0f);
    const std::vector<ParticleController*> fires = firesOf(level);
    const auto fireLevel = static_cast<FireLevel>(state.range(0));
    for (ParticleController* fire : fires) {
        kindle(*fire, fireLevel);
    }
    for (int i = 0; i < 120; ++i) {
        levelOne.step(); // the fires fill up
    }
    for (auto _ : state) {
        levelOne.step();
    }
    PhysicsManager::getInstance()->fetchResults();
    state.counters["particles"] = liveParticles(fires);
    state.counters["fires"] = static_cast<double>(fires.size());
    state.SetLabel(fireLevel == NO_FIRE     ? "level 1, no fire"
                   : fireLevel == GAME_RATE ? "level 1, fire as the game burns it"
                                            : "level 1, every emitter at its particle limit");
}

} // namespace

BENCHMARK(StepWithoutFire)->Unit(benchmark::kMillisecond)->Iterations(600);
BENCHMARK(StepWithFire)->Unit(benchmark::kMillisecond)->Iterations(600);
BENCHMARK(LevelOneStep)
    ->Arg(NO_FIRE)
    ->Arg(GAME_RATE)
    ->Arg(PARTICLE_LIMIT)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(600);

BENCHMARK_MAIN();
