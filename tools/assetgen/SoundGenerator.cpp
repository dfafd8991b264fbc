#include "SoundGenerator.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <fstream>
#include <numbers>
#include <stdexcept>
#include <vorbis/vorbisenc.h>

#include "Noise.h"

namespace {

constexpr float kTwoPi = 2 * std::numbers::pi_v<float>;
constexpr int kRate = 22050;

float note(int semitonesFromA4) {
    return 440.0f * std::pow(2.0f, float(semitonesFromA4) / 12.0f);
}

Pcm silence(float seconds, int channels = 1) {
    Pcm pcm{kRate, channels, {}};
    pcm.samples.assign(std::size_t(seconds * kRate) * channels, 0.0f);
    return pcm;
}

std::size_t frames(const Pcm& pcm) {
    return pcm.samples.size() / pcm.channels;
}

// A bell-like tone: a few inharmonic partials with an exponential decay, added at `start`.
void addChime(Pcm& pcm, float start, float frequency, float decay, float gain, float pan = 0.5f) {
    const float partials[][2] = {{1.0f, 1.0f}, {2.76f, 0.35f}, {5.40f, 0.15f}, {2.0f, 0.25f}};
    const std::size_t first = std::size_t(start * kRate);
    for (std::size_t i = first; i < frames(pcm); ++i) {
        const float t = float(i - first) / kRate;
        const float envelope = std::exp(-t / decay) * std::min(1.0f, t * 400);
        if (t > 0.01f && envelope < 1e-4f) {
            break;
        }
        float v = 0;
        for (const auto& p : partials) {
            v += std::sin(kTwoPi * frequency * p[0] * t) * p[1] * std::exp(-t * p[0] / (decay * 3));
        }
        v *= envelope * gain;
        if (pcm.channels == 2) {
            pcm.samples[i * 2] += v * (1 - pan);
            pcm.samples[i * 2 + 1] += v * pan;
        } else {
            pcm.samples[i] += v;
        }
    }
}

// A soft pad voice (detuned triangles) with attack and release, for the music.
void addPad(Pcm& pcm, float start, float length, float frequency, float gain, float pan) {
    const std::size_t first = std::size_t(start * kRate);
    const std::size_t count = std::size_t((length + 2.0f) * kRate);
    for (std::size_t k = 0; k < count; ++k) {
        const std::size_t i = (first + k) % frames(pcm); // wraps around: the loop stays seamless
        const float t = float(k) / kRate;
        const float attack = std::min(1.0f, t / 1.2f);
        const float release = t < length ? 1.0f : std::max(0.0f, 1.0f - (t - length) / 2.0f);
        float v = 0;
        for (const float detune : {0.997f, 1.0f, 1.004f}) {
            const float phase = std::fmod(frequency * detune * t, 1.0f);
            v += (phase < 0.5f ? 4 * phase - 1 : 3 - 4 * phase);
        }
        v *= gain * attack * release / 3;
        pcm.samples[i * 2] += v * (1 - pan);
        pcm.samples[i * 2 + 1] += v * pan;
    }
}

// Filtered noise burst plus damped resonances: something hitting something.
Pcm impact(std::uint32_t seed, float cutoff, const std::vector<float>& modes, float decay, float noiseGain) {
    const Noise noise(seed);
    Pcm pcm = silence(decay * 6 + 0.05f);
    float low = 0;
    const float alpha = 1 - std::exp(-kTwoPi * cutoff / kRate);
    for (std::size_t i = 0; i < frames(pcm); ++i) {
        const float t = float(i) / kRate;
        const float white = noise.random(int(i), 0) * 2 - 1;
        low += (white - low) * alpha;
        float v = low * noiseGain * std::exp(-t / (decay * 0.4f));
        for (std::size_t m = 0; m < modes.size(); ++m) {
            v +=
                std::sin(kTwoPi * modes[m] * t) * std::exp(-t / (decay / float(m + 1))) * 0.5f / float(m + 1);
        }
        pcm.samples[i] = v * std::min(1.0f, t * 2000);
    }
    return pcm;
}

// Crackling fire: low rumble plus random pops; `seconds` long and loopable (pops never cross the end).
Pcm fire(float seconds) {
    const Noise noise(211);
    Pcm pcm = silence(seconds);
    const std::size_t n = frames(pcm);
    float low = 0, band = 0;
    for (std::size_t i = 0; i < n; ++i) {
        const float white = noise.random(int(i), 1) * 2 - 1;
        low += (white - low) * 0.02f;
        band += (white - band) * 0.3f;
        const float swell = 0.7f + 0.3f * std::sin(kTwoPi * float(i) / float(n) * 3);
        pcm.samples[i] = low * 1.6f * swell + band * 0.05f;
    }
    for (int pop = 0; pop < int(seconds * 14); ++pop) {
        const std::size_t at = std::size_t(noise.random(pop, 2) * float(n - kRate / 10));
        const float gain = 0.2f + 0.5f * noise.random(pop, 3);
        for (std::size_t k = 0; k < std::size_t(kRate / 25); ++k) {
            const float t = float(k) / kRate;
            pcm.samples[at + k] += (noise.random(pop, int(k) + 7) * 2 - 1) * gain * std::exp(-t * 180);
        }
    }
    return pcm;
}

void normalise(Pcm& pcm, float peak) {
    float max = 0;
    for (const float s : pcm.samples) {
        max = std::max(max, std::fabs(s));
    }
    if (max > 0) {
        for (float& s : pcm.samples) {
            s *= peak / max;
        }
    }
}

} // namespace

void writeOgg(const Pcm& pcm, const std::filesystem::path& path) {
    std::filesystem::create_directories(path.parent_path());
    std::ofstream out(path, std::ios::binary);
    if (!out) {
        throw std::runtime_error("could not write " + path.string());
    }
    vorbis_info info;
    vorbis_info_init(&info);
    if (vorbis_encode_init_vbr(&info, pcm.channels, pcm.rate, 0.4f) != 0) {
        throw std::runtime_error("vorbis encoder refused the format of " + path.string());
    }
    vorbis_comment comment;
    vorbis_comment_init(&comment);
    vorbis_dsp_state dsp;
    vorbis_block block;
    vorbis_analysis_init(&dsp, &info);
    vorbis_block_init(&dsp, &block);
    ogg_stream_state stream;
    ogg_stream_init(&stream, 0x566f726e); // a fixed serial number keeps the bytes reproducible
    ogg_packet header, commentHeader, codeHeader;
    vorbis_analysis_headerout(&dsp, &comment, &header, &commentHeader, &codeHeader);
    ogg_stream_packetin(&stream, &header);
    ogg_stream_packetin(&stream, &commentHeader);
    ogg_stream_packetin(&stream, &codeHeader);
    ogg_page page;
    auto writePage = [&] {
        out.write(reinterpret_cast<const char*>(page.header), page.header_len);
        out.write(reinterpret_cast<const char*>(page.body), page.body_len);
    };
    while (ogg_stream_flush(&stream, &page) != 0) {
        writePage();
    }
    const std::size_t total = frames(pcm);
    const std::size_t chunk = 4096;
    bool ended = false;
    for (std::size_t offset = 0; !ended;) {
        const std::size_t count = std::min(chunk, total - offset);
        if (count == 0) {
            vorbis_analysis_wrote(&dsp, 0);
        } else {
            float** buffer = vorbis_analysis_buffer(&dsp, int(count));
            for (std::size_t i = 0; i < count; ++i) {
                for (int c = 0; c < pcm.channels; ++c) {
                    buffer[c][i] = std::clamp(pcm.samples[(offset + i) * pcm.channels + c], -1.0f, 1.0f);
                }
            }
            vorbis_analysis_wrote(&dsp, int(count));
            offset += count;
        }
        while (vorbis_analysis_blockout(&dsp, &block) == 1) {
            vorbis_analysis(&block, nullptr);
            vorbis_bitrate_addblock(&block);
            ogg_packet packet;
            while (vorbis_bitrate_flushpacket(&dsp, &packet) != 0) {
                ogg_stream_packetin(&stream, &packet);
                while (ogg_stream_pageout(&stream, &page) != 0) {
                    writePage();
                    ended = ogg_page_eos(&page) != 0;
                }
            }
        }
    }
    ogg_stream_clear(&stream);
    vorbis_block_clear(&block);
    vorbis_dsp_clear(&dsp);
    vorbis_comment_clear(&comment);
    vorbis_info_clear(&info);
}

void writeWav(const Pcm& pcm, const std::filesystem::path& path) {
    std::filesystem::create_directories(path.parent_path());
    std::ofstream out(path, std::ios::binary);
    auto put32 = [&](std::uint32_t v) {
        const char b[4] = {char(v & 0xff), char((v >> 8) & 0xff), char((v >> 16) & 0xff),
                           char((v >> 24) & 0xff)};
        out.write(b, 4);
    };
    auto put16 = [&](std::uint16_t v) {
        const char b[2] = {char(v & 0xff), char((v >> 8) & 0xff)};
        out.write(b, 2);
    };
    const std::uint32_t dataBytes = std::uint32_t(pcm.samples.size() * 2);
    out.write("RIFF", 4);
    put32(36 + dataBytes);
    out.write("WAVEfmt ", 8);
    put32(16);
    put16(1); // PCM
    put16(std::uint16_t(pcm.channels));
    put32(std::uint32_t(pcm.rate));
    put32(std::uint32_t(pcm.rate * pcm.channels * 2));
    put16(std::uint16_t(pcm.channels * 2));
    put16(16);
    out.write("data", 4);
    put32(dataBytes);
    for (const float s : pcm.samples) {
        put16(std::uint16_t(std::int16_t(std::lround(std::clamp(s, -1.0f, 1.0f) * 32767))));
    }
    if (!out) {
        throw std::runtime_error("could not write " + path.string());
    }
}

void SoundGenerator::writeMenuSounds() const {
    const std::filesystem::path dir = gameDir / "sounds" / "menu";

    // Four chords of four seconds (Am, F, C, G), each voice fading into the next; the buffer wraps.
    Pcm music = silence(16.0f, 2);
    const int chords[4][3] = {{-12, -9, -5}, {-16, -12, -9}, {-21, -17, -14}, {-14, -10, -7}};
    for (int c = 0; c < 4; ++c) {
        for (int v = 0; v < 3; ++v) {
            addPad(music, float(c) * 4, 4.0f, note(chords[c][v]), 0.22f, 0.3f + 0.2f * float(v));
        }
        addPad(music, float(c) * 4, 4.0f, note(chords[c][0] - 12), 0.18f, 0.5f);
        for (int step = 0; step < 4; ++step) {
            addChime(music, float(c) * 4 + float(step), note(chords[c][step % 3] + 12), 0.6f, 0.08f,
                     step % 2 ? 0.3f : 0.7f);
        }
    }
    normalise(music, 0.6f);
    writeOgg(music, dir / "background.ogg");

    Pcm click = silence(0.08f);
    addChime(click, 0, 1400, 0.015f, 0.7f);
    writeOgg(click, dir / "click.ogg");

    Pcm click2 = silence(0.25f);
    addChime(click2, 0, note(3), 0.04f, 0.5f);
    addChime(click2, 0.07f, note(10), 0.06f, 0.5f);
    writeOgg(click2, dir / "click2.ogg");

    Pcm start = silence(1.6f);
    for (int i = 0; i < 6; ++i) {
        addChime(start, float(i) * 0.09f, note(-9 + i * 4 - (i / 2)), 0.35f, 0.35f);
    }
    normalise(start, 0.8f);
    writeOgg(start, dir / "startgame.ogg");

    Pcm over = silence(2.6f);
    const int falling[] = {3, 0, -4, -9};
    for (int i = 0; i < 4; ++i) {
        addChime(over, float(i) * 0.4f, note(falling[i]), 0.5f + 0.2f * float(i), 0.4f);
    }
    normalise(over, 0.8f);
    writeOgg(over, dir / "gameover.ogg");

    Pcm win = silence(3.0f);
    const int rising[] = {0, 4, 7, 12, 16, 19, 24};
    for (int i = 0; i < 7; ++i) {
        addChime(win, float(i) * 0.12f, note(rising[i]), 0.5f, 0.3f);
    }
    addChime(win, 0.9f, note(12), 1.2f, 0.3f);
    addChime(win, 0.9f, note(16), 1.2f, 0.25f);
    addChime(win, 0.9f, note(19), 1.2f, 0.25f);
    normalise(win, 0.8f);
    writeOgg(win, dir / "gamewin.ogg");
}

void SoundGenerator::writeGameSounds() const {
    const std::filesystem::path dir = gameDir / "sounds";
    auto sparkle = [](int root, int notes, float spacing, float decay) {
        Pcm pcm = silence(float(notes) * spacing + decay * 5);
        for (int i = 0; i < notes; ++i) {
            addChime(pcm, float(i) * spacing, note(root + i * 5), decay, 0.35f);
        }
        normalise(pcm, 0.8f);
        return pcm;
    };
    writeOgg(sparkle(12, 2, 0.06f, 0.12f), dir / "items" / "power.ogg");
    writeOgg(sparkle(12, 5, 0.06f, 0.2f), dir / "items" / "powerbottle.ogg");
    writeOgg(sparkle(19, 2, 0.04f, 0.1f), dir / "items" / "turbo.ogg");
    writeOgg(sparkle(19, 5, 0.04f, 0.18f), dir / "items" / "turbobottle.ogg");

    Pcm checkpoint = silence(2.5f);
    addChime(checkpoint, 0, note(7), 0.5f, 0.4f);
    addChime(checkpoint, 0.15f, note(14), 0.5f, 0.35f);
    addChime(checkpoint, 0.3f, note(19), 0.7f, 0.3f);
    normalise(checkpoint, 0.8f);
    writeOgg(checkpoint, dir / "checkpoint.ogg");
}

void SoundGenerator::writeCollisionSounds() const {
    const std::filesystem::path dir = gameDir / "sounds" / "collisions";
    struct Hit {
        const char* file;
        Pcm pcm;
    };
    Hit hits[] = {
        {"stone.wav", impact(301, 900, {95, 210}, 0.05f, 1.2f)},
        {"metal.wav", impact(302, 4000, {620, 1480, 2710}, 0.25f, 0.4f)},
        {"wood.wav", impact(303, 1500, {180, 420}, 0.07f, 0.9f)},
        {"grass.wav", impact(304, 400, {70}, 0.04f, 1.4f)},
    };
    for (Hit& hit : hits) {
        normalise(hit.pcm, 0.9f);
        writeWav(hit.pcm, dir / hit.file);
    }
}

void SoundGenerator::writeLoops() const {
    Pcm burning = fire(4.0f);
    normalise(burning, 0.7f);
    writeOgg(burning, gameDir / "sounds" / "fire.ogg");

    // Level ambience: a low drone with slow wind; the wind noise is periodic with the loop.
    Pcm ambient = silence(12.0f, 2);
    const Noise noise(401);
    const std::size_t n = frames(ambient);
    for (std::size_t i = 0; i < n; ++i) {
        const float t = float(i) / kRate;
        const float phase = float(i) / float(n);
        const float drone = std::sin(kTwoPi * 55 * t) * 0.3f + std::sin(kTwoPi * 82.5f * t) * 0.15f;
        const float gust = 0.5f + 0.5f * std::sin(kTwoPi * phase * 2);
        for (int c = 0; c < 2; ++c) {
            const float wind = noise.value(t * 300, float(c) * 17, int(12 * 300)) * 2 - 1;
            ambient.samples[i * 2 + c] = drone * 0.5f + wind * 0.25f * gust;
        }
    }
    normalise(ambient, 0.5f);
    writeOgg(ambient, gameDir / "sounds" / "ambient.ogg");
}
