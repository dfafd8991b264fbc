#include "SoundTestSupport.h"

namespace {

ALint bufferInt(ALuint buffer, ALenum parameter) {
    ALint value = 0;
    alGetBufferi(buffer, parameter, &value);
    return value;
}

} // namespace

class SoundManagerTest : public SoundTest {
protected:
    SoundManagerTest() {
        std::filesystem::create_directories(data.root() / "sounds");
        writeOgg(data.root() / "sounds/long.ogg", {1, 22050, 440.0f, 3.0f});
    }
    static constexpr const char* kLong = "../sounds/long.ogg";
};

TEST_F(SoundManagerTest, FullPoolDropsOneShotSoundsAndKeepsEverySource) {
    sounds();
    EXPECT_EQ(log.count("DEBUG", "SoundSources created: 100"), 1);
    for (int i = 0; i < 100; ++i) {
        sounds()->playSound(kLong);
    }
    ASSERT_EQ(playingSources().size(), 100u);

    sounds()->playSound(kLong);
    EXPECT_EQ(log.count("DEBUG", "No free SoundSource found!"), 1);
    EXPECT_EQ(sounds()->getSource(), nullptr);
    EXPECT_EQ(log.count("WARN", "No free SoundSource found!"), 1);
    EXPECT_EQ(playingSources().size(), 100u);
    EXPECT_EQ(sounds()->getQueueSize(), 100u);

    // One source falls silent somewhere in the rotation; the next sound finds it.
    SoundSource* freed = playingSources()[57];
    freed->stop();
    sounds()->playSound(kLong);
    EXPECT_TRUE(freed->isPlaying());
}

TEST_F(SoundManagerTest, KeptSourcesLeaveTheRotationForGood) {
    SoundSource* kept = sounds()->createSource(kLong);
    ASSERT_NE(kept, nullptr);
    EXPECT_EQ(sourceInt(kept, AL_BUFFER), static_cast<ALint>(sounds()->getBuffer(kLong)));
    EXPECT_EQ(sounds()->getQueueSize(), 99u);
    sounds()->playSound(kLong);
    EXPECT_EQ(sounds()->getQueueSize(), 99u);
    for (int i = 0; i < 150; ++i) {
        EXPECT_NE(sounds()->getSource(), kept);
    }
}

TEST_F(SoundManagerTest, OggDecodesWholeAndCachesByExactName) {
    writeOgg(data.root() / "sounds/mono.ogg", {1, 22050, 440.0f, 1.0f});
    writeOgg(data.root() / "sounds/stereo.ogg", {2, 44100, 440.0f, 0.75f});
    writeOgg(data.root() / "sounds/STEREO.OGG", {2, 44100, 440.0f, 0.75f});

    const ALuint mono = sounds()->getBuffer("../sounds/mono.ogg");
    EXPECT_EQ(bufferInt(mono, AL_CHANNELS), 1);
    EXPECT_EQ(bufferInt(mono, AL_BITS), 16);
    EXPECT_EQ(bufferInt(mono, AL_FREQUENCY), 22050);
    EXPECT_EQ(bufferInt(mono, AL_SIZE), 22050 * 2);

    const ALuint stereo = sounds()->getBuffer("../sounds/stereo.ogg");
    EXPECT_EQ(bufferInt(stereo, AL_CHANNELS), 2);
    EXPECT_EQ(bufferInt(stereo, AL_FREQUENCY), 44100);
    EXPECT_EQ(bufferInt(stereo, AL_SIZE), 33075 * 4);

    const ALuint upper = sounds()->getBuffer("../sounds/STEREO.OGG");
    EXPECT_NE(upper, 0u);
    EXPECT_NE(upper, stereo);
    EXPECT_EQ(sounds()->getBuffer("../sounds/stereo.ogg"), stereo);
    EXPECT_EQ(log.count("DEBUG", "Sound loaded: "), 3);
}

TEST_F(SoundManagerTest, UnloadableFilesGiveSilentBuffersAndWarnOnce) {
    for (int round = 0; round < 2; ++round) {
        EXPECT_EQ(sounds()->getBuffer("../sounds/missing.wav"), 0u);
        EXPECT_EQ(sounds()->getBuffer("../sounds/missing.ogg"), 0u);
        EXPECT_EQ(sounds()->getBuffer(""), 0u);
    }
    EXPECT_EQ(log.count("WARN", "alutCreateBufferFromFile: "), 1);
    EXPECT_EQ(log.count("WARN", "ov_fopen: ../sounds/missing.ogg"), 1);
    EXPECT_EQ(log.count("WARN", "Unknown filetype: "), 1);

    SoundSource* silent = sounds()->createSource("../sounds/missing.ogg");
    ASSERT_NE(silent, nullptr);
    EXPECT_EQ(sourceInt(silent, AL_BUFFER), 0);
}

TEST_F(SoundManagerTest, SettingsComeFromTheSoundConfiguration) {
    sounds();
    ALfloat gain = 0.0f;
    alGetListenerf(AL_GAIN, &gain);
    EXPECT_FLOAT_EQ(gain, 0.8f);
    EXPECT_EQ(alGetInteger(AL_DISTANCE_MODEL), AL_INVERSE_DISTANCE_CLAMPED);
    EXPECT_TRUE(log.problems().empty());
}

TEST_F(SoundManagerTest, MissingSoundConfigurationIsReportedButSoundsStillPlay) {
    data.write("Vorn.ini", "[Files]\n");
    FakeScene scene;
    sounds()->loadCollisionSounds(scene);
    EXPECT_EQ(log.count("ERROR", "No soundconfigfile found"), 1);
    EXPECT_EQ(log.count("ERROR", "Soundconfigfile not found, no collision sounds will be played!"), 1);
    sounds()->playSound(kLong);
    EXPECT_EQ(playingSources().size(), 1u);
}

TEST_F(SoundManagerTest, PauseHoldsExactlyThePlayingSourcesOnce) {
    sounds()->playSound(kLong);
    sounds()->playSound(kLong);
    const std::vector<SoundSource*> first = playingSources();
    SoundSource* idle = sounds()->createSource(kLong);

    sounds()->pauseSounds(true);
    EXPECT_TRUE(first[0]->isPaused() && first[1]->isPaused());
    EXPECT_EQ(idle->getState(), AL_INITIAL);

    // A sound started during the pause is not caught by a second pause.
    sounds()->playSound(kLong);
    SoundSource* late = playingSources().at(0);
    sounds()->pauseSounds(true);
    EXPECT_TRUE(late->isPlaying());

    // A source its holder stopped during the pause stays stopped.
    first[1]->stop();
    sounds()->pauseSounds(false);
    EXPECT_TRUE(first[0]->isPlaying());
    EXPECT_EQ(first[1]->getState(), AL_STOPPED);
    EXPECT_EQ(idle->getState(), AL_INITIAL);

    sounds()->pauseSounds(true);
    EXPECT_TRUE(first[0]->isPaused() && late->isPaused());
}

class CollisionSoundTest : public SoundManagerTest {
protected:
    CollisionSoundTest() {
        data.write("sounds.ini",
                   "[Collisions]\nStone_Wood = ../sounds/long.ogg\nglass_glass = ../sounds/long.ogg\n");
        scene.bodies = {{"a", &stone}, {"b", &wood}, {"c", &metal}, {"d", &glass}, {"e", &glass2}};
        sounds()->loadCollisionSounds(scene);
        sounds()->setListener({0.0f, 0.0f, 0.0f}, {0.0f, 0.0f, -1.0f, 0.0f, 1.0f, 0.0f});
    }

    // The one source the collision started, or null.
    SoundSource* collide(const SoundBody& a, const SoundBody& b, float force, SoundVector point = {1, 2, 3}) {
        for (SoundSource* source : playingSources()) {
            source->stop();
        }
        sounds()->playCollisionSound(&a, &b, point, force);
        const std::vector<SoundSource*> playing = playingSources();
        return playing.size() == 1 ? playing[0] : nullptr;
    }

    FakeBody stone{"STONE", 0.5f}, wood{"wood", 0.5f}, metal{"metal", 1.0f};
    FakeBody glass{"glass", 0.0f}, glass2{"glass", 0.0f};
    FakeScene scene;
};

TEST_F(CollisionSoundTest, OneKeyServesBothOrdersWithoutRegardToCase) {
    const ALint knock = static_cast<ALint>(sounds()->getBuffer(kLong));
    SoundSource* stoneOnWood = collide(stone, wood, 20000.0f);
    ASSERT_NE(stoneOnWood, nullptr);
    EXPECT_EQ(sourceInt(stoneOnWood, AL_BUFFER), knock);
    SoundSource* woodOnStone = collide(wood, stone, 20000.0f);
    ASSERT_NE(woodOnStone, nullptr);
    EXPECT_EQ(sourceInt(woodOnStone, AL_BUFFER), knock);
    EXPECT_EQ(collide(stone, metal, 1.0e6f), nullptr);
}

TEST_F(CollisionSoundTest, ForcePerUnitMassDecidesAndSetsTheGain) {
    EXPECT_EQ(collide(stone, wood, 900.0f), nullptr);
    SoundSource* hit = collide(stone, wood, 20000.0f, {3.0f, 0.0f, 4.0f});
    ASSERT_NE(hit, nullptr);
    EXPECT_FLOAT_EQ(sourceFloat(hit, AL_GAIN), 2.0f);
    EXPECT_FLOAT_EQ(sourceFloat(hit, AL_MAX_GAIN), 2.0f);
    EXPECT_EQ(sourceVector(hit, AL_POSITION), (SoundVector{3.0f, 0.0f, 4.0f}));

    // Massless bodies: the force counts as it is.
    SoundSource* glassHit = collide(glass, glass2, 1500.0f);
    ASSERT_NE(glassHit, nullptr);
    EXPECT_FLOAT_EQ(sourceFloat(glassHit, AL_GAIN), 0.15f);
}

TEST_F(CollisionSoundTest, OnlyHeardNearTheListener) {
    EXPECT_NE(collide(stone, wood, 20000.0f, {0.0f, 0.0f, 49.9f}), nullptr);
    EXPECT_EQ(collide(stone, wood, 20000.0f, {0.0f, 30.0f, 40.1f}), nullptr);
    SoundManager::destroy();
    sounds()->loadCollisionSounds(scene);
    EXPECT_EQ(collide(stone, wood, 20000.0f), nullptr);
}

// Lengths in a WAV file that the file does not hold: what is there plays, the rest is
// neither invented nor set aside.
TEST_F(SoundManagerTest, WavLengthsAreHeldToTheFile) {
    writeWav(data.root() / "sounds/tone.wav", {1, 8000, 440.0f, 0.1f});
    const std::string whole = data.read("sounds/tone.wav");
    const std::size_t dataChunk = whole.find("data");
    ASSERT_NE(dataChunk, std::string::npos);
    const std::size_t samples = whole.size() - dataChunk - 8;
    const auto withLength = [&](std::string file, std::size_t at, std::uint32_t length) {
        for (int i = 0; i < 4; ++i) {
            file[at + 4 + i] = static_cast<char>(length >> (8 * i));
        }
        return file;
    };

    data.write("sounds/cut.wav", whole.substr(0, whole.size() - 100));
    data.write("sounds/claims-gigabytes.wav", withLength(whole, dataChunk, 0xFFFFFFF0u));
    data.write("sounds/huge-format.wav", withLength(whole, whole.find("fmt "), 0x80000000u));
    data.write("sounds/no-data.wav", whole.substr(0, dataChunk));
    EXPECT_EQ(bufferInt(sounds()->getBuffer("../sounds/cut.wav"), AL_SIZE),
              static_cast<ALint>(samples - 100));
    EXPECT_EQ(bufferInt(sounds()->getBuffer("../sounds/claims-gigabytes.wav"), AL_SIZE),
              static_cast<ALint>(samples));
    EXPECT_EQ(sounds()->getBuffer("../sounds/huge-format.wav"), 0u);
    EXPECT_EQ(sounds()->getBuffer("../sounds/no-data.wav"), 0u);
    EXPECT_EQ(log.count("WARN", "alutCreateBufferFromFile: "), 2);
}

// The decoding the game uses for a file works on its bytes alone.
TEST(SoundDecodingTest, OggDecodesFromMemoryWithoutADevice) {
    const TempDataRoot data;
    writeOgg(data.root() / "tone.ogg", {2, 22050, 440.0f, 0.5f});
    const std::string bytes = data.read("tone.ogg");
    const auto sound = SoundManager::decodeSound("TONE.OGG", bytes.data(), bytes.size());
    ASSERT_TRUE(sound);
    EXPECT_EQ(sound->format, AL_FORMAT_STEREO16);
    EXPECT_EQ(sound->frequency, 22050);
    EXPECT_EQ(sound->samples.size(), 11025u * 4);
    EXPECT_FALSE(SoundManager::decodeSound("tone.ogg", bytes.data(), 100)) << "cut inside the headers";
    EXPECT_FALSE(SoundManager::decodeSound("tone.mp3", bytes.data(), bytes.size()));
    EXPECT_EQ(SoundManager::existingInstance(), nullptr);
}
