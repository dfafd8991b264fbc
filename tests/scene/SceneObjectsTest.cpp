#include <gtest/gtest.h>

#include <AL/al.h>
#include <memory>
#include <filesystem>

#include "LevelFixture.h"
#include "audio/SoundManager.h"
#include "audio/SoundSource.h"
#include "core/ConfigManager.h"
#include "game/CheckPoint.h"
#include "game/FinishCheckPoint.h"
#include "game/Fog.h"
#include "game/Item.h"
#include "game/MainChar.h"
#include "physics/PhysicsScene.h"
#include "scene/OgreScene.h"
#include "scene/PhysicsManager.h"

namespace {

class SceneObjectsTest : public LevelFixture {
protected:
    std::unique_ptr<OgreScene> load(const std::vector<TestNode>& nodes) {
        return std::unique_ptr<OgreScene>(loadScene(writeLevel("one", nodes)));
    }

    static OgreModel* object(const OgreScene& scene, const std::string& node) {
        return scene.nodes.at(node)->entity->model;
    }
};

TEST_F(SceneObjectsTest, EveryEntityGetsItsActorAndSpecialProfilesBecomeGameObjects) {
    std::vector<TestNode> nodes = standardNodes();
    nodes.push_back({"Plain", "Plain", "cube.mesh", 30.0f, 1.0f, 30.0f});
    const auto scene = load(nodes);
    ASSERT_TRUE(scene->isPlayable()) << scene->getLoadError();
    // The node without entity has none; the ball's fire has its force field's, the item its trigger box.
    EXPECT_EQ(scene->getPhysicsScene()->getNbActors(), nodes.size() - 1 + 1 + 1);
    EXPECT_EQ(PhysicsManager::getInstance()->getCurrentScene(), nullptr) << "loading never steps a scene";

    MainChar* ball = dynamic_cast<MainChar*>(object(*scene, "Ball"));
    ASSERT_NE(ball, nullptr);
    EXPECT_EQ(scene->getMainChar(), ball);
    EXPECT_EQ(ball->profile, "mainChar");
    EXPECT_EQ(ball->getActor()->getGroup(), 1);
    EXPECT_EQ(ball->getActor()->getShapes().front()->getGroup(), 1);
    EXPECT_FLOAT_EQ(ball->defaultMaxAngularVelocity, 14.0f);
    EXPECT_FLOAT_EQ(ball->getActor()->getAngularDamping(), 0.3f);
    EXPECT_FLOAT_EQ(ball->getActor()->getGlobalPosition().y, 1.0f);
    EXPECT_NE(ball->getActor()->getShapes().front()->getMaterial(), 0) << "the ball material";
    EXPECT_TRUE(ball->getActor()->getShapes().front()->getFlag(PhysicsShapeFlags::PointContactForce));
    EXPECT_EQ(ball->getActor()->getUserData(), ball);
    EXPECT_NE(ball->getMaterial(ball->mesh->submeshes.begin()->second), nullptr) << "bound before the copy";

    auto* pad = dynamic_cast<CheckPoint*>(object(*scene, "Pad"));
    ASSERT_NE(pad, nullptr);
    EXPECT_FALSE(pad->saveTime.has_value());
    EXPECT_FALSE(pad->reached);
    EXPECT_EQ(pad->checkpointSound, "../sounds/checkpoint.ogg");
    EXPECT_FALSE(pad->getActor()->isDynamic());

    auto* goal = dynamic_cast<FinishCheckPoint*>(object(*scene, "Goal"));
    ASSERT_NE(goal, nullptr);
    EXPECT_TRUE(goal->getActor()->getShapes().front()->isTrigger());
    ASSERT_NE(dynamic_cast<Fog*>(object(*scene, "Mist")), nullptr);
    EXPECT_TRUE(object(*scene, "Mist")->getActor()->getShapes().front()->isTrigger());

    auto* gem = dynamic_cast<Item*>(object(*scene, "Gem"));
    ASSERT_NE(gem, nullptr);
    EXPECT_FALSE(gem->turbo);
    EXPECT_FALSE(gem->bottle);
    EXPECT_TRUE(gem->active);
    EXPECT_FLOAT_EQ(gem->value, 0.3f);
    EXPECT_FLOAT_EQ(gem->getActor()->getMass(), 8.0f) << "density 1 over the mesh's box";

    EXPECT_EQ(object(*scene, "Plain")->profile, "");
    EXPECT_EQ(object(*scene, "Plain")->getActor()->getShapes().front()->getType(),
              PhysicsShapeType::TriangleMesh);
}

TEST_F(SceneObjectsTest, DynamicProfilesTakeTheirShapeMassAndMotion) {
    std::vector<TestNode> nodes = standardNodes();
    nodes.push_back({"Box", "Box[crate]", "cube.mesh", 0.0f, 5.0f, 5.0f});
    nodes.push_back({"Jewel", "Jewel[gem]", "cube.mesh", 0.0f, 5.0f, -5.0f});
    nodes.push_back({"Big", "Big[turbobottle]", "cube.mesh", 5.0f, 5.0f, 0.0f});
    const auto scene = load(nodes);
    ASSERT_TRUE(scene->isPlayable()) << scene->getLoadError();
    const PhysicsActor& box = *object(*scene, "Box")->getActor();
    EXPECT_FLOAT_EQ(box.getMass(), 2.0f);
    EXPECT_FLOAT_EQ(box.getLinearVelocity().x, 3.0f);
    const PhysicsActor& jewel = *object(*scene, "Jewel")->getActor();
    EXPECT_EQ(jewel.getShapes().front()->getType(), PhysicsShapeType::Convex);
    EXPECT_FLOAT_EQ(jewel.getMass(), 4.0f);
    auto* big = dynamic_cast<Item*>(object(*scene, "Big"));
    ASSERT_NE(big, nullptr);
    EXPECT_TRUE(big->turbo);
    EXPECT_TRUE(big->bottle);
    EXPECT_FLOAT_EQ(big->value, 0.1f);
}

TEST_F(SceneObjectsTest, LevelsThatCannotBePlayedSayWhy) {
    const auto failureOf = [this](std::vector<TestNode> nodes) {
        const auto scene = load(nodes);
        EXPECT_FALSE(scene->isPlayable());
        return scene->getLoadError();
    };
    std::vector<TestNode> nodes = standardNodes();
    nodes.erase(nodes.begin());
    EXPECT_NE(failureOf(nodes).find("no main character"), std::string::npos);

    nodes = standardNodes();
    nodes.push_back({"Odd", "Odd[pyramid]"});
    EXPECT_NE(failureOf(nodes).find("No actor could be created for 'Odd[pyramid]'"), std::string::npos);
    EXPECT_TRUE(log.contains("No actor could be created for profile pyramid"));

    nodes = standardNodes();
    nodes.push_back({"Lava", "Lava[hot]"});
    EXPECT_NE(failureOf(nodes).find("physics material 'broken'"), std::string::npos);
    EXPECT_TRUE(log.contains("Materialdesc not valid for broken"));

    nodes = standardNodes();
    nodes.push_back({"Flat", "Flat", "flat.mesh"});
    data.write("levels/one/models/flat.mesh.xml",
               "<mesh><submeshes><submesh><faces/></submesh></submeshes></mesh>");
    EXPECT_NE(failureOf(nodes).find("could not be cooked"), std::string::npos);

    nodes = standardNodes();
    nodes.push_back({"Ghost", "Ghost", "ghost.mesh"});
    EXPECT_NE(failureOf(nodes).find("models/ghost.mesh' of 'Ghost' could not be loaded"), std::string::npos);

    data.write("physicsmaterials.ini", "[ball]\nrestitution = 0\n");
    ConfigManager::destroy(); // it keeps the files it read
    EXPECT_NE(failureOf(standardNodes()).find("no valid [default] material"), std::string::npos);

    // Without its object properties every actor would stand still, the ball too.
    std::filesystem::remove(data.root() / "objectproperties.ini");
    ConfigManager::destroy();
    EXPECT_EQ(failureOf(standardNodes()),
              "The object properties file '../objectproperties.ini' is missing or cannot be read.");
    std::filesystem::create_directory(data.root() / "objectproperties.ini");
    ConfigManager::destroy();
    EXPECT_EQ(failureOf(standardNodes()),
              "The object properties file '../objectproperties.ini' is missing or cannot be read.");
}

TEST_F(SceneObjectsTest, UpdateFollowsTheActorsAndResetPutsEverythingBack) {
    std::vector<TestNode> nodes = standardNodes();
    nodes.push_back({"Box", "Box[crate]", "cube.mesh", 0.0f, 0.5f, 5.0f});
    const auto scene = load(nodes);
    ASSERT_TRUE(scene->isPlayable()) << scene->getLoadError();
    auto* gem = dynamic_cast<Item*>(object(*scene, "Gem"));
    gem->pickUp();
    step(*scene, 30);
    OgreModel& box = *object(*scene, "Box");
    EXPECT_GT(box.getPosition()->x, 0.5f);
    EXPECT_FLOAT_EQ(box.getModelMatrix()->at(0, 3), box.getPosition()->x);
    EXPECT_NEAR(object(*scene, "Ball")->getPosition()->y, 1.0f, 0.05f) << "resting on the floor";

    scene->reset();
    EXPECT_FLOAT_EQ(box.getActor()->getGlobalPosition().x, 0.0f);
    EXPECT_FLOAT_EQ(box.getActor()->getLinearVelocity().x, 0.0f);
    EXPECT_TRUE(gem->active);

    EXPECT_TRUE(scene->segmentBlocked({0.0f, 10.0f, -3.0f}, {0.0f, -10.0f, -3.0f}));
    EXPECT_FALSE(scene->segmentBlocked({0.0f, 10.0f, -3.0f}, {0.0f, 5.0f, -3.0f}));
    EXPECT_FALSE(scene->segmentBlocked({0.0f, 10.0f, -3.0f}, {0.0f, 10.0f, -3.0f}));
}

TEST_F(SceneObjectsTest, ObjectSoundsLoopAtTheirNodeAndGoBackWithTheScene) {
    std::vector<TestNode> nodes = standardNodes();
    nodes.push_back({"Hum", "Hum[humming]", "cube.mesh", 3.0f, 4.0f, 5.0f});
    auto scene = load(nodes);
    ASSERT_TRUE(scene->isPlayable()) << scene->getLoadError();
    const SoundSource* source = object(*scene, "Hum")->soundSource;
    ASSERT_NE(source, nullptr);
    ALint looping = 0;
    alGetSourcei(source->getSource(), AL_LOOPING, &looping);
    EXPECT_EQ(looping, AL_TRUE);
    float position[3] = {};
    alGetSourcefv(source->getSource(), AL_POSITION, position);
    EXPECT_FLOAT_EQ(position[2], 5.0f);
    const std::size_t queued = SoundManager::getInstance()->getQueueSize();
    scene.reset();
    EXPECT_EQ(SoundManager::getInstance()->getQueueSize(), queued + 1);
}

} // namespace

TEST_F(SceneObjectsTest, AMissingOrBrokenSceneFileIsNoEmptyLevel) {
    const std::unique_ptr<OgreScene> missing(loadScene("../levels/none/none.scene"));
    EXPECT_EQ(missing->getLoadError(), "The scene file '../levels/none/none.scene' could not be read.");
    data.write("levels/bad/bad.scene", "\xFF\xFE<");
    const std::unique_ptr<OgreScene> broken(loadScene("../levels/bad/bad.scene"));
    EXPECT_FALSE(broken->isPlayable());
    EXPECT_TRUE(broken->nodes.empty());
}
