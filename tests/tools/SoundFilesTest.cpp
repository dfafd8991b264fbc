#include <gtest/gtest.h>

#include <AL/alut.h>
#include <cstdlib>
#include <vorbis/vorbisfile.h>

#include "GameTree.h"

namespace {

struct Decoded {
    bool ok = false;
    int channels = 0;
    long rate = 0;
    double seconds = 0;
    float peak = 0; // of the 16-bit samples, 0..1
};

Decoded decodeOgg(const std::filesystem::path& path) {
    Decoded result;
    OggVorbis_File file;
    if (ov_fopen(path.c_str(), &file) != 0) {
        return result;
    }
    const vorbis_info* info = ov_info(&file, -1);
    result.channels = info->channels;
    result.rate = info->rate;
    char buffer[32768];
    int section = 0;
    long bytes = 0, total = 0;
    while ((bytes = ov_read(&file, buffer, sizeof buffer, 0, 2, 1, &section)) > 0) {
        total += bytes;
        for (long i = 0; i + 1 < bytes; i += 2) {
            const auto sample = std::int16_t(std::uint8_t(buffer[i]) | (std::uint8_t(buffer[i + 1]) << 8));
            result.peak = std::max(result.peak, std::abs(float(sample)) / 32768.0f);
        }
    }
    ov_clear(&file);
    result.ok = bytes == 0 && total > 0;
    result.seconds = double(total) / (2.0 * result.channels * double(result.rate));
    return result;
}

class SoundFilesTest : public ::testing::Test {
protected:
    // ALUT reads files only with a current context; the null device needs no sound card.
    static void SetUpTestSuite() {
        setenv("ALSOFT_DRIVERS", "null", 0);
        ASSERT_TRUE(alutInit(nullptr, nullptr)) << alutGetErrorString(alutGetError());
    }
    static void TearDownTestSuite() { alutExit(); }
};

} // namespace

TEST_F(SoundFilesTest, EveryOggDecodesToAudibleSixteenBitSound) {
    const auto files = game_tree::filesEndingIn(game_tree::root() / "sounds", ".ogg");
    ASSERT_GE(files.size(), 13u);
    for (const auto& file : files) {
        SCOPED_TRACE(file.string());
        const Decoded sound = decodeOgg(file);
        ASSERT_TRUE(sound.ok);
        EXPECT_TRUE(sound.channels == 1 || sound.channels == 2);
        EXPECT_GT(sound.seconds, 0.05);
        EXPECT_GT(sound.peak, 0.2f);
        EXPECT_LE(sound.peak, 1.0f);
    }
}

TEST_F(SoundFilesTest, LoopsAreLongAndShortSoundsShort) {
    EXPECT_GE(decodeOgg(game_tree::root() / "sounds" / "menu" / "background.ogg").seconds, 10.0);
    EXPECT_GE(decodeOgg(game_tree::root() / "sounds" / "ambient.ogg").seconds, 10.0);
    EXPECT_LE(decodeOgg(game_tree::root() / "sounds" / "menu" / "click.ogg").seconds, 0.5);
}

TEST_F(SoundFilesTest, EveryWavLoadsThroughAlut) {
    const auto files = game_tree::filesEndingIn(game_tree::root() / "sounds", ".wav");
    ASSERT_GE(files.size(), 4u);
    for (const auto& file : files) {
        SCOPED_TRACE(file.string());
        ALenum format = 0;
        ALsizei size = 0;
        ALfloat frequency = 0;
        void* data = alutLoadMemoryFromFile(file.c_str(), &format, &size, &frequency);
        ASSERT_NE(data, nullptr) << alutGetErrorString(alutGetError());
        EXPECT_EQ(format, AL_FORMAT_MONO16);
        EXPECT_GT(size, 1000);
        EXPECT_EQ(frequency, 22050.0f);
        std::free(data);
    }
}
