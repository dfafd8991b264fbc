#include <gtest/gtest.h>

#include "PhysicsTestScene.h"

namespace {

constexpr std::uint16_t kTriggerGroup = 31;

class TriggerReportTest : public ::testing::Test {
protected:
    void SetUp() override {
        world.scene->setUserTriggerReport(&report);
        world.addTessellatedFloor(-10.0f, -3.0f, 40, 6, 1.0f, 0.0f);
        trigger = world.addBox({5.0f, 1.0f, 0.0f}, {1.0f, 1.0f, 1.0f}, 0.0f, kTriggerGroup,
                               PhysicsShapeFlags::TriggerEnable);
    }

    // Rolls a ball from x = 0 through the trigger at x = 5.
    PhysicsActor* rollBallThrough(std::uint16_t shapeGroup) {
        PhysicsActor* ball = world.addBall({0.0f, 0.5f, 0.0f}, 0.5f, shapeGroup);
        ball->setMaxAngularVelocity(100.0f);
        ball->setLinearVelocity({6.0f, 0.0f, 0.0f});
        ball->setAngularVelocity({0.0f, 0.0f, -12.0f});
        world.step(120);
        return ball;
    }

    PhysicsTestScene world;
    RecordingTriggerReport report;
    PhysicsActor* trigger = nullptr;
};

} // namespace

TEST_F(TriggerReportTest, BallRollingThroughEntersOnceAndLeavesOnceWithoutBeingStopped) {
    PhysicsActor* ball = rollBallThrough(1);

    EXPECT_EQ(report.count(PhysicsShapeFlags::TriggerOnEnter), 1);
    EXPECT_EQ(report.count(PhysicsShapeFlags::TriggerOnLeave), 1);
    EXPECT_GT(report.count(PhysicsShapeFlags::TriggerOnStay), 0);
    EXPECT_EQ(report.triggers.front().status, PhysicsShapeFlags::TriggerOnEnter);
    EXPECT_EQ(report.triggers.front().triggerShape, trigger->getShapes().front());
    EXPECT_EQ(report.triggers.front().otherShape, ball->getShapes().front());
    EXPECT_EQ(report.triggers.back().status, PhysicsShapeFlags::TriggerOnLeave);
    EXPECT_GT(ball->getGlobalPosition().x, 8.0f);
}

TEST_F(TriggerReportTest, ShapeOfAGroupFilteredAgainstTheTriggerReportsNothing) {
    world.scene->setGroupCollisionFlag(kTriggerGroup, 5, false);
    rollBallThrough(5);
    EXPECT_TRUE(report.triggers.empty());
}

TEST_F(TriggerReportTest, TriggerReportsOnlyTheStatusesItsFlagsAsk) {
    trigger->getShapes().front()->setFlag(PhysicsShapeFlags::TriggerOnStay, false);
    trigger->getShapes().front()->setFlag(PhysicsShapeFlags::TriggerOnLeave, false);
    rollBallThrough(0);
    ASSERT_EQ(report.triggers.size(), 1u);
    EXPECT_EQ(report.triggers.front().status, PhysicsShapeFlags::TriggerOnEnter);
}

TEST_F(TriggerReportTest, TriggerMovedOntoASleepingBallReportsEnter) {
    PhysicsActor* ball = world.addBall({-5.0f, 0.5f, 0.0f}, 0.5f);
    world.step(180); // asleep by now
    trigger->setGlobalPosition(ball->getGlobalPosition());
    world.step();
    EXPECT_EQ(report.count(PhysicsShapeFlags::TriggerOnEnter), 1);
}

TEST_F(TriggerReportTest, TriggersEnteredInOneStepReportInTheOrderTheyWereMade) {
    std::vector<PhysicsActor*> triggers;
    for (int i = 0; i < 3; ++i) {
        triggers.push_back(world.addBox({-5.0f, 3.0f, 0.0f}, {1.0f, 1.0f, 1.0f}, 0.0f, kTriggerGroup,
                                        PhysicsShapeFlags::TriggerOnEnter));
    }
    // A new trigger may take the memory of a released one, ahead of the others in address order.
    world.scene->releaseActor(*triggers.front());
    triggers.erase(triggers.begin());
    triggers.push_back(world.addBox({-5.0f, 3.0f, 0.0f}, {1.0f, 1.0f, 1.0f}, 0.0f, kTriggerGroup,
                                    PhysicsShapeFlags::TriggerOnEnter));
    world.addBall({-5.0f, 3.0f, 0.0f}, 0.5f);
    world.step();
    std::vector<PhysicsShape*> entered;
    for (const RecordedTrigger& trigger : report.triggers) {
        if (&trigger.triggerShape->getActor() != this->trigger) {
            entered.push_back(trigger.triggerShape);
        }
    }
    ASSERT_EQ(entered.size(), 3u);
    for (std::size_t i = 0; i < entered.size(); ++i) {
        EXPECT_EQ(entered[i], triggers[i]->getShapes().front()) << i;
    }
}
