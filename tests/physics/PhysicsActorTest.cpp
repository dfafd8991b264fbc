#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "PhysicsTestScene.h"
#include "physics/PhysicsCooking.h"

namespace {

float length(const PhysicsVec3& v) {
    return std::sqrt(v.x * v.x + v.y * v.y + v.z * v.z);
}

class PhysicsActorTest : public ::testing::Test {
protected:
    PhysicsActorDesc bodyWith(const PhysicsShapeDesc& shape, float mass, float density) {
        body.mass = mass;
        PhysicsActorDesc desc;
        desc.shapes.push_back(shape);
        desc.body = &body;
        desc.density = density;
        return desc;
    }

    PhysicsConvexMesh* cookUnitCube() {
        PhysicsConvexMeshDesc desc;
        for (float x : {-1.0f, 1.0f}) {
            for (float y : {-1.0f, 1.0f}) {
                for (float z : {-1.0f, 1.0f}) {
                    desc.points.insert(desc.points.end(), {x, y, z});
                }
            }
        }
        desc.points.insert(desc.points.end(), {0.2f, 0.3f, -0.1f}); // inside, dropped by the hull
        MemoryWriteBuffer cooked;
        EXPECT_TRUE(PhysicsCooking::cookConvexMesh(desc, cooked));
        MemoryReadBuffer stream(cooked.getData());
        return world.sdk.createConvexMesh(stream);
    }

    PhysicsTestScene world;
    PhysicsBodyDesc body;
};

} // namespace

TEST_F(PhysicsActorTest, MassComesFromTheGivenMassOrFromDensityTimesVolume) {
    PhysicsShapeDesc sphere;
    sphere.type = PhysicsShapeType::Sphere;
    sphere.radius = 2.0f;
    PhysicsShapeDesc box;
    box.type = PhysicsShapeType::Box;
    box.dimensions = {1.0f, 2.0f, 3.0f};
    PhysicsShapeDesc convex;
    convex.type = PhysicsShapeType::Convex;
    convex.convexMesh = cookUnitCube();

    EXPECT_FLOAT_EQ(world.scene->createActor(bodyWith(sphere, 5.0f, 0.0f))->getMass(), 5.0f);
    EXPECT_NEAR(world.scene->createActor(bodyWith(sphere, 0.0f, 1.0f))->getMass(),
                4.0f / 3.0f * std::numbers::pi_v<float> * 8.0f, 1e-3f);
    EXPECT_FLOAT_EQ(world.scene->createActor(bodyWith(box, 0.0f, 0.5f))->getMass(), 24.0f);
    ASSERT_NE(convex.convexMesh, nullptr);
    EXPECT_NEAR(world.scene->createActor(bodyWith(convex, 0.0f, 2.0f))->getMass(), 16.0f, 1e-3f);
}

TEST_F(PhysicsActorTest, DescriptorsTheEngineCannotUseAreRefused) {
    PhysicsShapeDesc sphere;
    sphere.type = PhysicsShapeType::Sphere;
    EXPECT_EQ(world.scene->createActor(bodyWith(sphere, 0.0f, 0.0f)), nullptr);
    EXPECT_EQ(world.scene->createActor(bodyWith(sphere, 1.0f, 1.0f)), nullptr);
    PhysicsShapeDesc convexWithoutMesh;
    convexWithoutMesh.type = PhysicsShapeType::Convex;
    EXPECT_EQ(world.scene->createActor(bodyWith(convexWithoutMesh, 1.0f, 0.0f)), nullptr);
    sphere.radius = -1.0f;
    EXPECT_EQ(world.scene->createActor(bodyWith(sphere, 1.0f, 0.0f)), nullptr);

    PhysicsShapeDesc mesh;
    mesh.type = PhysicsShapeType::TriangleMesh;
    mesh.triangleMesh = world.cookGrid(0.0f, 0.0f, 2, 2, 1.0f, 0.0f);
    EXPECT_EQ(world.scene->createActor(bodyWith(mesh, 1.0f, 0.0f)), nullptr);
    EXPECT_EQ(world.scene->createActor(PhysicsActorDesc{}), nullptr);
    EXPECT_EQ(world.scene->getNbActors(), 0u);
}

TEST_F(PhysicsActorTest, MaximumAngularVelocityDefaultsToSevenAndZeroStopsRotation) {
    world.addBox({0.0f, -1.0f, 0.0f}, {20.0f, 1.0f, 20.0f});
    PhysicsActor* ball = world.addBall({0.0f, 0.5f, 0.0f}, 0.5f);
    EXPECT_FLOAT_EQ(ball->getMaxAngularVelocity(), 7.0f);
    ball->setAngularVelocity({0.0f, 0.0f, -30.0f});
    world.step();
    EXPECT_LE(length(ball->getAngularVelocity()), 7.0f + 1e-3f);

    // Braked: a pushed ball slides without turning.
    ball->setMaxAngularVelocity(0.0f);
    const PhysicsQuat before = ball->getGlobalOrientationQuat();
    ball->setLinearVelocity({5.0f, 0.0f, 0.0f});
    world.step(20);
    const PhysicsQuat after = ball->getGlobalOrientationQuat();
    EXPECT_FLOAT_EQ(length(ball->getAngularVelocity()), 0.0f);
    EXPECT_NEAR(std::abs(before.x * after.x + before.y * after.y + before.z * after.z + before.w * after.w),
                1.0f, 1e-5f);
    EXPECT_GT(ball->getGlobalPosition().x, 0.5f);
}

TEST_F(PhysicsActorTest, TorqueAboutMinusXRollsTheBallTowardsMinusZ) {
    world.addBox({0.0f, -1.0f, 0.0f}, {20.0f, 1.0f, 20.0f});
    PhysicsActor* ball = world.addBall({0.0f, 0.5f, 0.0f}, 0.5f);
    const float k = ball->getMass() * 1000.0f / 60.0f;
    for (int i = 0; i < 30; ++i) {
        ball->addTorque({-k * 0.1f, 0.0f, 0.0f});
        world.step();
    }
    EXPECT_LT(ball->getLinearVelocity().z, -0.5f);
    EXPECT_LT(ball->getGlobalPosition().z, -0.2f);
    EXPECT_NEAR(ball->getGlobalPosition().x, 0.0f, 1e-3f);
}

TEST_F(PhysicsActorTest, ForceActsForOneStepAndImpulseChangesVelocityAtOnce) {
    PhysicsActor* ball = world.addBall({0.0f, 10.0f, 0.0f}, 0.5f);
    world.scene->setGravity({0.0f, 0.0f, 0.0f});
    ball->addForce({60.0f, 0.0f, 0.0f}); // 1 kg for 1/60 s: 1 m/s
    world.step();
    EXPECT_NEAR(ball->getLinearVelocity().x, 1.0f, 1e-4f);
    world.step();
    EXPECT_NEAR(ball->getLinearVelocity().x, 1.0f, 1e-4f);

    ball->addForce({0.0f, 3.5f, 0.0f}, PhysicsForceMode::Impulse);
    EXPECT_NEAR(ball->getLinearVelocity().y, 3.5f, 1e-4f);
    ball->setLinearMomentum({0.0f, 0.0f, 2.0f});
    EXPECT_NEAR(ball->getLinearVelocity().z, 2.0f, 1e-5f);
    EXPECT_NEAR(ball->getLinearMomentum().z, 2.0f, 1e-5f);
}

TEST_F(PhysicsActorTest, DisabledCollisionOnAKinematicBoxLetsTheBallFallThroughWhileTheBoxStays) {
    PhysicsActor* ground = world.addBox({0.0f, -1.0f, 0.0f}, {5.0f, 1.0f, 5.0f}, 1.0f);
    ground->raiseBodyFlag(PhysicsBodyFlag::Kinematic);
    PhysicsActor* ball = world.addBall({0.0f, 0.5f, 0.0f}, 0.5f);
    world.step(30);
    EXPECT_NEAR(ball->getGlobalPosition().y, 0.5f, 0.02f);

    ground->raiseActorFlag(PhysicsActorFlag::DisableCollision);
    world.step(45);
    EXPECT_LT(ball->getGlobalPosition().y, -3.0f);
    EXPECT_FLOAT_EQ(ground->getGlobalPosition().y, -1.0f);
    EXPECT_TRUE(ground->readActorFlag(PhysicsActorFlag::DisableCollision));

    // Cleared again, the box is solid and falls itself.
    ground->clearActorFlag(PhysicsActorFlag::DisableCollision);
    ground->clearBodyFlag(PhysicsBodyFlag::Kinematic);
    ball->setGlobalPosition({0.0f, 5.0f, 0.0f});
    ball->setLinearVelocity({});
    world.step(30);
    EXPECT_LT(ground->getGlobalPosition().y, -2.0f);
    EXPECT_GT(ball->getGlobalPosition().y, ground->getGlobalPosition().y + 1.0f);
}

TEST_F(PhysicsActorTest, GlobalPoseRoundTripsAndOrientationFollowsTheQuaternion) {
    PhysicsActor* box = world.addBox({1.0f, 2.0f, 3.0f}, {1.0f, 1.0f, 1.0f}, 1.0f);
    const float half = std::sqrt(0.5f);
    box->setGlobalOrientationQuat({0.0f, half, 0.0f, half}); // 90 degrees about Y
    const PhysicsPose pose = box->getGlobalPose();
    EXPECT_NEAR(pose.rotation[2], 1.0f, 1e-6f); // row 0 maps z onto x
    EXPECT_NEAR(pose.rotation[6], -1.0f, 1e-6f);
    EXPECT_FLOAT_EQ(pose.position.z, 3.0f);

    PhysicsPose moved = pose;
    moved.position = {-4.0f, 5.0f, 6.0f};
    box->setGlobalPose(moved);
    EXPECT_FLOAT_EQ(box->getGlobalPosition().x, -4.0f);
    EXPECT_NEAR(box->getGlobalOrientationQuat().y, half, 1e-6f);
}

TEST_F(PhysicsActorTest, SmallFastBallDoesNotTunnelThroughAThinWall) {
    world.scene->setGravity({0.0f, 0.0f, 0.0f});
    world.addBox({5.0f, 0.0f, 0.0f}, {0.05f, 5.0f, 5.0f});
    PhysicsActor* pellet = world.addBall({0.0f, 0.0f, 0.0f}, 0.1f);
    pellet->setLinearVelocity({200.0f, 0.0f, 0.0f}); // 0.83 units per internal step
    world.step(10);
    EXPECT_LT(pellet->getGlobalPosition().x, 5.0f);
}

// A platform moved a little each step, as a level drives it along its path: it ends each step
// where it was sent, the engine sees it moving, and a ball resting on it rides along without
// slipping off; sent somewhere, anything else is simply put there.
TEST_F(PhysicsActorTest, AKinematicPlatformGlidesWhereItIsSentAndCarriesTheBallOnIt) {
    PhysicsActor* platform = world.addBox({0.0f, -0.5f, 0.0f}, {3.0f, 0.5f, 3.0f}, 1.0f);
    platform->raiseBodyFlag(PhysicsBodyFlag::Kinematic);
    PhysicsActor* ball = world.addBall({0.0f, 1.0f, 0.0f}, 1.0f);
    ball->setMaxAngularVelocity(0.0f); // braked: it cannot roll back off the platform
    world.step(30);
    ASSERT_NEAR(ball->getGlobalPosition().y, 1.0f, 0.05f);

    constexpr float kSpeed = 3.0f;
    for (int step = 1; step <= 120; ++step) {
        platform->moveGlobalPosition({0.0f, -0.5f, -kSpeed * static_cast<float>(step) / 60.0f});
        world.step();
        EXPECT_NEAR(platform->getGlobalPosition().z, -kSpeed * static_cast<float>(step) / 60.0f, 1e-4f);
    }
    EXPECT_NEAR(platform->getLinearVelocity().z, -kSpeed, 0.05f);
    EXPECT_NEAR(platform->getGlobalPosition().y, -0.5f, 1e-5f) << "nothing pushes it";
    EXPECT_NEAR(ball->getGlobalPosition().z, -6.0f, 1.0f) << "carried along";
    EXPECT_NEAR(ball->getGlobalPosition().y, 1.0f, 0.05f) << "still on top";

    // Standing still again, it stays put with nothing moving it.
    world.step(30);
    EXPECT_NEAR(platform->getLinearVelocity().z, 0.0f, 1e-4f);
    EXPECT_NEAR(platform->getGlobalPosition().z, -6.0f, 1e-4f);

    ball->moveGlobalPosition({10.0f, 1.0f, 0.0f});
    EXPECT_FLOAT_EQ(ball->getGlobalPosition().x, 10.0f) << "a body that is not kinematic goes at once";
}
