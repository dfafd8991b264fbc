#include <gtest/gtest.h>

#include "TempDataRoot.h"
#include "core/ConfigManager.h"
#include "physics/PhysicsActor.h"
#include "physics/PhysicsActorDesc.h"
#include "physics/PhysicsScene.h"
#include "physics/PhysicsTriggerReport.h"
#include "scene/PhysicsManager.h"

namespace {

class CountingTriggerReport : public PhysicsTriggerReport {
public:
    void onTrigger(PhysicsShape&, PhysicsShape&, std::uint32_t) override { ++events; }
    int events = 0;
};

class PhysicsManagerTest : public ::testing::Test {
protected:
    void TearDown() override {
        PhysicsManager::destroy();
        ConfigManager::destroy();
    }

    // A falling ball inside a trigger box: every step it runs moves the ball, and the
    // first one reports the ball entering.
    PhysicsActor* ballInATrigger(PhysicsScene& scene) {
        scene.setUserTriggerReport(&report);
        PhysicsShapeDesc box;
        box.type = PhysicsShapeType::Box;
        box.dimensions = {2.0f, 2.0f, 2.0f};
        box.flags = PhysicsShapeFlags::TriggerEnable;
        PhysicsActorDesc trigger;
        trigger.shapes.push_back(box);
        scene.createActor(trigger);
        PhysicsShapeDesc sphere;
        sphere.type = PhysicsShapeType::Sphere;
        sphere.radius = 0.5f;
        PhysicsBodyDesc body;
        body.mass = 1.0f;
        PhysicsActorDesc ball;
        ball.shapes.push_back(sphere);
        ball.body = &body;
        return scene.createActor(ball);
    }

    TempDataRoot root;
    CountingTriggerReport report;
};

TEST_F(PhysicsManagerTest, ScenesFallBackToSoftwareWithTheGameGravity) {
    PhysicsManager* manager = PhysicsManager::getInstance();
    ASSERT_NE(manager, nullptr);
    PhysicsScene* scene = manager->createScene();
    ASSERT_NE(scene, nullptr);
    EXPECT_FLOAT_EQ(scene->getGravity().y, -19.62f);
    EXPECT_EQ(manager->getCurrentScene(), nullptr);
}

// Only play fetches a step: one in flight when the level changes belongs to a game
// that has moved on, and its events must not reach it.
TEST_F(PhysicsManagerTest, ChangingTheCurrentSceneDropsTheStepInFlight) {
    PhysicsManager* manager = PhysicsManager::getInstance();
    PhysicsScene* first = manager->createScene();
    PhysicsScene* second = manager->createScene();
    const PhysicsActor* ball = ballInATrigger(*first);
    manager->setCurrentScene(first, true);
    EXPECT_TRUE(manager->isSimulating());
    EXPECT_TRUE(first->isSimulating());
    manager->setCurrentScene(second, false);
    EXPECT_FALSE(first->isSimulating());
    EXPECT_FALSE(manager->isSimulating());
    EXPECT_EQ(report.events, 0);
    EXPECT_EQ(ball->getGlobalPosition().y, 0.0f) << "the dropped step moved nothing";
    manager->startStep();
    EXPECT_TRUE(second->isSimulating());
    manager->setCurrentScene(nullptr, true);
    EXPECT_FALSE(manager->isSimulating());
    EXPECT_FALSE(second->isSimulating());

    manager->setCurrentScene(first, true);
    manager->fetchResults();
    EXPECT_EQ(report.events, 1) << "the next step the game fetches runs as ever";
    EXPECT_LT(ball->getGlobalPosition().y, 0.0f);
}

TEST_F(PhysicsManagerTest, ShutdownAndAReleasedSceneDropTheirStepsWithoutAnEvent) {
    PhysicsManager* manager = PhysicsManager::getInstance();
    PhysicsScene* released = manager->createScene();
    ballInATrigger(*released);
    manager->setCurrentScene(released, true);
    manager->releaseScene(released);
    EXPECT_EQ(report.events, 0);
    EXPECT_EQ(manager->getCurrentScene(), nullptr);

    PhysicsScene* kept = manager->createScene();
    ballInATrigger(*kept);
    manager->setCurrentScene(kept, true);
    PhysicsManager::destroy();
    EXPECT_EQ(report.events, 0) << "the game's reports are gone at shutdown";
}

} // namespace
