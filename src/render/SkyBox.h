#pragma once

#include <array>
#include <string>

// Six textures on a box around the eye, drawn before the level behind
// everything: it turns with the view but never moves and writes no depth.
class SkyBox {
public:
    // "../textures/" + name + "/front.dds" and so on, in the order front, right, back, left, top, bottom.
    explicit SkyBox(const std::string& name);

    // Registers the six textures with the texture loader, clamped at their edges.
    void addTextures() const;
    // Draws with the fixed pipeline; leaves the state as it found it.
    void draw() const;

    std::array<std::string, 6> textures;

private:
    mutable std::array<bool, 6> missing{};
};
