#pragma once

#include <filesystem>
#include <vector>

// Synthesised sounds: menu music and jingles, pickups, checkpoint, collisions, fire and level ambience.
class SoundGenerator {
public:
    explicit SoundGenerator(std::filesystem::path gameDir) : gameDir(std::move(gameDir)) {}

    void writeMenuSounds() const;
    void writeGameSounds() const;
    void writeCollisionSounds() const;
    void writeLoops() const;

private:
    std::filesystem::path gameDir;
};

// Mono or interleaved stereo samples in [-1, 1].
struct Pcm {
    int rate = 22050;
    int channels = 1;
    std::vector<float> samples;
};

void writeOgg(const Pcm& pcm, const std::filesystem::path& path);
void writeWav(const Pcm& pcm, const std::filesystem::path& path);
