#pragma once

#include <string>

class Config;

// One bitmap font: a texture of 16 x 16 glyph cells and an ini file with the
// nominal size and the advance width of each character at that size.
class Font {
public:
    // basePath + ".dds" is the texture, basePath + ".ini" the description.
    Font(const std::string& basePath, const std::string& name);

    // Advance width of `c` at the nominal size; 16 when the file gives none.
    int charWidth(char c) const;

    std::string textureName;
    std::string name;
    Config* config;
    float size;

    static constexpr int kDefaultWidth = 16;
    static constexpr float kDefaultSize = 28.0f;
};
