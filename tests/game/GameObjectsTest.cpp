#include <gtest/gtest.h>

#include <BulletDynamics/Dynamics/btRigidBody.h>

#include "GameFixture.h"
#include "audio/SoundManager.h"
#include "game/CheckPoint.h"
#include "game/Item.h"
#include "game/MainChar.h"
#include "physics/PhysicsActor.h"
#include "scene/OgreScene.h"

namespace {

using GameObjectsTest = GameTest;

float distance(const PhysicsVec3& a, const PhysicsVec3& b) {
    return Vector3{a.x - b.x, a.y - b.y, a.z - b.z}.length();
}

TEST_F(GameObjectsTest, RollingOverAnEnergyItemPicksItUpOnceWithItsSoundItsValueAndABurst) {
    play(standardNodes());
    auto* gem = dynamic_cast<Item*>(object("Gem"));
    ASSERT_NE(gem->triggerActor, nullptr);
    EXPECT_EQ(distance(gem->triggerActor->getGlobalPosition(), {-10.0f, 1.0f, -10.0f}), 0.0f)
        << "the trigger starts on the item";
    ball->setEnergy(0.5f);
    putBall(-10.0f, 1.0f, -4.0f);
    ball->getActor()->setLinearVelocity({0.0f, 0.0f, -10.0f});
    run(60);
    EXPECT_FALSE(gem->active);
    EXPECT_TRUE(gem->getActor()->isCollisionDisabled());
    EXPECT_NEAR(ball->energy, 0.8f - 60 * ball->energyDrain, 1e-5f);
    EXPECT_EQ(ball->burstCount, 1);
    EXPECT_EQ(playing("../sounds/power.wav"), 1);

    for (SoundSource* source : SoundManager::getInstance()->getAllSources()) {
        source->stop();
    }
    putBall(-10.0f, 1.0f, -4.0f);
    ball->getActor()->setLinearVelocity({0.0f, 0.0f, -10.0f});
    run(60);
    EXPECT_LT(ball->getPosition()->z, -10.5f) << "through the item's place";
    EXPECT_NEAR(ball->energy, 0.8f - 120 * ball->energyDrain, 1e-5f) << "an inactive item gives nothing";
    EXPECT_EQ(ball->burstCount, 1);
    EXPECT_EQ(playing("../sounds/power.wav"), 0);
}

// Back at the main menu the level is reset for the next game, whose player must find
// every item as the level was built: solid, resting and there to be picked up.
TEST_F(GameObjectsTest, AResetGivesBackAPickedUpItemAsItWasBuilt) {
    play(standardNodes());
    auto* gem = dynamic_cast<Item*>(object("Gem"));
    gem->pickUp();
    scene->reset();
    EXPECT_TRUE(gem->active);
    EXPECT_FALSE(gem->getActor()->isCollisionDisabled());
    EXPECT_TRUE(gem->getActor()->isMovable());
    putBall(-10.0f, 1.0f, -4.0f);
    ball->getActor()->setLinearVelocity({0.0f, 0.0f, -10.0f});
    run(60);
    EXPECT_FALSE(gem->active) << "picked up in the new game";
}

TEST_F(GameObjectsTest, AnItemAtRestFallsAsleepWithItsTriggerOnIt) {
    std::vector<TestNode> nodes = standardNodes();
    nodes[5].y = 3.0f; // the item falls onto the floor first
    play(nodes);
    auto* gem = dynamic_cast<Item*>(object("Gem"));
    run(5 * 60);
    EXPECT_NEAR(gem->getPosition()->y, 1.0f, 0.01f);
    EXPECT_FALSE(gem->getActor()->getRigidBody().isActive());
    EXPECT_LE(distance(gem->triggerActor->getGlobalPosition(), gem->getActor()->getGlobalPosition()),
              Item::kTriggerSlack);
}

TEST_F(GameObjectsTest, AReachedCheckpointPulsesWithAPeriodOfPiSecondsUntilReset) {
    play(standardNodes());
    auto* pad = dynamic_cast<CheckPoint*>(object("Pad"));
    tick(785); // a quarter period
    pad->update();
    EXPECT_EQ(pad->fade, 0.0f) << "untouched";
    pad->reached = true;
    pad->update();
    EXPECT_NEAR(pad->fade, 1.0f, 1e-3f);
    tick(1571);
    pad->update();
    EXPECT_NEAR(pad->fade, 0.2f, 1e-3f);
    pad->saveTime = 1000;
    pad->reset();
    EXPECT_EQ(pad->fade, 0.0f);
    EXPECT_FALSE(pad->saveTime.has_value());
    EXPECT_FALSE(pad->reached);
}

} // namespace
