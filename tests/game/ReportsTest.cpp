#include <gtest/gtest.h>

#include <AL/al.h>
#include <memory>

#include "LevelFixture.h"
#include "audio/SoundManager.h"
#include "core/StateManager.h"
#include "game/CheckPoint.h"
#include "game/Item.h"
#include "game/MainChar.h"
#include "physics/PhysicsScene.h"
#include "scene/OgreScene.h"
#include "scene/PhysicsManager.h"

namespace {

// Hands every event to the game's contact report and counts the main
// character's landings and the pairs that started touching.
class CountingContactReport : public PhysicsContactReport {
public:
    CountingContactReport(MainChar& mainChar, ContactReport& report) : mainChar(mainChar), report(report) {}

    void onContactNotify(PhysicsContactPair& pair, std::uint32_t events) override {
        const bool wasOnGround = mainChar.onGround;
        report.onContactNotify(pair, events);
        landings += !wasOnGround && mainChar.onGround ? 1 : 0;
        const bool withBall = pair.actors[0] == mainChar.getActor() || pair.actors[1] == mainChar.getActor();
        if (withBall && events == PhysicsContactEvents::StartTouch) {
            started.push_back(pair.actors[0] == mainChar.getActor() ? pair.actors[1] : pair.actors[0]);
        }
    }

    MainChar& mainChar;
    ContactReport& report;
    int landings = 0;
    std::vector<PhysicsActor*> started;
};

class ReportsTest : public LevelFixture {
protected:
    void SetUp() override {
        data.write("sound.ini", "[Common]\ncheckpoint = ../sounds/checkpoint.wav\n"
                                "[Collisions]\nmainChar_checkPoint = ../sounds/hit.wav\n");
        writeSound("sounds/checkpoint.wav", 1.0f);
        writeSound("sounds/hit.wav", 1.0f);
        StateManager::getInstance()->setState(IN_GAME);
    }

    void load(std::vector<TestNode> nodes) {
        scene.reset(loadScene(writeLevel("one", nodes)));
        ASSERT_TRUE(scene->isPlayable()) << scene->getLoadError();
        SoundManager::getInstance()->loadCollisionSounds(*scene);
        ball = MainChar::of(scene.get());
        counting = std::make_unique<CountingContactReport>(*ball, game.contactReport);
        scene->getPhysicsScene()->setUserContactReport(counting.get());
    }

    OgreModel* object(const std::string& node) const { return scene->nodes.at(node)->entity->model; }

    void dropBallAt(float x, float y, float z) {
        ball->getActor()->setGlobalPosition({x, y, z});
        ball->getActor()->setLinearVelocity({});
        ball->getActor()->setAngularVelocity({});
    }

    // Sources now playing the sound file.
    static int playing(const std::string& file) {
        const ALuint buffer = SoundManager::getInstance()->getBuffer(file);
        int count = 0;
        for (const SoundSource* source : SoundManager::getInstance()->getAllSources()) {
            ALint attached = 0;
            alGetSourcei(source->getSource(), AL_BUFFER, &attached);
            count += source->isPlaying() && static_cast<ALuint>(attached) == buffer ? 1 : 0;
        }
        return count;
    }

    static void stopAllSounds() {
        for (SoundSource* source : SoundManager::getInstance()->getAllSources()) {
            source->stop();
        }
    }

    std::unique_ptr<OgreScene> scene;
    MainChar* ball = nullptr;
    std::unique_ptr<CountingContactReport> counting;
};

TEST_F(ReportsTest, BallDroppedOnACheckpointLandsOnceSavesThereAndSoundsTheFirstTimeOnly) {
    load(standardNodes());
    SoundManager::getInstance()->setListener({10.0f, 5.0f, 10.0f}, {0, 0, -1, 0, 1, 0});
    auto* pad = dynamic_cast<CheckPoint*>(object("Pad"));
    dropBallAt(10.0f, 8.0f, 10.0f); // five metres above the pad's top
    step(*scene, 90);
    EXPECT_EQ(counting->landings, 1);
    EXPECT_TRUE(ball->onGround);
    EXPECT_TRUE(ball->onCheckPoint);
    EXPECT_TRUE(pad->reached);
    EXPECT_EQ(playing("../sounds/checkpoint.wav"), 1);
    EXPECT_EQ(playing("../sounds/hit.wav"), 1) << "a hard landing is heard";

    stopAllSounds();
    dropBallAt(10.0f, 6.0f, 10.0f);
    step(*scene, 3);
    EXPECT_FALSE(ball->onGround) << "leaving the last ground";
    EXPECT_FALSE(ball->onCheckPoint);
    step(*scene, 90);
    EXPECT_GE(counting->landings, 2);
    EXPECT_TRUE(ball->onCheckPoint);
    EXPECT_EQ(playing("../sounds/checkpoint.wav"), 0) << "the sound plays only on the first landing";

    stopAllSounds();
    dropBallAt(14.0f, 1.0f, 10.0f); // set down gently on the floor, then rolled onto the pad's side
    step(*scene, 30);
    EXPECT_TRUE(ball->onGround);
    EXPECT_FALSE(ball->onCheckPoint) << "the floor is no checkpoint";
    EXPECT_EQ(playing("../sounds/hit.wav"), 0) << "a touch at rest is silent";
}

TEST_F(ReportsTest, BallTouchingAWallBesideItHasNoGround) {
    std::vector<TestNode> nodes = standardNodes();
    nodes.push_back({"Wall", "Wall[floor]", "wall.mesh", -20.0f, 0.0f, 0.0f});
    load(nodes);
    dropBallAt(-18.0f, 8.0f, 0.0f); // its side against the wall's face at x = -19
    ball->getActor()->setLinearVelocity({-3.0f, 0.0f, 0.0f});
    step(*scene, 12);
    ASSERT_EQ(counting->started.size(), 1u);
    EXPECT_EQ(counting->started.front(), object("Wall")->getActor());
    EXPECT_EQ(counting->landings, 0);
    EXPECT_FALSE(ball->onGround);
}

TEST_F(ReportsTest, FogAndFinishAnswerOnlyTheMainCharacter) {
    std::vector<TestNode> nodes = standardNodes();
    nodes.push_back({"Box", "Box[crate]", "cube.mesh", 10.0f, 4.0f, -10.0f});
    load(nodes);
    step(*scene, 60);
    EXPECT_EQ(StateManager::getInstance()->getState(), IN_GAME) << "a crate fell into the fog";

    dropBallAt(-10.0f, 4.0f, 10.0f);
    step(*scene, 30);
    EXPECT_EQ(StateManager::getInstance()->getState(), LEVEL_COMPLETE);
    StateManager::getInstance()->setState(IN_GAME);
    dropBallAt(10.0f, 6.0f, -10.0f);
    step(*scene, 60);
    EXPECT_EQ(StateManager::getInstance()->getState(), GAME_OVER);
}

TEST_F(ReportsTest, AnItemEnteredIsCollectedOnceAndGivesItsValue) {
    load(standardNodes());
    auto* gem = dynamic_cast<Item*>(object("Gem"));
    ball->energy = 0.5f;

    dropBallAt(-10.0f, 6.0f, -10.0f);
    step(*scene, 60);
    EXPECT_FALSE(gem->active);
    EXPECT_NEAR(ball->energy, 0.8f - 60 * ball->energyDrain, 1e-5f) << "less what the updates drained";
    EXPECT_TRUE(gem->getActor()->isCollisionDisabled());
    EXPECT_FALSE(gem->getActor()->isMovable());

    dropBallAt(-10.0f, 6.0f, -10.0f);
    step(*scene, 60);
    EXPECT_NEAR(ball->energy, 0.8f - 120 * ball->energyDrain, 1e-5f) << "an inactive item gives nothing";
    ball->addTurbo(2.0f);
    EXPECT_FLOAT_EQ(ball->turboLevel, 1.0f);
}

// The fog and an item in the same step: once the game is over the item stays where it is.
TEST_F(ReportsTest, OncePlayHasEndedNoTriggerCountsAnyMore) {
    load(standardNodes());
    auto* gem = dynamic_cast<Item*>(object("Gem"));
    StateManager::getInstance()->setState(GAME_OVER);
    dropBallAt(-10.0f, 6.0f, -10.0f);
    step(*scene, 60);
    EXPECT_TRUE(gem->active);
    EXPECT_FALSE(gem->getActor()->isCollisionDisabled());
}

TEST(GroundAngleTest, ContactsBelowTheCentreWithin45DegreesAreGround) {
    EXPECT_FLOAT_EQ(ContactReport::groundAngle(1.0f), 0.0f);
    EXPECT_NEAR(ContactReport::groundAngle(0.70710678f), 45.0f, 0.01f);
    EXPECT_GT(ContactReport::groundAngle(0.70f), ContactReport::kMaxGroundAngle);
    EXPECT_FLOAT_EQ(ContactReport::groundAngle(3.0f), 0.0f) << "past the ball's radius still counts";
    EXPECT_LT(ContactReport::groundAngle(-3.0f), 0.0f);
    EXPECT_FLOAT_EQ(ContactReport::groundAngle(0.0f), 90.0f);
}

} // namespace
