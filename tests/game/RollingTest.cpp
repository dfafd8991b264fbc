#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "GameFixture.h"
#include "game/MainChar.h"
#include "physics/PhysicsActor.h"
#include "scene/OgreScene.h"
#include "scene/PhysicsManager.h"

namespace {

std::string gameFile(const std::string& name) {
    std::ifstream in(std::filesystem::path(VORN_GAME_DIR) / name);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// The ball at rest at the start of a long floor, with the game's own physics materials
// and object properties, rolled by the controls towards -z. Its fire, which only costs
// time here, is out.
class RollingTest : public GameTest {
protected:
    void SetUp() override {
        data.write("physicsmaterials.ini", gameFile("physicsmaterials.ini"));
        data.write("objectproperties.ini", gameFile("objectproperties.ini"));
    }

    // The floor of the profile's material, tilted so that towards -z it rises `slope` (rise over run).
    void startOn(const std::string& profile, float slope = 0.0f) {
        const float angle = std::atan(slope);
        const std::string rotation = "qx=\"" + std::to_string(std::sin(angle / 2)) +
                                     "\" qy=\"0\" qz=\"0\" qw=\"" + std::to_string(std::cos(angle / 2)) +
                                     "\"";
        std::vector<TestNode> nodes;
        for (int i = 0; i < 3; ++i) {
            const std::string name = "Floor" + std::to_string(i);
            const float along = -40.0f * static_cast<float>(i);
            nodes.push_back({name, name + "[" + profile + "]", "floor.mesh", 0.0f, -along * std::sin(angle),
                             along * std::cos(angle), rotation});
        }
        nodes.push_back({"Ball", "Ball[mainChar]", "cube.mesh", 0.0f, 1.0f / std::cos(angle) + 0.01f, 0.0f});
        play(nodes);
        ball->particleController->setEmitting(false);
        ball->particleController->enabled = false;
    }

    // Steps of the frame loop with W held or not.
    void roll(int steps, bool forward) {
        PhysicsManager* physics = PhysicsManager::getInstance();
        HeldControls held;
        held.forward = forward;
        for (int i = 0; i < steps; ++i) {
            physics->fetchResults();
            scene->update();
            controls.drive(*ball, held, 0.0f);
            physics->startStep();
        }
    }
    // Steps without a key until the ball is at rest; false when it still rolls after `limit`.
    bool comesToRest(int limit) {
        for (int step = 0; step < limit; ++step) {
            if (speed() < 0.05f) {
                return true;
            }
            roll(1, false);
        }
        return false;
    }
    float z() const { return ball->getActor()->getGlobalPosition().z; }
    float speed() const {
        const PhysicsVec3 v = ball->getActor()->getLinearVelocity();
        return Vector3{v.x, v.y, v.z}.length();
    }
};

// The start pad of the first level is 16 across; a ball's diameter is 2.
TEST_F(RollingTest, ATapRollsTheBallAFewUnitsAndAFullRunStopsWithinFourDiametersWithoutTheBrake) {
    startOn("stone");
    roll(30, false);
    const float start = z();
    roll(18, true);
    ASSERT_TRUE(comesToRest(600)) << "a 0.3 s tap still rolls after ten seconds";
    EXPECT_GT(start - z(), 0.5f) << "a tap must move the ball";
    EXPECT_LT(start - z(), 8.0f) << "half the start pad";

    roll(120, true);
    const float released = z();
    EXPECT_GT(speed(), 6.0f) << "two seconds of W must get the ball going";
    ASSERT_TRUE(comesToRest(600));
    EXPECT_LT(released - z(), 4 * 2.0f);
    EXPECT_NEAR(ball->getActor()->getGlobalPosition().x, 0.0f, 0.05f) << "no drift to the side";
}

// The first level's metal ramp rises 6 in 20. A ball stopped on it must get up again, rolling, not spinning.
TEST_F(RollingTest, FromRestOnTheMetalRampTwoSecondsOfWClimbIt) {
    startOn("metal", 6.0f / 20.0f);
    const float height = ball->getActor()->getGlobalPosition().y;
    roll(120, true);
    EXPECT_GT(ball->getActor()->getGlobalPosition().y - height, 1.5f)
        << "a ball that slips on metal spins in place and creeps up a metre at most";
}

} // namespace
