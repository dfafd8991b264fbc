#include <gtest/gtest.h>

#include <memory>

#include "GlTest.h"
#include "LogCapture.h"
#include "MeshFixtures.h"
#include "model/EdgeAnalysis.h"
#include "model/OgreModel.h"

namespace {

// A single triangle whose keyframe k puts every vertex at x = 10 * k.
struct Animated {
    std::unique_ptr<OgreModelMesh> mesh;
    OgreModel model;
    OgreModelTrack* track = nullptr;
    OgreModelSubmesh* submesh = nullptr;

    Animated(float length, const std::vector<float>& times) {
        mesh.reset(buildMesh({{{0, 0, 0}, {1, 0, 0}, {0, 1, 0}}, {{0, 1, 2}}}));
        EdgeAnalysis::calcEdges(*mesh);
        submesh = mesh->submeshes.begin()->second;
        auto* animation = new OgreModelAnimation();
        animation->name = "wave";
        animation->length = length;
        track = new OgreModelTrack();
        for (std::size_t k = 0; k < times.size(); ++k) {
            auto* keyframe = new OgreModelKeyframe();
            keyframe->time = times[k];
            for (int vertex = 0; vertex < 3; ++vertex) {
                auto* position = new OgreModelVertexPosition();
                position->position.x = 10.0f * static_cast<float>(k);
                keyframe->positions.push_back(position);
            }
            track->keyframes.push_back(keyframe);
        }
        animation->tracks.push_back(track);
        mesh->animations["wave"] = animation;
        submesh->tracks["wave"] = track;
        model.mesh = mesh.get();
        model.createVertexArrays();
        model.setAnimation("wave");
    }

    void update(int times) {
        for (int i = 0; i < times; ++i) {
            model.updateAnimation();
        }
    }
    const SubmeshPlayback& state() const { return model.playback.at(submesh); }
    // The x of the first corner in the current and in the next positions.
    float currentX() const { return state().positions[0]; }
    float nextX() const { return state().nextPositions[0]; }
};

} // namespace

// Playback needs no context; the fixture keeps the drawing suites' set-up all the same.
class ModelAnimationTest : public GlTest {};

TEST_F(ModelAnimationTest, TimeAdvancesOneSixtiethPerUpdateAndWrapsAtTheLength) {
    Animated animated(2.0f, {0.0f, 1.0f, 2.0f});
    ASSERT_EQ(animated.model.currentAnimation, "wave");
    animated.update(150);
    EXPECT_NEAR(animated.model.animationTime, 0.5f, 1e-5f);

    animated.model.setAnimation("missing");
    EXPECT_EQ(animated.model.currentAnimation, "wave");
    animated.model.setAnimation("wave");
    EXPECT_EQ(animated.model.animationTime, 0.0f);
}

TEST_F(ModelAnimationTest, ThreeKeyframesAlternateBetweenTheFirstTwoSegments) {
    Animated animated(2.0f, {0.0f, 1.0f, 2.0f});
    animated.update(30); // 0.5 s: first segment, blending keyframe 0 -> 1
    EXPECT_EQ(animated.state().currentKeyframe, 0);
    EXPECT_EQ(animated.state().nextKeyframe, 1);
    EXPECT_NEAR(animated.state().blendFactor, 0.5f, 1e-4f);
    EXPECT_EQ(animated.currentX(), 0.0f) << "still the vertices' own positions";
    EXPECT_EQ(animated.nextX(), 10.0f);

    animated.update(60); // 1.5 s: keyframe 1 towards keyframe 0 over the rest of the length
    EXPECT_EQ(animated.state().currentKeyframe, 1);
    EXPECT_EQ(animated.state().nextKeyframe, 0);
    EXPECT_NEAR(animated.state().blendFactor, 0.5f, 1e-4f);
    EXPECT_EQ(animated.currentX(), 10.0f) << "one step swaps the arrays";
    EXPECT_EQ(animated.nextX(), 0.0f);

    animated.update(60); // 0.5 s of the next loop
    EXPECT_EQ(animated.state().currentKeyframe, 0);
    EXPECT_EQ(animated.state().nextKeyframe, 1);
    EXPECT_EQ(animated.currentX(), 0.0f);
    EXPECT_EQ(animated.nextX(), 10.0f) << "keyframe 2 is never used";
}

TEST_F(ModelAnimationTest, JumpingSeveralSegmentsRefillsBothArrays) {
    Animated animated(4.0f, {0.0f, 0.02f, 0.04f, 3.9f, 4.0f});
    animated.update(1); // first segment
    animated.update(3); // 0.0667 s: past keyframes 1 and 2 at once
    EXPECT_EQ(animated.state().currentKeyframe, 2);
    EXPECT_EQ(animated.currentX(), 20.0f);
    EXPECT_EQ(animated.nextX(), 30.0f);
}

TEST_F(ModelAnimationTest, TwoKeyframesHoldTheFirstAfterItsSegment) {
    Animated animated(1.0f, {0.0f, 0.5f});
    animated.update(45); // 0.75 s: beyond keyframe 1, which only closes the loop
    EXPECT_EQ(animated.state().currentKeyframe, 0);
    EXPECT_EQ(animated.state().nextKeyframe, 0);
    EXPECT_EQ(animated.currentX(), 0.0f) << "keyframe 0's positions, not keyframe 1's";
    EXPECT_EQ(animated.nextX(), 0.0f);
}

TEST_F(ModelAnimationTest, AnimationsThatWouldNeverFindTheirSegmentAreRefused) {
    const std::vector<std::pair<float, std::vector<float>>> broken = {
        {0.0f, {0.0f, 1.0f, 2.0f}},       // no length
        {2.0f, {0.5f, 1.0f, 2.0f}},       // starts late
        {2.0f, {0.0f, 1.5f, 0.5f, 2.0f}}, // out of order
        {2.0f, {0.0f, 2.5f, 3.0f}},       // last used keyframe beyond the end
        {2.0f, {0.0f}},                   // a single keyframe
    };
    for (const auto& [length, times] : broken) {
        LogCapture log;
        Animated animated(length, times);
        EXPECT_TRUE(animated.model.currentAnimation.empty()) << times.size();
        EXPECT_EQ(log.count("WARN", "Animation 'wave'"), 1);
        animated.update(10);
        EXPECT_EQ(animated.model.animationTime, 0.0f);
    }
}

TEST_F(ModelAnimationTest, BlendFactorReachesTheShaderOnlyForThePlayingAnimation) {
    Animated animated(2.0f, {0.0f, 1.0f, 2.0f});
    animated.update(30);
    EXPECT_NEAR(animated.state().blendFactor, 0.5f, 1e-4f);
    animated.submesh->tracks.clear();
    // Without a track the submesh is not morphed: its positions stay put.
    const float before = animated.currentX();
    animated.update(60);
    EXPECT_EQ(animated.currentX(), before);
}

TEST_F(ModelAnimationTest, TwoModelsOfOneMeshPlayOnTheirOwn) {
    Animated animated(2.0f, {0.0f, 1.0f, 2.0f});
    OgreModel other;
    other.mesh = animated.mesh.get();
    other.setAnimation("wave");
    animated.update(30);
    for (int i = 0; i < 90; ++i) {
        other.updateAnimation();
    }
    const SubmeshPlayback& late = other.playback.at(animated.submesh);
    EXPECT_EQ(late.currentKeyframe, 1);
    EXPECT_EQ(late.positions[0], 10.0f);
    EXPECT_EQ(animated.state().currentKeyframe, 0) << "the other model's steps are not this one's";
    EXPECT_NEAR(animated.state().blendFactor, 0.5f, 1e-4f);
    EXPECT_EQ(animated.currentX(), 0.0f);
    EXPECT_EQ(animated.submesh->positionsAdj[0], 0.0f) << "the shared mesh keeps the vertices' positions";
    EXPECT_EQ(other.positionsOf(animated.submesh), late.positions.data());
}

TEST_F(ModelAnimationTest, ALengthTooSmallToSubtractStillWraps) {
    // 1/60 minus a billionth is 1/60 again in floats: subtracting the length would never end.
    Animated animated(1e-9f, {0.0f, 5e-10f, 1e-9f});
    ASSERT_EQ(animated.model.currentAnimation, "wave");
    animated.update(3);
    EXPECT_GE(animated.model.animationTime, 0.0f);
    EXPECT_LT(animated.model.animationTime, 1e-9f);
}
