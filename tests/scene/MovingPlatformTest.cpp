#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <memory>
#include <sstream>

#include "LevelFixture.h"
#include "model/OgreModel.h"
#include "physics/PhysicsActor.h"
#include "scene/OgreLoader.h"
#include "scene/OgreScene.h"
#include "scene/ScenePath.h"

namespace {

std::string shipped(const std::string& file) {
    std::ifstream in(std::filesystem::path(VORN_GAME_DIR) / file);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// One section of an ini text, its header included.
std::string section(const std::string& text, const std::string& name) {
    const std::size_t start = text.find("\n[" + name + "]");
    EXPECT_NE(start, std::string::npos) << name;
    const std::size_t end = text.find("\n[", start + 1);
    return text.substr(start, end == std::string::npos ? std::string::npos : end - start) + "\n";
}

std::string pathData(const std::string& points, const std::string& speed, const std::string& pause) {
    return "<property type=\"str\" name=\"path\" data=\"" + points +
           "\"/><property type=\"float\" name=\"speed\" data=\"" + speed +
           "\"/><property type=\"float\" name=\"pause\" data=\"" + pause + "\"/>";
}

// The test level with the shipped ice, bounce pad, stone ball and moving platform profiles.
class MovingPlatformTest : public LevelFixture {
protected:
    MovingPlatformTest() {
        const std::string profiles = shipped("objectproperties.ini");
        const std::string materials = shipped("physicsmaterials.ini");
        data.write("objectproperties.ini", std::string(kObjectProperties) + section(profiles, "ice") +
                                               section(profiles, "pad") + section(profiles, "rock") +
                                               section(profiles, "mover"));
        data.write("physicsmaterials.ini", section(materials, "default") + section(materials, "stone") +
                                               section(materials, "ball") + section(materials, "metal") +
                                               section(materials, "ice") + section(materials, "bouncy"));
    }

    std::unique_ptr<OgreScene> load(const std::vector<TestNode>& extra) {
        std::vector<TestNode> nodes = standardNodes();
        nodes.insert(nodes.end(), extra.begin(), extra.end());
        return std::unique_ptr<OgreScene>(loadScene(writeLevel("moving", nodes)));
    }

    static PhysicsActor& actor(const OgreScene& scene, const std::string& node) {
        return *scene.nodes.at(node)->entity->model->getActor();
    }
};

} // namespace

TEST(ScenePathTest, APlatformGoesThereRestsComesBackAndRestsEasingAtEachPoint) {
    std::string error;
    const std::optional<ScenePath> path = ScenePath::parse("0 1 0, 0 1 -8, 4 1 -8", 2.0f, 1.0f, error);
    ASSERT_TRUE(path) << error;
    EXPECT_FLOAT_EQ(path->period(), 2.0f * (4.0f + 2.0f + 1.0f));
    EXPECT_EQ(path->positionAt(0.0f), (Vector3{0, 1, 0}));
    EXPECT_NEAR(path->positionAt(2.0f).z, -4.0f, 1e-4f) << "halfway along the first leg";
    EXPECT_LT(-path->positionAt(0.5f).z, 0.5f * 2.0f) << "slow out of its rest";
    EXPECT_NEAR(path->positionAt(4.0f).z, -8.0f, 1e-4f);
    EXPECT_NEAR(path->positionAt(5.0f).x, 2.0f, 1e-4f);
    EXPECT_EQ(path->positionAt(6.5f), (Vector3{4, 1, -8})) << "resting at the far end";
    EXPECT_NEAR(path->positionAt(8.0f).x, 2.0f, 1e-4f) << "on the way back";
    EXPECT_EQ(path->positionAt(13.5f), (Vector3{0, 1, 0})) << "resting at the start";
    EXPECT_NEAR(path->positionAt(14.0f + 2.0f).z, -4.0f, 1e-4f) << "and round again";

    for (const char* bad : {"", "0 1 0", "0 1 0, 0 1", "0 1 0, 0 1 x", "0 1 0, 0 1 2 3", "0 1 0,, 1 1 1"}) {
        EXPECT_FALSE(ScenePath::parse(bad, 2.0f, 1.0f, error)) << bad;
    }
    EXPECT_FALSE(ScenePath::parse("0 0 0, 1 1 1", 0.0f, 1.0f, error)) << "no speed";
    EXPECT_FALSE(ScenePath::parse("0 0 0, 1 1 1", 1.0f, -1.0f, error)) << "a negative pause";
    EXPECT_FALSE(ScenePath::parse("0 0 0, 1 1 nan", 1.0f, 1.0f, error));
}

TEST_F(MovingPlatformTest, TheSceneFileGivesANodeItsPathAndABadOneLeavesItStanding) {
    const auto scene = std::make_unique<OgreScene>("levels/x/x.scene");
    OgreLoader::getInstance()->loadSceneXML(
        *scene,
        XMLNode::parseText(
            "<scene><nodes><node name=\"Lift\"><userData>" + pathData("1 2 3, 1 2 -7", "2.5", "1") +
                "</userData></node><node name=\"Bad\"><userData>" + pathData("1 2 3", "2", "1") +
                "</userData></node><node name=\"Slow\"><userData>" + pathData("0 0 0, 0 0 1", "fast", "1") +
                "</userData></node><node name=\"Plain\"/>"
                "</nodes></scene>",
            "scene"),
        false);
    const OgreSceneNode& lift = *scene->nodes.at("Lift");
    ASSERT_TRUE(lift.path);
    EXPECT_EQ(lift.path->points.size(), 2u);
    EXPECT_EQ(lift.path->points[1], (Vector3{1, 2, -7}));
    EXPECT_FLOAT_EQ(lift.path->speed, 2.5f);
    EXPECT_FLOAT_EQ(lift.path->pause, 1.0f);
    EXPECT_FALSE(scene->nodes.at("Bad")->path);
    EXPECT_FALSE(scene->nodes.at("Slow")->path) << "a speed that is no number";
    EXPECT_FALSE(scene->nodes.at("Plain")->path);
    EXPECT_EQ(log.count("WARN", "Node 'Bad' has a path that cannot be followed"), 1);
    EXPECT_EQ(log.count("WARN", "Node 'Slow' has a path that cannot be followed"), 1);
    log.clear();
}

// The level drives its platform one step ahead along the path; what rests on it rides along,
// and a reset brings both back.
TEST_F(MovingPlatformTest, ALevelsPlatformFollowsItsPathCarriesWhatRestsOnItAndResetsToItsStart) {
    TestNode lift{"Lift", "Lift[mover]", "cube.mesh", -100.0f, 0.0f, 0.0f};
    lift.userData = pathData("-100 0 0, -100 0 -10", "2", "1");
    const auto scene = load({lift, {"Rider", "Rider[gem]", "cube.mesh", -100.0f, 2.05f, 0.0f}});
    ASSERT_TRUE(scene->isPlayable()) << scene->getLoadError();
    PhysicsActor& platform = actor(*scene, "Lift");
    ASSERT_TRUE(platform.readBodyFlag(PhysicsBodyFlag::Kinematic));

    step(*scene, 60 * 5 + 30); // the way there (5 s) and into the rest
    EXPECT_NEAR(platform.getGlobalPosition().z, -10.0f, 1e-3f);
    EXPECT_NEAR(platform.getGlobalPosition().y, 0.0f, 1e-4f);
    const PhysicsVec3 rider = actor(*scene, "Rider").getGlobalPosition();
    EXPECT_NEAR(rider.z, -10.0f, 1.0f) << "carried";
    EXPECT_NEAR(rider.y, 2.0f, 0.1f) << "still on top";
    EXPECT_NEAR(scene->nodes.at("Lift")->entity->model->getPosition()->z, -10.0f, 0.05f) << "drawn there";

    step(*scene, 60 * 6);
    EXPECT_NEAR(platform.getGlobalPosition().z, 0.0f, 1e-3f) << "back after the rest";

    step(*scene, 60 * 3);
    scene->reset();
    step(*scene, 1);
    EXPECT_NEAR(platform.getGlobalPosition().z, 0.0f, 0.01f) << "its path starts over";
}

// Ice lets a braked ball slide on where stone stops it; a bounce pad throws a dropped ball back
// up nearly as high as it fell, where stone keeps it down.
TEST_F(MovingPlatformTest, IceLetsABallSlideOnAndABouncePadThrowsItBackUp) {
    const auto scene = load({
        {"IceFloor", "IceFloor[ice]", "floor.mesh", 0.0f, 0.0f, -100.0f},
        {"StoneFloor", "StoneFloor[floor]", "floor.mesh", 0.0f, 0.0f, -200.0f},
        {"PadFloor", "PadFloor[pad]", "floor.mesh", 100.0f, 0.0f, -100.0f},
        {"OnIce", "OnIce[rock]", "cube.mesh", -15.0f, 1.02f, -100.0f},
        {"OnStone", "OnStone[rock]", "cube.mesh", -15.0f, 1.02f, -200.0f},
        {"OverPad", "OverPad[rock]", "cube.mesh", 100.0f, 7.0f, -100.0f},
        {"OverStone", "OverStone[rock]", "cube.mesh", 10.0f, 7.0f, -200.0f},
    });
    ASSERT_TRUE(scene->isPlayable()) << scene->getLoadError();
    step(*scene, 1);
    for (const char* braked : {"OnIce", "OnStone"}) {
        actor(*scene, braked).setLinearVelocity({8.0f, 0.0f, 0.0f});
        actor(*scene, braked).setMaxAngularVelocity(0.0f);
    }
    float padHeight = 0.0f;
    float stoneHeight = 0.0f;
    bool padLanded = false;
    bool stoneLanded = false;
    for (int i = 0; i < 120; ++i) {
        step(*scene, 1);
        const float pad = actor(*scene, "OverPad").getGlobalPosition().y;
        const float stone = actor(*scene, "OverStone").getGlobalPosition().y;
        padLanded = padLanded || pad < 1.2f;
        stoneLanded = stoneLanded || stone < 1.2f;
        padHeight = padLanded ? std::max(padHeight, pad) : 0.0f;
        stoneHeight = stoneLanded ? std::max(stoneHeight, stone) : 0.0f;
    }
    EXPECT_GT(padHeight, 6.0f) << "back up from a fall of six";
    EXPECT_LT(stoneHeight, 1.5f);
    const float onIce = actor(*scene, "OnIce").getGlobalPosition().x + 15.0f;
    const float onStone = actor(*scene, "OnStone").getGlobalPosition().x + 15.0f;
    EXPECT_GT(onIce, 2.0f * onStone) << "ice " << onIce << ", stone " << onStone;
}
