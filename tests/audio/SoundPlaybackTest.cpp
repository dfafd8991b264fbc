#include "SoundTestSupport.h"

#include <chrono>
#include <thread>

class SoundPlaybackTest : public SoundTest {
protected:
    // Plays the file once and gives back what the device put out.
    Recording playAndRecord(const std::string& fileName, float seconds) {
        sounds()->playSound(fileName);
        std::this_thread::sleep_for(std::chrono::duration<float>(seconds));
        // The mixer runs in real time; on a busy machine it may lag behind.
        for (int wait = 0; wait < 50 && !playingSources().empty(); ++wait) {
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        SoundManager::destroy(); // closing the device completes the file
        return readRecording(recordingFile);
    }

    Recording playTone(const std::string& name, const Tone& tone) {
        const auto path = data.root() / "sounds" / name;
        std::filesystem::create_directories(path.parent_path());
        name.ends_with(".ogg") ? writeOgg(path, tone) : writeWav(path, tone);
        return playAndRecord("../sounds/" + name, tone.seconds);
    }
};

TEST_F(SoundPlaybackTest, OggPlaysAtItsOwnRate) {
    // Far from the world's origin a one-shot sound is as loud as anywhere.
    sounds()->setListener({40.0f, 0.0f, 0.0f}, {0.0f, 0.0f, -1.0f, 0.0f, 1.0f, 0.0f});
    const Recording recording = playTone("tone.ogg", {1, 22050, 440.0f, 0.4f});
    EXPECT_EQ(recording.rate, 44100);
    EXPECT_GT(recording.peak(), 0.2f);
    EXPECT_NEAR(recording.soundingSeconds(), 0.4f, 0.03f);
    EXPECT_NEAR(recording.pitch(), 440.0f, 440.0f * 0.01f);
}

TEST_F(SoundPlaybackTest, WavPlaysAtItsOwnRate) {
    const Recording recording = playTone("tone.wav", {2, 11025, 660.0f, 0.4f});
    EXPECT_GT(recording.peak(), 0.2f);
    EXPECT_NEAR(recording.soundingSeconds(), 0.4f, 0.03f);
    EXPECT_NEAR(recording.pitch(), 660.0f, 660.0f * 0.01f);
}

TEST_F(SoundPlaybackTest, UnknownFileTypeStaysSilent) {
    data.write("sounds/tone.mp3", "not a sound");
    const Recording recording = playAndRecord("../sounds/tone.mp3", 0.2f);
    EXPECT_FALSE(recording.left.empty());
    EXPECT_EQ(recording.peak(), 0.0f);
    EXPECT_EQ(log.count("WARN", "Unknown filetype: ../sounds/tone.mp3"), 1);
}
