#pragma once

#include <cstdint>

// Tileable value noise from an integer hash: the same seed gives the same bytes on every run.
class Noise {
public:
    explicit Noise(std::uint32_t seed) : seed(seed) {}

    // Smooth noise in [0, 1] with lattice cells of size 1, repeating every `period` cells.
    float value(float x, float y, int period) const;
    // Sum of `octaves` layers, each twice the frequency and half the amplitude, in [0, 1].
    float fractal(float x, float y, int period, int octaves) const;
    // Cellular pattern of one jittered point per cell: 0 on the borders between neighbouring points,
    // growing towards the points; repeats every `period`.
    float cells(float x, float y, int period) const;
    // A deterministic number in [0, 1) for an integer triple.
    float random(int x, int y, int z = 0) const;

private:
    std::uint32_t seed;
};
