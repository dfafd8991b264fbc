#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "LogCapture.h"
#include "TempDataRoot.h"
#include "audio/SoundBody.h"
#include "audio/SoundManager.h"
#include "audio/SoundScene.h"

// A sine tone to write as a sound file.
struct Tone {
    int channels;
    int rate;
    float frequency;
    float seconds;
};

void writeWav(const std::filesystem::path& path, const Tone& tone);
void writeOgg(const std::filesystem::path& path, const Tone& tone);

// The left channel of what the wave backend wrote, scaled to -1..1.
struct Recording {
    int rate = 0;
    std::vector<float> left;

    float peak() const;
    // From the first to the last sample louder than a whisper.
    float soundingSeconds() const;
    // From the upward zero crossings of the loud part.
    float pitch() const;
};

// Sends OpenAL's output of this process to a wave file; must run before the device opens.
std::filesystem::path useWaveRecorder();
Recording readRecording(const std::filesystem::path& path);

struct FakeBody : SoundBody {
    FakeBody(std::string profile, float mass) : profile(std::move(profile)), mass(mass) {}
    std::string getSoundProfile() const override { return profile; }
    float getSoundMass() const override { return mass; }
    std::string profile;
    float mass;
};

struct FakeScene : SoundScene {
    std::map<std::string, const SoundBody*> getSoundBodies() const override { return bodies; }
    std::map<std::string, const SoundBody*> bodies;
};

// A data root whose main configuration names "../sounds.ini", with the
// manager's output going to the wave recorder.
class SoundTest : public ::testing::Test {
protected:
    SoundTest();
    ~SoundTest() override;

    SoundManager* sounds() { return SoundManager::getInstance(); }
    std::vector<SoundSource*> playingSources();
    ALint sourceInt(const SoundSource* source, ALenum parameter);
    float sourceFloat(const SoundSource* source, ALenum parameter);
    SoundVector sourceVector(const SoundSource* source, ALenum parameter);

    std::filesystem::path recordingFile;
    TempDataRoot data;
    LogCapture log;
};
