#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "PhysicsTestScene.h"

namespace {

constexpr std::uint32_t kAllTouchEvents =
    PhysicsContactEvents::StartTouch | PhysicsContactEvents::EndTouch | PhysicsContactEvents::Touch;

class ContactReportTest : public ::testing::Test {
protected:
    void SetUp() override {
        world.scene->setUserContactReport(&report);
        world.scene->setActorGroupPairFlags(0, 0, kAllTouchEvents);
    }

    PhysicsTestScene world;
    RecordingContactReport report;
};

} // namespace

TEST_F(ContactReportTest, BallRollingOverTessellatedFloorStaysDownKeepsSpeedAndTouchesOnce) {
    // 60 x 4 cells of one unit: hundreds of inner edges along the path.
    ASSERT_NE(world.addTessellatedFloor(-5.0f, -2.0f, 60, 4, 1.0f, 0.0f), nullptr);
    // Straight along a row of vertices, the hardest path.
    PhysicsActor* ball = world.addBall({0.0f, 1.0f, 0.0f}, 1.0f);
    ASSERT_NE(ball, nullptr);
    ball->setMaxAngularVelocity(100.0f);
    ball->setAngularDamping(0.0f);
    world.step(30); // settle
    report.contacts.clear();
    ball->setLinearVelocity({12.0f, 0.0f, 0.0f});
    ball->setAngularVelocity({0.0f, 0.0f, -12.0f});

    float largestVerticalSpeed = 0.0f;
    for (int i = 0; i < 90; ++i) {
        world.step();
        largestVerticalSpeed = std::max(largestVerticalSpeed, std::abs(ball->getLinearVelocity().y));
    }
    EXPECT_LT(largestVerticalSpeed, 0.1f);
    EXPECT_GT(ball->getLinearVelocity().x, 12.0f * 0.95f);
    EXPECT_NEAR(ball->getGlobalPosition().y, 1.0f, 0.02f);
    EXPECT_EQ(report.count(PhysicsContactEvents::StartTouch), 0); // touching since the settling
    EXPECT_EQ(report.count(PhysicsContactEvents::EndTouch), 0);
    EXPECT_EQ(report.count(PhysicsContactEvents::Touch), 90);
}

TEST_F(ContactReportTest, RollingBallStartsTouchingOnceWhenDroppedOnTheFloor) {
    world.addTessellatedFloor(-5.0f, -2.0f, 60, 4, 1.0f, 0.0f);
    PhysicsActor* ball = world.addBall({0.0f, 1.3f, 0.0f}, 1.0f);
    ball->setMaxAngularVelocity(100.0f);
    ball->setLinearVelocity({12.0f, 0.0f, 0.0f});
    ball->setAngularVelocity({0.0f, 0.0f, -12.0f});
    world.step(90);
    EXPECT_EQ(report.count(PhysicsContactEvents::StartTouch), 1);
    EXPECT_EQ(report.count(PhysicsContactEvents::EndTouch), 0);
}

TEST_F(ContactReportTest, DroppedBallTouchesBoxWithPointBelowAndPushAndEndsWhenLifted) {
    PhysicsActor* box =
        world.addBox({0.0f, -1.0f, 0.0f}, {3.0f, 1.0f, 3.0f}, 0.0f, 0, PhysicsShapeFlags::PointContactForce);
    PhysicsActor* ball = world.addBall({0.5f, 2.0f, -0.5f}, 0.5f);
    world.step(60);

    ASSERT_EQ(report.count(PhysicsContactEvents::StartTouch), 1);
    const auto start =
        std::find_if(report.contacts.begin(), report.contacts.end(),
                     [](const RecordedContact& c) { return c.events == PhysicsContactEvents::StartTouch; });
    const PhysicsContactPair& pair = start->pair;
    EXPECT_TRUE((pair.actors[0] == box && pair.actors[1] == ball) ||
                (pair.actors[0] == ball && pair.actors[1] == box));
    ASSERT_FALSE(pair.patches.empty());
    ASSERT_FALSE(pair.patches.front().points.empty());
    const PhysicsContactPoint& point = pair.patches.front().points.front();
    EXPECT_NEAR(point.position.x, 0.5f, 0.05f);
    EXPECT_NEAR(point.position.y, 0.0f, 0.05f);
    EXPECT_NEAR(point.position.z, -0.5f, 0.05f);
    EXPECT_GT(point.normalForce, 0.0f);
    EXPECT_EQ(report.count(PhysicsContactEvents::EndTouch), 0);

    // At rest the pushes add up to the ball's weight.
    const RecordedContact& last = report.contacts.back();
    const float sign = last.pair.actors[0] == ball ? 1.0f : -1.0f;
    EXPECT_NEAR(sign * last.pair.sumNormalForce.y, 19.62f, 1.0f);

    ball->setGlobalPosition({0.5f, 10.0f, -0.5f});
    world.step(3);
    EXPECT_EQ(report.count(PhysicsContactEvents::EndTouch), 1);
    EXPECT_EQ(report.contacts.back().events, PhysicsContactEvents::EndTouch);
}

TEST_F(ContactReportTest, OnlyGroupPairsWithFlagsReportAndOnlyTheEventsAsked) {
    world.scene->setActorGroupPairFlags(1, 0, PhysicsContactEvents::StartTouch);
    world.addBox({0.0f, -1.0f, 0.0f}, {20.0f, 1.0f, 3.0f});
    PhysicsActor* unreported = world.addBall({0.0f, 1.0f, 0.0f}, 0.5f);
    unreported->setGroup(2);
    PhysicsActor* startOnly = world.addBall({5.0f, 1.0f, 0.0f}, 0.5f);
    startOnly->setGroup(1);
    world.step(60);

    ASSERT_EQ(report.contacts.size(), 1u);
    EXPECT_EQ(report.contacts.front().events, PhysicsContactEvents::StartTouch);
    const PhysicsContactPair& pair = report.contacts.front().pair;
    EXPECT_TRUE(pair.actors[0] == startOnly || pair.actors[1] == startOnly);
    EXPECT_EQ(world.scene->getActorGroupPairFlags(0, 1), PhysicsContactEvents::StartTouch);
}

TEST_F(ContactReportTest, EventsOfAStepArriveOnceInsideFetchResultsOnTheCallingThread) {
    world.addBox({0.0f, -1.0f, 0.0f}, {3.0f, 1.0f, 3.0f});
    world.addBall({0.0f, 0.49f, 0.0f}, 0.5f); // already resting on the box

    world.scene->simulate(1.0f / 60.0f);
    world.scene->flushStream();
    EXPECT_TRUE(world.scene->isSimulating());
    EXPECT_TRUE(report.contacts.empty());
    EXPECT_TRUE(world.scene->fetchResults());
    EXPECT_EQ(report.count(PhysicsContactEvents::StartTouch), 1);
    EXPECT_EQ(report.count(PhysicsContactEvents::Touch), 1);

    EXPECT_FALSE(world.scene->fetchResults());
    EXPECT_EQ(report.contacts.size(), 2u);
    for (const RecordedContact& contact : report.contacts) {
        EXPECT_EQ(contact.thread, std::this_thread::get_id());
    }
}

TEST_F(ContactReportTest, TouchLostForASingleStepStaysOneTouch) {
    world.addBox({0.0f, -1.0f, 0.0f}, {3.0f, 1.0f, 3.0f});
    PhysicsActor* ball = world.addBall({0.0f, 0.5f, 0.0f}, 0.5f);
    world.step(5);
    ball->setGlobalPosition({0.0f, 0.6f, 0.0f});
    world.step();
    ball->setGlobalPosition({0.0f, 0.5f, 0.0f});
    ball->setLinearVelocity({});
    world.step(5);
    EXPECT_EQ(report.count(PhysicsContactEvents::StartTouch), 1);
    EXPECT_EQ(report.count(PhysicsContactEvents::EndTouch), 0);
}

namespace {

// The largest point force of the pair's start of touch.
float startTouchForce(const RecordingContactReport& report) {
    float largest = 0.0f;
    for (const RecordedContact& contact : report.contacts) {
        if (contact.events != PhysicsContactEvents::StartTouch) {
            continue;
        }
        for (const PhysicsContactPatch& patch : contact.pair.patches) {
            for (const PhysicsContactPoint& point : patch.points) {
                largest = std::max(largest, point.normalForce);
            }
        }
    }
    return largest;
}

} // namespace

TEST_F(ContactReportTest, StartOfTouchCarriesTheImpactWhicheverInternalStepItCameIn) {
    world.addBox({0.0f, -1.0f, 0.0f}, {30.0f, 1.0f, 3.0f}, 0.0f, 0, PhysicsShapeFlags::PointContactForce);
    world.addBall({-20.0f, 0.5f, 0.0f}, 0.5f);
    world.step(2);
    const float resting = startTouchForce(report);
    ASSERT_GT(resting, 0.0f);
    // Four drops whose impacts fall into different internal steps of their step.
    for (const float height : {5.0f, 5.06f, 5.12f, 5.18f}) {
        report.contacts.clear();
        world.addBall({height * 4.0f - 10.0f, 0.5f + height, 0.0f}, 0.5f);
        world.step(60);
        // Stopping 1 kg at 14 m/s within one internal step of 1/240 s takes thousands of newtons.
        EXPECT_GT(startTouchForce(report), 20.0f * resting) << "fall from " << height << " m";
    }
}
