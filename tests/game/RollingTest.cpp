#include <gtest/gtest.h>

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

// The ball at rest on a long stone floor, with the game's own physics materials and
// object properties, rolled by the controls towards -z. Its fire, which only costs
// time here, is out.
class RollingTest : public GameTest {
protected:
    void SetUp() override {
        data.write("physicsmaterials.ini", gameFile("physicsmaterials.ini"));
        data.write("objectproperties.ini", gameFile("objectproperties.ini"));
        std::vector<TestNode> nodes;
        for (int i = 0; i < 3; ++i) {
            const std::string name = "Floor" + std::to_string(i);
            nodes.push_back(
                {name, name + "[stone]", "floor.mesh", 0.0f, 0.0f, -40.0f * static_cast<float>(i)});
        }
        nodes.push_back({"Ball", "Ball[mainChar]", "cube.mesh", 0.0f, 1.0f, 15.0f});
        play(nodes);
        ball->particleController->setEmitting(false);
        ball->particleController->enabled = false;
        roll(30, false);
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

} // namespace
