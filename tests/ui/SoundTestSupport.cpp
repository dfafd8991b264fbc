#include "SoundTestSupport.h"

#include <vorbis/vorbisenc.h>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <numbers>
#include <unistd.h>

#include "app/ConfigManager.h"

namespace fs = std::filesystem;

namespace {

float sample(const Tone& tone, int index) {
    return 0.5f * std::sin(2.0f * std::numbers::pi_v<float> * tone.frequency * index / tone.rate);
}

int frameCount(const Tone& tone) {
    return static_cast<int>(tone.rate * tone.seconds);
}

template <typename T> void put(std::ofstream& out, T value) {
    out.write(reinterpret_cast<const char*>(&value), sizeof value);
}

void writeOggPage(std::ofstream& out, const ogg_page& page) {
    out.write(reinterpret_cast<const char*>(page.header), page.header_len);
    out.write(reinterpret_cast<const char*>(page.body), page.body_len);
}

} // namespace

void writeWav(const fs::path& path, const Tone& tone) {
    const std::uint32_t dataBytes = frameCount(tone) * tone.channels * 2;
    std::ofstream out(path, std::ios::binary);
    out.write("RIFF", 4);
    put<std::uint32_t>(out, 36 + dataBytes);
    out.write("WAVEfmt ", 8);
    put<std::uint32_t>(out, 16);
    put<std::uint16_t>(out, 1);
    put<std::uint16_t>(out, tone.channels);
    put<std::uint32_t>(out, tone.rate);
    put<std::uint32_t>(out, tone.rate * tone.channels * 2);
    put<std::uint16_t>(out, tone.channels * 2);
    put<std::uint16_t>(out, 16);
    out.write("data", 4);
    put<std::uint32_t>(out, dataBytes);
    for (int i = 0; i < frameCount(tone); ++i) {
        for (int c = 0; c < tone.channels; ++c) {
            put<std::int16_t>(out, static_cast<std::int16_t>(sample(tone, i) * 32767));
        }
    }
}

void writeOgg(const fs::path& path, const Tone& tone) {
    vorbis_info info;
    vorbis_info_init(&info);
    vorbis_encode_init_vbr(&info, tone.channels, tone.rate, 0.4f);
    vorbis_comment comment;
    vorbis_comment_init(&comment);
    vorbis_dsp_state dsp;
    vorbis_analysis_init(&dsp, &info);
    vorbis_block block;
    vorbis_block_init(&dsp, &block);
    ogg_stream_state stream;
    ogg_stream_init(&stream, 1);
    std::ofstream out(path, std::ios::binary);

    ogg_packet header, commentHeader, codeHeader;
    vorbis_analysis_headerout(&dsp, &comment, &header, &commentHeader, &codeHeader);
    ogg_stream_packetin(&stream, &header);
    ogg_stream_packetin(&stream, &commentHeader);
    ogg_stream_packetin(&stream, &codeHeader);
    ogg_page page;
    while (ogg_stream_flush(&stream, &page)) {
        writeOggPage(out, page);
    }
    const int frames = frameCount(tone);
    float** input = vorbis_analysis_buffer(&dsp, frames);
    for (int i = 0; i < frames; ++i) {
        for (int c = 0; c < tone.channels; ++c) {
            input[c][i] = sample(tone, i);
        }
    }
    vorbis_analysis_wrote(&dsp, frames);
    vorbis_analysis_wrote(&dsp, 0);
    ogg_packet packet;
    while (vorbis_analysis_blockout(&dsp, &block) == 1) {
        vorbis_analysis(&block, nullptr);
        vorbis_bitrate_addblock(&block);
        while (vorbis_bitrate_flushpacket(&dsp, &packet)) {
            ogg_stream_packetin(&stream, &packet);
            while (ogg_stream_pageout(&stream, &page)) {
                writeOggPage(out, page);
            }
        }
    }
    while (ogg_stream_flush(&stream, &page)) {
        writeOggPage(out, page);
    }
    ogg_stream_clear(&stream);
    vorbis_block_clear(&block);
    vorbis_dsp_clear(&dsp);
    vorbis_comment_clear(&comment);
    vorbis_info_clear(&info);
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
