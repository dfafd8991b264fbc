#include <gtest/gtest.h>

#include "PhysicsTestScene.h"

namespace {

class PhysicsSceneTest : public ::testing::Test {
protected:
    void SetUp() override { ball = world.addBall({0.0f, 100.0f, 0.0f}, 0.5f); }

    void simulateAndFetch(float elapsed) {
        world.scene->simulate(elapsed);
        world.scene->fetchResults();
    }

    PhysicsTestScene world;
    PhysicsActor* ball = nullptr;
};

} // namespace

TEST_F(PhysicsSceneTest, LongHitchIsCaughtUpForAtMostEightSteps) {
    simulateAndFetch(1.0f);
    EXPECT_NEAR(ball->getLinearVelocity().y, -19.62f * 8.0f / 60.0f, 1e-3f);
}

TEST_F(PhysicsSceneTest, PartialStepsAddUpToWholeInternalSteps) {
    simulateAndFetch(1.0f / 480.0f);
    EXPECT_FLOAT_EQ(ball->getLinearVelocity().y, 0.0f);
    simulateAndFetch(1.0f / 480.0f);
    EXPECT_NEAR(ball->getLinearVelocity().y, -19.62f / 240.0f, 1e-4f);
}

TEST_F(PhysicsSceneTest, SimulateWhileAStepIsPendingIsIgnored) {
    world.scene->simulate(1.0f / 60.0f);
    world.scene->simulate(1.0f / 60.0f);
    EXPECT_TRUE(world.scene->fetchResults());
    EXPECT_NEAR(ball->getLinearVelocity().y, -19.62f / 60.0f, 1e-4f);
    EXPECT_FALSE(world.scene->isSimulating());
}

TEST_F(PhysicsSceneTest, ReleasedActorsLeaveTheSceneAndItsReports) {
    RecordingContactReport report;
    world.scene->setUserContactReport(&report);
    world.scene->setActorGroupPairFlags(0, 0, PhysicsContactEvents::EndTouch | PhysicsContactEvents::Touch);
    PhysicsActor* ground = world.addBox({0.0f, 99.0f, 0.0f}, {2.0f, 0.5f, 2.0f});
    world.step(180); // long enough for the ball to fall asleep
    world.scene->releaseActor(*ground);
    report.contacts.clear();
    world.step(5);
    EXPECT_TRUE(report.contacts.empty());
    EXPECT_EQ(world.scene->getNbActors(), 1u);
    EXPECT_LT(ball->getLinearVelocity().y, -1.0f);
}
