#pragma once

#include <filesystem>
#include <string>
#include <vector>

// Procedural surface textures with their normal maps, the sky box, the fire series and the HUD bars
// with their icons.
class TextureGenerator {
public:
    explicit TextureGenerator(std::filesystem::path gameDir) : gameDir(std::move(gameDir)) {}

    // Writes the level's surface textures into `textureDir` (normal maps in bump/normalmap/) and
    // returns their file names.
    std::vector<std::string> writeSurfaces(const std::filesystem::path& textureDir) const;
    void writeSkyBox() const;
    void writeFireSeries() const;
    // The two bars and an icon for each: a flame for energy, a double arrow for turbo.
    void writeHudBars() const;
    // The desktop icon, the glowing ball, in the hicolor sizes under icons/hicolor/NxN/apps/.
    void writeIcons() const;

    static constexpr int kFireFrames = 16;
    static constexpr int kIconSizes[] = {16, 22, 24, 32, 48, 64, 128, 256};

private:
    std::filesystem::path gameDir;
};
