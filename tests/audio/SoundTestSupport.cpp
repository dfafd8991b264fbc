#include "SoundTestSupport.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <numbers>
#include <unistd.h>

#include "SoundGenerator.h"
#include "core/ConfigManager.h"

namespace fs = std::filesystem;

namespace {

float sample(const Tone& tone, int index) {
    return 0.5f * std::sin(2.0f * std::numbers::pi_v<float> * tone.frequency * index / tone.rate);
}

int frameCount(const Tone& tone) {
    return static_cast<int>(tone.rate * tone.seconds);
}

Pcm pcmOf(const Tone& tone) {
    Pcm pcm;
    pcm.rate = tone.rate;
    pcm.channels = tone.channels;
    for (int i = 0; i < frameCount(tone); ++i) {
        pcm.samples.insert(pcm.samples.end(), static_cast<std::size_t>(tone.channels), sample(tone, i));
    }
    return pcm;
}

} // namespace

void writeWav(const fs::path& path, const Tone& tone) {
    writeWav(pcmOf(tone), path);
}

void writeOgg(const fs::path& path, const Tone& tone) {
    writeOgg(pcmOf(tone), path);
}

float Recording::peak() const {
    float loudest = 0.0f;
    for (const float value : left) {
        loudest = std::max(loudest, std::abs(value));
    }
    return loudest;
}

float Recording::soundingSeconds() const {
    const auto loud = [](float value) { return std::abs(value) > 0.05f; };
    const auto first = std::find_if(left.begin(), left.end(), loud);
    const auto last = std::find_if(left.rbegin(), left.rend(), loud);
    return first == left.end() ? 0.0f : float(last.base() - first) / rate;
}

float Recording::pitch() const {
    std::vector<std::size_t> upwardCrossings;
    bool low = false;
    for (std::size_t i = 0; i < left.size(); ++i) {
        if (left[i] < -0.05f) {
            low = true;
        } else if (low && left[i] > 0.05f) {
            low = false;
            upwardCrossings.push_back(i);
        }
    }
    if (upwardCrossings.size() < 2) {
        return 0.0f;
    }
    const float span = float(upwardCrossings.back() - upwardCrossings.front()) / rate;
    return (upwardCrossings.size() - 1) / span;
}

// OpenAL reads its configuration once per process, so every test of the
// process records into the same file; each device opening starts it afresh.
fs::path useWaveRecorder() {
    static const fs::path folder = [] {
        std::string pattern = (fs::temp_directory_path() / "vorn-sound-XXXXXX").string();
        const fs::path made = mkdtemp(pattern.data());
        std::ofstream(made / "alsoft.conf")
            << "[general]\ndrivers = wave\nsample-type = int16\ndither = false\n"
               "channels = stereo\nfrequency = 44100\n[wave]\nfile = "
            << (made / "recording.wav").string() << "\n";
        setenv("ALSOFT_CONF", (made / "alsoft.conf").c_str(), 1);
        setenv("ALSOFT_DRIVERS", "wave", 1);
        static const struct Cleanup {
            fs::path path;
            ~Cleanup() { fs::remove_all(path); }
        } cleanup{made};
        return made;
    }();
    return folder / "recording.wav";
}

Recording readRecording(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    char riff[12];
    in.read(riff, sizeof riff);
    Recording recording;
    int channels = 0;
    char id[4];
    std::uint32_t size = 0;
    while (in.read(id, 4) && in.read(reinterpret_cast<char*>(&size), 4)) {
        std::vector<char> body(size);
        in.read(body.data(), size);
        body.resize(in.gcount());
        if (std::string(id, 4) == "fmt ") {
            channels = *reinterpret_cast<const std::uint16_t*>(&body[2]);
            recording.rate = *reinterpret_cast<const std::int32_t*>(&body[4]);
        } else if (std::string(id, 4) == "data") {
            const auto* samples = reinterpret_cast<const std::int16_t*>(body.data());
            for (std::size_t i = 0; i + channels <= body.size() / 2; i += channels) {
                recording.left.push_back(samples[i] / 32768.0f);
            }
        }
    }
    return recording;
}

SoundTest::SoundTest() : recordingFile(useWaveRecorder()) {
    data.write("Vorn.ini", "[Files]\nSoundFile = ../sounds.ini\n");
    data.write("sounds.ini", "[Common]\nlistenergain = 0.8\n");
}

SoundTest::~SoundTest() {
    SoundManager::destroy();
    ConfigManager::destroy();
}

std::vector<SoundSource*> SoundTest::playingSources() {
    std::vector<SoundSource*> playing;
    for (SoundSource* source : sounds()->getAllSources()) {
        if (source->isPlaying()) {
            playing.push_back(source);
        }
    }
    return playing;
}

ALint SoundTest::sourceInt(const SoundSource* source, ALenum parameter) {
    ALint value = 0;
    alGetSourcei(source->getSource(), parameter, &value);
    return value;
}

float SoundTest::sourceFloat(const SoundSource* source, ALenum parameter) {
    float value = 0.0f;
    alGetSourcef(source->getSource(), parameter, &value);
    return value;
}

SoundVector SoundTest::sourceVector(const SoundSource* source, ALenum parameter) {
    SoundVector value{};
    alGetSourcefv(source->getSource(), parameter, value.data());
    return value;
}
