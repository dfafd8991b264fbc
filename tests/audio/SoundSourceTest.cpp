#include "SoundTestSupport.h"

using SoundSourceTest = SoundTest;

TEST_F(SoundSourceTest, VelocityFollowsFromThePreviousPositionUntilReset) {
    SoundSource* source = sounds()->getSourceAndRemoveFromQueue();
    ASSERT_NE(source, nullptr);
    source->setPosition({1.0f, 2.0f, 3.0f});
    EXPECT_EQ(sourceVector(source, AL_VELOCITY), (SoundVector{0.0f, 0.0f, 0.0f}));
    source->setPosition({1.5f, 2.0f, 2.0f});
    EXPECT_EQ(sourceVector(source, AL_POSITION), (SoundVector{1.5f, 2.0f, 2.0f}));
    const SoundVector velocity = sourceVector(source, AL_VELOCITY);
    EXPECT_FLOAT_EQ(velocity[0], 0.5f / 0.016666668f);
    EXPECT_FLOAT_EQ(velocity[1], 0.0f);
    EXPECT_FLOAT_EQ(velocity[2], -1.0f / 0.016666668f);

    source->reset();
    EXPECT_EQ(sourceVector(source, AL_POSITION), (SoundVector{0.0f, 0.0f, 0.0f}));
    source->setPosition({9.0f, 9.0f, 9.0f});
    EXPECT_EQ(sourceVector(source, AL_VELOCITY), (SoundVector{0.0f, 0.0f, 0.0f}));
}

TEST_F(SoundSourceTest, GainCapsItselfAndResetLiftsTheCap) {
    SoundSource* source = sounds()->getSourceAndRemoveFromQueue();
    ASSERT_NE(source, nullptr);
    source->setGain(0.25f);
    source->setLooping(true);
    source->setReferenceDistance(4.0f);
    source->setListenerRelative(true);
    EXPECT_FLOAT_EQ(sourceFloat(source, AL_GAIN), 0.25f);
    EXPECT_FLOAT_EQ(sourceFloat(source, AL_MAX_GAIN), 0.25f);

    // The next user of a source must not inherit the cap a collision sound left.
    source->reset();
    EXPECT_FLOAT_EQ(sourceFloat(source, AL_GAIN), 1.0f);
    EXPECT_FLOAT_EQ(sourceFloat(source, AL_MAX_GAIN), 1.0f);
    EXPECT_FLOAT_EQ(sourceFloat(source, AL_REFERENCE_DISTANCE), 1.0f);
    EXPECT_EQ(sourceInt(source, AL_LOOPING), AL_FALSE);
    EXPECT_EQ(sourceInt(source, AL_SOURCE_RELATIVE), AL_FALSE);
}
