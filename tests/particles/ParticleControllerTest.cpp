#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "FireFixture.h"
#include "LogCapture.h"
#include "particles/ParticleController.h"
#include "physics/PhysicsFluid.h"

namespace {

using ParticleControllerTest = FireTest;

int exactly(const LogCapture& log, const std::string& message) {
    const std::vector<std::string> messages = log.messages();
    return static_cast<int>(std::count(messages.begin(), messages.end(), message));
}

ParticleController* withFire(ParticleController& controller) {
    controller.addForceField("mainFF", "forceField");
    controller.addParticleEmitter("1red", "emitterA", "fluidA");
    controller.addParticleEmitter("2yellow", "emitterB", "fluidB");
    controller.link("mainFF", "1red");
    controller.link("mainFF", "2yellow");
    return &controller;
}

} // namespace

TEST_F(ParticleControllerTest, AnEmitterReadsItsTwoSectionsAndLogsWhatItMade) {
    LogCapture log;
    ParticleController controller(ball);
    controller.addParticleEmitter("1red", "emitterA", "fluidA");
    const ParticleEmitter& emitter = *controller.emitters.at("1red");
    ASSERT_NE(emitter.fluid, nullptr);
    ASSERT_NE(emitter.fluidEmitter, nullptr);
    for (const char* line :
         {"Init ParticleController", "Adding new Particle emitter 1red", "loading fluid emitter",
          "Fluidmode: SW", ">>Fluid created", "DimX: 0.6", "DimY: 0.4", "Rate: 60", "Random angle: 0.5",
          "TTL: 1", "loading fluid damping config", "loading fluid damping config done"}) {
        EXPECT_EQ(exactly(log, line), 1) << line;
    }
    EXPECT_TRUE(log.problems().empty());

    EXPECT_EQ(emitter.maxParticles, 300u);
    EXPECT_EQ(emitter.fluid->getMaxParticles(), 300u);
    EXPECT_EQ(emitter.fluid->getSimulationMethod(), PhysicsFluidSimulation::NoParticleInteraction);
    EXPECT_FLOAT_EQ(emitter.fluid->getKernelRadius(), 0.2f);
    EXPECT_FLOAT_EQ(emitter.fluid->getExternalAcceleration().y, 6.0f);
    EXPECT_FLOAT_EQ(emitter.fluidEmitter->getRate(), 60.0f);
    EXPECT_FLOAT_EQ(emitter.fluidEmitter->getFluidVelocityMagnitude(), 2.0f);
    EXPECT_FLOAT_EQ(emitter.fluidEmitter->getParticleLifetime(), 1.0f);
    EXPECT_EQ(emitter.fluidEmitter->getMaxParticles(), 200u);
    EXPECT_EQ(emitter.fluidEmitter->getFrameActor(), ball);
    EXPECT_TRUE(emitter.burst);
    EXPECT_FLOAT_EQ(emitter.particleSize, 1.0f);
    const ParticleDampingParameters& d = emitter.damping;
    EXPECT_FLOAT_EQ(d.minParticleLifetime, 0.3f);
    EXPECT_FLOAT_EQ(d.maxParticleLifetime, 1.0f);
    EXPECT_FLOAT_EQ(d.minExternalAcceleration.y, 1.5f);
    EXPECT_FLOAT_EQ(d.maxExternalAcceleration.x, 0.5f);
    EXPECT_FLOAT_EQ(d.minSize, 0.15f);
    EXPECT_FLOAT_EQ(d.maxSize, 0.6f);
    EXPECT_FLOAT_EQ(d.minRate, 60.0f);
    EXPECT_FLOAT_EQ(d.maxRate, 160.0f);
    EXPECT_FLOAT_EQ(d.minfluidVelocityMagnitude, 0.5f);
    EXPECT_FLOAT_EQ(d.maxfluidVelocityMagnitude, 2.0f);
    ASSERT_EQ(emitter.particles.size(), 300u);
    EXPECT_EQ(emitter.particles.back().owner, emitter.fluidEmitter->getIndex());
    EXPECT_EQ(emitter.vertices.size(), 300u * 12);
}

TEST_F(ParticleControllerTest, MissingKeysFallBackToTheRangesAndTheEngineDefaults) {
    ParticleController controller(ball);
    controller.addParticleEmitter("2yellow", "emitterB", "fluidB");
    const ParticleEmitter& emitter = *controller.emitters.at("2yellow");
    ASSERT_NE(emitter.fluidEmitter, nullptr);
    EXPECT_FALSE(emitter.burst);
    const PhysicsFluidDesc engine;
    EXPECT_FLOAT_EQ(emitter.fluid->getKernelRadius(), engine.kernelRadius());
    const ParticleDampingParameters& d = emitter.damping;
    EXPECT_FLOAT_EQ(d.minSize, 1.0f);
    EXPECT_FLOAT_EQ(d.maxSize, 1.0f);
    EXPECT_FLOAT_EQ(d.minRate, 30.0f);
    EXPECT_FLOAT_EQ(d.maxRate, 30.0f);
    EXPECT_FLOAT_EQ(d.minParticleLifetime, 0.5f);
    EXPECT_FLOAT_EQ(d.minfluidVelocityMagnitude, 1.0f);
    EXPECT_FLOAT_EQ(d.minExternalAcceleration.y, 0.0f);
}

TEST_F(ParticleControllerTest, ASecondEmitterOrFieldOfTheSameNameKeepsTheFirst) {
    ParticleController controller(ball);
    withFire(controller);
    const ParticleEmitter* first = controller.emitters.at("1red").get();
    const ForceField* field = controller.forceFields.at("mainFF").get();
    LogCapture log;
    controller.addParticleEmitter("1red", "emitterB", "fluidB");
    controller.addForceField("mainFF", "forceField");
    EXPECT_EQ(controller.emitters.at("1red").get(), first);
    EXPECT_EQ(controller.forceFields.at("mainFF").get(), field);
    EXPECT_EQ(log.count("TRACE", "1red already exists"), 1);
    EXPECT_EQ(log.count("TRACE", "mainFF already exists"), 1);
    EXPECT_EQ(scene->getNbFluids(), 2u);
}

TEST_F(ParticleControllerTest, AForceFieldRidesOnASmallActorOfItsOwnAboveTheOwner) {
    LogCapture log;
    ParticleController controller(ball);
    withFire(controller);
    const ForceField& field = *controller.forceFields.at("mainFF");
    ASSERT_NE(field.forceField, nullptr);
    for (const char* line : {"loading forcefield config forceField", ">>Creating actor for forcefieldmapping",
                             "FFOffset: 1", ">>Actor created", ">>Creating forcefield", "radial error: 15",
                             "axial error: 0", ">>ForceField created"}) {
        EXPECT_EQ(exactly(log, line), 1) << line;
    }
    EXPECT_EQ(field.actor->getGroup(), 3);
    EXPECT_TRUE(field.actor->isCollisionDisabled());
    EXPECT_FLOAT_EQ(field.actor->getGlobalPosition().y, 3.0f);
    EXPECT_FLOAT_EQ(field.forceField->getKernel().radialGain, 15.0f);
    // Both fluids are coupled to the field.
    EXPECT_EQ(controller.emitters.at("1red")->fluid->getForceFieldMaterial(), field.materialIndex);
    EXPECT_EQ(controller.emitters.at("2yellow")->fluid->getForceFieldMaterial(), field.materialIndex);
    controller.link("mainFF", "nothing");
    controller.link("nothing", "1red");
    EXPECT_EQ(controller.emitters.at("1red")->fluid->getForceFieldMaterial(), field.materialIndex);
}

TEST_F(ParticleControllerTest, UpdateMovesEverythingWithTheActorAndSpinsTheEmitters) {
    ParticleController controller(ball);
    withFire(controller);
    controller.offset = Vector3{0.0f, 2.8f, 0.0f};
    ball->setGlobalPosition({10.0f, 0.0f, -5.0f});
    const PhysicsFluidEmitter& emitter = *controller.emitters.at("1red")->fluidEmitter;
    for (int update = 0; update < 7; ++update) {
        controller.update();
        const PhysicsPose pose = emitter.getGlobalPose();
        EXPECT_NEAR(pose.position.x, 10.0f, 1e-5f);
        EXPECT_NEAR(pose.position.y, 2.8f, 1e-5f);
        EXPECT_NEAR(pose.position.z, -5.0f, 1e-5f);
        // The emitter's z axis turns about x by 60 degrees per update.
        const float angle = static_cast<float>(update % 6) * 60.0f * 3.14159265f / 180.0f;
        EXPECT_NEAR(pose.rotation[5], -std::sin(angle), 1e-5f) << update;
        EXPECT_NEAR(pose.rotation[8], std::cos(angle), 1e-5f) << update;
    }
    const PhysicsVec3 field = controller.forceFields.at("mainFF")->actor->getGlobalPosition();
    EXPECT_NEAR(field.x, 10.0f, 1e-5f);
    EXPECT_NEAR(field.y, 3.8f, 1e-5f);
    EXPECT_NEAR(field.z, -5.0f, 1e-5f);
}

TEST_F(ParticleControllerTest, DampingScalesTheFireWithTheSquareRootOfItsValue) {
    ParticleController controller(ball);
    withFire(controller);
    ParticleEmitter& red = *controller.emitters.at("1red");
    ParticleEmitter& yellow = *controller.emitters.at("2yellow");
    controller.burstMultiplier = 1.3f;

    controller.setDamping(0.25f); // k = 0.5
    EXPECT_FLOAT_EQ(red.particleSize, 0.15f + 0.45f * 0.5f);
    EXPECT_FLOAT_EQ(red.fluidEmitter->getParticleLifetime(), 0.3f + 0.7f * 0.5f);
    EXPECT_FLOAT_EQ(red.fluidEmitter->getFluidVelocityMagnitude(), (0.5f + 1.5f * 0.5f) * 1.3f);
    EXPECT_FLOAT_EQ(red.fluid->getExternalAcceleration().x, 0.25f);
    EXPECT_FLOAT_EQ(red.fluid->getExternalAcceleration().y, 1.5f + 4.5f * 0.5f);
    EXPECT_FLOAT_EQ(red.fluidEmitter->getRate(), 60.0f);
    EXPECT_FLOAT_EQ(yellow.fluidEmitter->getFluidVelocityMagnitude(), 1.0f); // burst off
    EXPECT_FLOAT_EQ(yellow.fluidEmitter->getRate(), 30.0f);

    controller.setDamping(0.0f);
    EXPECT_FLOAT_EQ(red.particleSize, 0.15f);
    EXPECT_FLOAT_EQ(red.fluidEmitter->getParticleLifetime(), 0.3f);
    EXPECT_FLOAT_EQ(red.fluidEmitter->getFluidVelocityMagnitude(), 0.5f * 1.3f);
    EXPECT_FLOAT_EQ(red.fluid->getExternalAcceleration().y, 1.5f);
    EXPECT_EQ(red.fluidEmitter->getRate(), 0.0f);
    EXPECT_EQ(yellow.fluidEmitter->getRate(), 0.0f);

    controller.setDamping(1.0f);
    EXPECT_FLOAT_EQ(red.particleSize, 0.6f);
    EXPECT_FLOAT_EQ(red.fluid->getExternalAcceleration().y, 6.0f);
    EXPECT_FLOAT_EQ(red.fluidEmitter->getRate(), 60.0f);
}

TEST_F(ParticleControllerTest, ABurstAfterDampingToZeroLeavesTheFireOut) {
    ParticleController controller(ball);
    withFire(controller);
    controller.setDamping(0.0f);
    controller.burstMultiplier = 1.3f;
    controller.setDamping(0.0f);
    controller.setEmitting(true); // the fire switch, while there is no energy
    for (const auto& [name, emitter] : controller.emitters) {
        EXPECT_EQ(emitter->fluidEmitter->getRate(), 0.0f) << name;
    }
    step(30);
    EXPECT_EQ(controller.emitters.at("1red")->particleCount, 0u);
    controller.setDamping(0.1f);
    EXPECT_FLOAT_EQ(controller.emitters.at("1red")->fluidEmitter->getRate(), 60.0f);
}

TEST_F(ParticleControllerTest, WithEnabledClearedDampingAndSwitchingChangeNothing) {
    ParticleController controller(ball);
    withFire(controller);
    ParticleEmitter& red = *controller.emitters.at("1red");
    controller.setEmitting(false);
    controller.enabled = false;
    controller.setDamping(1.0f);
    controller.setEmitting(true);
    EXPECT_EQ(red.fluidEmitter->getRate(), 0.0f);
    EXPECT_FLOAT_EQ(red.particleSize, 1.0f);
    EXPECT_FLOAT_EQ(red.fluid->getExternalAcceleration().y, 6.0f);
    controller.enabled = true;
    controller.setEmitting(true);
    EXPECT_FLOAT_EQ(red.fluidEmitter->getRate(), 60.0f);
}

TEST_F(ParticleControllerTest, TheFireBurnsAndGoesWithItsOwner) {
    {
        ParticleController controller(ball);
        withFire(controller);
        for (int i = 0; i < 60; ++i) {
            controller.update();
            step();
        }
        const ParticleEmitter& red = *controller.emitters.at("1red");
        EXPECT_NEAR(static_cast<float>(red.particleCount), 60.0f, 2.0f); // a second at 60 per second
        EXPECT_GT(controller.emitters.at("2yellow")->particleCount, 0u);
        controller.removeAllParticles();
        EXPECT_EQ(red.particleCount, 0u);
        EXPECT_EQ(controller.emitters.at("2yellow")->particleCount, 0u);
        EXPECT_EQ(scene->getNbForceFields(), 1u);
    }
    EXPECT_EQ(scene->getNbFluids(), 0u);
    EXPECT_EQ(scene->getNbForceFields(), 0u);
    EXPECT_EQ(scene->getNbActors(), 1u); // the field's actor is gone, the ball stays

    // A controller that outlives its scene lets go quietly.
    auto late = std::make_unique<ParticleController>(ball);
    withFire(*late);
    sdk.releaseScene(*scene);
    late.reset();
}

TEST_F(ParticleControllerTest, WithoutAnActorThereIsNoFire) {
    LogCapture log;
    ParticleController controller(nullptr);
    withFire(controller);
    controller.update();
    controller.setDamping(0.5f);
    controller.render();
    EXPECT_EQ(controller.emitters.at("1red")->fluid, nullptr);
    EXPECT_EQ(log.count("ERROR", "The fluid of section 'fluidA' has no actor"), 1);
    EXPECT_EQ(log.count("ERROR", "The force field of section 'forceField' has no actor"), 1);
}

TEST_F(ParticleControllerTest, ARefusedFluidLeavesTheEmitterEmpty) {
    writeConfiguration(std::string(kConfiguration) + "[fluidC]\nmaxParticles = -5\n");
    LogCapture log;
    ParticleController controller(ball);
    controller.addParticleEmitter("broken", "emitterB", "fluidC");
    EXPECT_EQ(controller.emitters.at("broken")->fluid, nullptr);
    EXPECT_TRUE(controller.emitters.at("broken")->particles.empty());
    EXPECT_EQ(log.count("ERROR", "The fluid of section 'fluidC' could not be created"), 1);
    controller.update();
    controller.render();
}
