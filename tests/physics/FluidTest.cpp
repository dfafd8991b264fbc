#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "PhysicsTestScene.h"
#include "physics/PhysicsCooking.h"

namespace {

// A fire-like fluid: rest spacing 0.1, kernel radius 0.2, no particle interaction.
PhysicsFluidDesc fireDesc() {
    PhysicsFluidDesc desc;
    desc.flags = PhysicsFluidFlags::Enabled;
    desc.maxParticles = 400;
    desc.restParticlesPerMeter = 10.0f;
    desc.kernelRadiusMultiplier = 2.0f;
    desc.stiffness = 50.0f;
    desc.viscosity = 40.0f;
    desc.simulationMethod = PhysicsFluidSimulation::NoParticleInteraction;
    return desc;
}

PhysicsParticle particleAt(const PhysicsVec3& position, const PhysicsVec3& velocity = {},
                           float lifetime = 0.0f) {
    PhysicsParticle particle;
    particle.position[0] = position.x;
    particle.position[1] = position.y;
    particle.position[2] = position.z;
    particle.velocity[0] = velocity.x;
    particle.velocity[1] = velocity.y;
    particle.velocity[2] = velocity.z;
    particle.lifetime = lifetime;
    return particle;
}

class FluidTest : public ::testing::Test {
protected:
    PhysicsFluid* createFluid(const PhysicsFluidDesc& desc) {
        PhysicsFluid* fluid = world.scene->createFluid(desc);
        if (fluid) {
            fluid->setParticlesWriteData({buffer.data(), static_cast<std::uint32_t>(buffer.size()), &count});
        }
        return fluid;
    }

    void add(PhysicsFluid& fluid, const std::vector<PhysicsParticle>& particles) {
        fluid.addParticles(particles.data(), static_cast<std::uint32_t>(particles.size()));
    }

    float lowestY() const {
        float lowest = INFINITY;
        for (std::uint32_t i = 0; i < count; ++i) {
            lowest = std::min(lowest, buffer[i].position[1]);
        }
        return lowest;
    }

    // Largest distance of a particle from the vertical line through (x, z).
    float widestFrom(float x, float z) const {
        float widest = 0.0f;
        for (std::uint32_t i = 0; i < count; ++i) {
            widest = std::max(widest, std::hypot(buffer[i].position[0] - x, buffer[i].position[2] - z));
        }
        return widest;
    }

    PhysicsTestScene world;
    std::vector<PhysicsParticle> buffer = std::vector<PhysicsParticle>(1000);
    std::uint32_t count = 0;
};

} // namespace

TEST_F(FluidTest, HardwareFluidsAndBadDescriptorsAreRefused) {
    PhysicsFluidDesc hardware = fireDesc();
    hardware.flags |= PhysicsFluidFlags::Hardware;
    EXPECT_EQ(world.scene->createFluid(hardware), nullptr);
    PhysicsFluidDesc empty = fireDesc();
    empty.maxParticles = 0;
    EXPECT_EQ(world.scene->createFluid(empty), nullptr);
    PhysicsFluidDesc bouncy = fireDesc();
    bouncy.restitutionForStaticShapes = 1.5f;
    EXPECT_EQ(world.scene->createFluid(bouncy), nullptr);
    EXPECT_NE(world.scene->createFluid(fireDesc()), nullptr);
    EXPECT_EQ(world.scene->getNbFluids(), 1u);
}

TEST_F(FluidTest, WithoutGravityAnUpwardAccelerationLiftsTheParticles) {
    PhysicsFluidDesc desc = fireDesc();
    desc.flags |= PhysicsFluidFlags::DisableGravity;
    desc.externalAcceleration = {0.0f, 6.0f, 0.0f};
    PhysicsFluid& fluid = *createFluid(desc);
    add(fluid, {particleAt({0, 5, 0}), particleAt({1, 5, 0})});
    world.step(60);
    ASSERT_EQ(count, 2u);
    // Half of 6 m/s^2 over one second, up to the step's discretisation.
    EXPECT_NEAR(buffer[0].position[1], 8.0f, 0.1f);
    EXPECT_NEAR(buffer[1].velocity[1], 6.0f, 0.01f);

    // Gravity, on by default, outweighs the same acceleration.
    PhysicsFluidDesc heavy = fireDesc();
    heavy.externalAcceleration = {0.0f, 6.0f, 0.0f};
    PhysicsFluid& falling = *world.scene->createFluid(heavy);
    PhysicsParticle fallen;
    std::uint32_t fallenCount = 0;
    falling.setParticlesWriteData({&fallen, 1, &fallenCount});
    add(falling, {particleAt({0, 5, 0})});
    world.step(60);
    EXPECT_NEAR(fallen.position[1], 5.0f - 0.5f * (19.62f - 6.0f), 0.1f);
}

TEST_F(FluidTest, ParticlesFallAndBounceOffAStaticFloorWithTheirRestitution) {
    world.addBox({0, -0.5f, 0}, {5, 0.5f, 5}); // top at 0
    for (const float restitution : {0.5f, 0.8f}) {
        PhysicsFluidDesc desc = fireDesc();
        desc.restitutionForStaticShapes = restitution;
        desc.dynamicFrictionForStaticShapes = 0.0f;
        PhysicsFluid& fluid = *createFluid(desc);
        const float drop = 3.0f;
        add(fluid, {particleAt({0, drop, 0})});
        float apex = 0.0f;
        bool bounced = false;
        for (int step = 0; step < 90; ++step) {
            world.step();
            bounced = bounced || (buffer[0].flags & PhysicsParticleFlags::CollisionStatic) != 0;
            if (bounced) {
                apex = std::max(apex, buffer[0].position[1]);
            }
            ASSERT_GE(buffer[0].position[1], 0.0f);
        }
        EXPECT_TRUE(bounced);
        // The height comes back with the square of the restitution.
        EXPECT_NEAR(apex / drop, restitution * restitution, 0.04f) << restitution;
        world.scene->releaseFluid(fluid);
    }
}

TEST_F(FluidTest, FastParticlesDoNotPassThinSlabs) {
    world.addBox({0, 0, 0}, {5, 0.05f, 5});                      // a 0.1 thick box
    world.addTessellatedFloor(-5.0f, 10.0f, 10, 10, 1.0f, 0.0f); // a mesh without thickness, at z 10..20
    PhysicsFluidDesc desc = fireDesc();
    desc.motionLimitMultiplier = 100.0f;
    PhysicsFluid& fluid = *createFluid(desc);
    add(fluid, {particleAt({0, 3, 0}, {0, -300, 0}), particleAt({1, 3, 15}, {0, -300, 0}),
                particleAt({-1, 3, 14}, {2, -150, 1})});
    for (int step = 0; step < 30; ++step) {
        world.step();
        ASSERT_EQ(count, 3u);
        EXPECT_GT(buffer[0].position[1], 0.05f);
        EXPECT_GT(buffer[1].position[1], 0.0f);
        EXPECT_GT(buffer[2].position[1], 0.0f);
    }
    // Particles also keep out of moving bodies.
    PhysicsActor* crate = world.addBox({3, 0.6f, 0}, {0.5f, 0.5f, 0.5f}, 1.0f);
    add(fluid, {particleAt({3, 4, 0}, {0, -100, 0})});
    world.step(20);
    EXPECT_GT(buffer[3].position[1], crate->getGlobalPosition().y + 0.49f);
}

TEST_F(FluidTest, ParticlesStayOutOfSpheresAndConvexHulls) {
    PhysicsConvexMeshDesc cube;
    for (int bits = 0; bits < 8; ++bits) {
        cube.points.insert(cube.points.end(),
                           {bits & 1 ? 1.0f : -1.0f, bits & 2 ? 1.0f : -1.0f, bits & 4 ? 1.0f : -1.0f});
    }
    MemoryWriteBuffer cooked;
    ASSERT_TRUE(PhysicsCooking::cookConvexMesh(cube, cooked));
    MemoryReadBuffer stream(cooked.getData());
    PhysicsShapeDesc hullShape;
    hullShape.type = PhysicsShapeType::Convex;
    hullShape.convexMesh = world.sdk.createConvexMesh(stream);
    PhysicsActorDesc hullActor;
    hullActor.shapes.push_back(hullShape);
    hullActor.globalPose.position = {4, 1, 0};
    ASSERT_NE(world.scene->createActor(hullActor), nullptr);
    PhysicsActor* ball = world.addBall({0, 1, 0}, 1.0f);
    world.addBox({0, -0.5f, 0}, {10, 0.5f, 10});

    PhysicsFluid& fluid = *createFluid(fireDesc());
    std::vector<PhysicsParticle> rain;
    for (int i = 0; i < 40; ++i) {
        const float x = -0.9f + 0.045f * static_cast<float>(i);
        rain.push_back(particleAt({x, 4, 0.1f}, {0, -30, 0}));
        rain.push_back(particleAt({4 + x, 4, -0.3f}, {0, -30, 0}));
    }
    add(fluid, rain);
    for (int step = 0; step < 30; ++step) {
        world.step();
        const PhysicsVec3 centre = ball->getGlobalPosition();
        for (std::uint32_t i = 0; i < count; ++i) {
            const float* p = buffer[i].position;
            EXPECT_GE(std::hypot(p[0] - centre.x, p[1] - centre.y, p[2] - centre.z), 1.0f) << i;
            EXPECT_FALSE(std::abs(p[0] - 4) < 1 && std::abs(p[1] - 1) < 1 && std::abs(p[2]) < 1) << i;
        }
    }
}

TEST_F(FluidTest, TheMotionLimitCapsHowFarAParticleMovesInOneInternalStep) {
    PhysicsFluid& fluid = *createFluid(fireDesc()); // 3 kernel radii of 0.2 per 1/240 s
    add(fluid, {particleAt({0, 100, 0}, {0, 1000, 0})});
    world.step();
    EXPECT_NEAR(buffer[0].position[1], 100.0f + 4 * 0.6f, 1e-2f);
    EXPECT_TRUE(buffer[0].flags & PhysicsParticleFlags::MotionLimitUp);
}

TEST_F(FluidTest, TheLiveCountNeverExceedsTheFluidsOrTheEmittersLimit) {
    PhysicsFluidDesc desc = fireDesc();
    desc.maxParticles = 80;
    desc.flags |= PhysicsFluidFlags::DisableGravity;
    PhysicsFluid& fluid = *createFluid(desc);
    PhysicsFluidEmitterDesc limited;
    limited.type = PhysicsEmitterType::ConstantFlowRate;
    limited.rate = 5000.0f;
    limited.maxParticles = 50;
    PhysicsFluidEmitter& first = *fluid.createEmitter(limited);
    world.step(3);
    EXPECT_EQ(first.getNbParticles(), 50u);
    EXPECT_EQ(count, 50u);

    PhysicsFluidEmitterDesc unlimited = limited;
    unlimited.maxParticles = 0;
    unlimited.relPose.position = {5, 0, 0};
    PhysicsFluidEmitter& second = *fluid.createEmitter(unlimited);
    for (int step = 0; step < 30; ++step) {
        world.step();
        EXPECT_LE(first.getNbParticles(), 50u);
        EXPECT_LE(count, 80u);
        EXPECT_EQ(fluid.getNbParticles(), first.getNbParticles() + second.getNbParticles());
    }
    EXPECT_EQ(count, 80u);
}

TEST_F(FluidTest, ParticlesDieAtTheEndOfTheirLifetime) {
    PhysicsFluidDesc desc = fireDesc();
    desc.flags |= PhysicsFluidFlags::DisableGravity;
    PhysicsFluid& fluid = *createFluid(desc);
    add(fluid, {particleAt({0, 0, 0}, {}, 0.25f), particleAt({1, 0, 0}, {}, 0.5f), particleAt({2, 0, 0})});
    world.step(14); // 0.233 s
    EXPECT_EQ(count, 3u);
    world.step(2);
    EXPECT_EQ(count, 2u);
    world.step(15);
    ASSERT_EQ(count, 1u);
    EXPECT_EQ(buffer[0].lifetime, 0.0f); // lives until removed
    fluid.removeAllParticles();

    PhysicsFluidEmitterDesc emitterDesc;
    emitterDesc.type = PhysicsEmitterType::ConstantFlowRate;
    emitterDesc.rate = 120.0f;
    emitterDesc.particleLifetime = 0.5f;
    PhysicsFluidEmitter& emitter = *fluid.createEmitter(emitterDesc);
    world.step(60);
    // Half a second's worth of particles is alive, none older than its lifetime.
    EXPECT_NEAR(static_cast<float>(emitter.getNbParticles()), 60.0f, 1.0f);
    for (std::uint32_t i = 0; i < count; ++i) {
        EXPECT_GT(buffer[i].lifetime, 0.0f);
        EXPECT_LE(buffer[i].lifetime, 0.5f);
    }
    emitter.setRate(0.0f);
    world.step(31);
    EXPECT_EQ(emitter.getNbParticles(), 0u);
}

TEST_F(FluidTest, RemovingAllParticlesEmptiesTheBufferAtOnce) {
    PhysicsFluid& fluid = *createFluid(fireDesc());
    PhysicsFluidEmitterDesc emitterDesc;
    emitterDesc.type = PhysicsEmitterType::ConstantFlowRate;
    emitterDesc.rate = 600.0f;
    emitterDesc.maxParticles = 20;
    PhysicsFluidEmitter& emitter = *fluid.createEmitter(emitterDesc);
    world.step(5);
    ASSERT_EQ(count, 20u);
    fluid.removeAllParticles();
    EXPECT_EQ(count, 0u);
    EXPECT_EQ(fluid.getNbParticles(), 0u);
    EXPECT_EQ(emitter.getNbParticles(), 0u);
    world.step(5);
    EXPECT_EQ(count, 20u); // the emitter goes on with its full allowance
}

TEST_F(FluidTest, TheWriteBufferKeepsTheOwnersSlotAndFollowsTheParticles) {
    for (PhysicsParticle& record : buffer) {
        record.owner = 77;
    }
    PhysicsFluid& fluid = *createFluid(fireDesc());
    add(fluid, {particleAt({1, 2, 3}, {0, 0, 0}, 2.0f)});
    world.step();
    ASSERT_EQ(count, 1u);
    EXPECT_EQ(buffer[0].owner, 77u);
    EXPECT_FLOAT_EQ(buffer[0].position[0], 1.0f);
    EXPECT_LT(buffer[0].position[1], 2.0f);
    EXPECT_NEAR(buffer[0].lifetime, 2.0f - 1.0f / 60.0f, 1e-5f);
    // A smaller buffer gets the first particles only.
    std::uint32_t few = 0;
    add(fluid, {particleAt({0, 0, 0}), particleAt({0, 1, 0})});
    fluid.setParticlesWriteData({buffer.data(), 2, &few});
    EXPECT_EQ(few, 2u);
}

TEST_F(FluidTest, EmittersRideOnTheirActorAndTheirParticlesPassThroughIt) {
    PhysicsFluidDesc desc = fireDesc();
    desc.flags |= PhysicsFluidFlags::DisableGravity;
    desc.damping = 0.5f;
    PhysicsFluid& fluid = *createFluid(desc);
    PhysicsActor* ball = world.addBall({0, 10, 0}, 1.0f);
    ball->setMaxAngularVelocity(0.0f);
    PhysicsFluidEmitterDesc emitterDesc;
    emitterDesc.frameActor = ball;
    emitterDesc.type = PhysicsEmitterType::ConstantFlowRate;
    emitterDesc.shape = PhysicsEmitterShape::Ellipse;
    emitterDesc.dimensionX = 0.3f;
    emitterDesc.dimensionY = 0.3f;
    emitterDesc.rate = 120.0f;
    emitterDesc.fluidVelocityMagnitude = 3.0f;
    PhysicsFluidEmitter& emitter = *fluid.createEmitter(emitterDesc);
    // Pointing up from the ball's centre: z of the emitter along the world's y.
    PhysicsPose up;
    const float rotation[9] = {1, 0, 0, 0, 0, 1, 0, -1, 0};
    std::copy(rotation, rotation + 9, up.rotation);
    up.position = ball->getGlobalPosition();
    emitter.setGlobalPose(up);
    world.step(45);
    ASSERT_GT(count, 20u);
    const float ballY = ball->getGlobalPosition().y;
    int above = 0;
    for (std::uint32_t i = 0; i < count; ++i) {
        above += buffer[i].position[1] > ballY + 1.0f ? 1 : 0;
        EXPECT_LE(std::hypot(buffer[i].position[0], buffer[i].position[2]), 0.3f + 1e-4f);
    }
    EXPECT_GT(above, static_cast<int>(count) / 2);
    // The emitter's pose is relative to the ball, which has fallen since.
    EXPECT_NEAR(emitter.getGlobalPosition().y, ballY, 1e-4f);
    EXPECT_LT(ballY, 9.0f);
}

TEST_F(FluidTest, ALinkedForceFieldPushesParticlesOutOfItsBoxAnUnlinkedOneDoesNot) {
    PhysicsActor* holder = world.addBox({0, 5, 0}, {0.1f, 0.1f, 0.1f});
    holder->raiseActorFlag(PhysicsActorFlag::DisableCollision);
    PhysicsForceFieldDesc fieldDesc;
    fieldDesc.actor = holder;
    fieldDesc.kernel.radialGain = 15.0f;
    PhysicsForceField& field = *world.scene->createForceField(fieldDesc);
    PhysicsForceField& other = *world.scene->createForceField(fieldDesc);
    EXPECT_NE(field.getForceFieldMaterial(), other.getForceFieldMaterial());

    PhysicsFluidDesc desc = fireDesc();
    desc.flags |= PhysicsFluidFlags::DisableGravity;
    std::vector<PhysicsParticle> inside;
    for (int i = 0; i < 16; ++i) {
        const float angle = 0.4f * static_cast<float>(i);
        const float radius = 0.1f + 0.05f * static_cast<float>(i % 4);
        inside.push_back(
            particleAt({radius * std::cos(angle), 4.2f + 0.1f * (i % 8), radius * std::sin(angle)}));
    }
    PhysicsFluid& linked = *createFluid(desc);
    linked.setForceFieldMaterial(field.getForceFieldMaterial());
    add(linked, inside);
    PhysicsFluid& unlinked = *world.scene->createFluid(desc);
    std::vector<PhysicsParticle> still(16);
    std::uint32_t stillCount = 0;
    unlinked.setParticlesWriteData({still.data(), 16, &stillCount});
    add(unlinked, inside);

    world.step(180);
    ASSERT_EQ(count, 16u);
    for (std::uint32_t i = 0; i < count; ++i) {
        const float across = std::max(std::abs(buffer[i].position[0]), std::abs(buffer[i].position[2]));
        EXPECT_GT(across, 1.0f) << i; // outside the box of half size 1
    }
    ASSERT_EQ(stillCount, 16u);
    for (std::uint32_t i = 0; i < stillCount; ++i) {
        EXPECT_FLOAT_EQ(still[i].position[0], inside[i].position[0]);
        EXPECT_FLOAT_EQ(still[i].position[1], inside[i].position[1]);
    }
}

TEST_F(FluidTest, WithParticleInteractionAColumnSpreadsInsteadOfCollapsing) {
    world.addBox({0, -0.5f, 0}, {5, 0.5f, 5});
    std::vector<PhysicsParticle> column;
    for (int level = 0; level < 25; ++level) {
        for (const float x : {-0.025f, 0.025f}) {
            for (const float z : {-0.025f, 0.025f}) {
                column.push_back(particleAt({x, 0.05f + 0.05f * static_cast<float>(level), z}));
            }
        }
    }
    PhysicsFluidDesc desc = fireDesc();
    desc.restitutionForStaticShapes = 0.0f;
    PhysicsFluid& apart = *createFluid(desc);
    add(apart, column);
    world.step(120);
    EXPECT_LT(widestFrom(0, 0), 0.05f);
    EXPECT_GE(lowestY(), 0.0f);
    world.scene->releaseFluid(apart);

    desc.simulationMethod = PhysicsFluidSimulation::ParticleInteraction;
    PhysicsFluid& together = *createFluid(desc);
    add(together, column);
    world.step(120);
    ASSERT_EQ(count, column.size());
    EXPECT_GT(widestFrom(0, 0), 0.3f);
    EXPECT_GE(lowestY(), 0.0f);
    for (std::uint32_t i = 0; i < count; ++i) {
        EXPECT_GT(buffer[i].density, 0.0f);
    }
}
