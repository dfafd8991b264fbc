#pragma once

#include <filesystem>

// Menu images, the help image and the bitmap font, all lettered with FreeType.
class InterfaceGenerator {
public:
    explicit InterfaceGenerator(std::filesystem::path gameDir) : gameDir(std::move(gameDir)) {}

    void writeMenuImages() const;
    void writeHelpImage() const;
    // The default font: a 16 x 16 grid of glyph cells as DDS plus the ini with size and advance widths.
    void writeFont() const;

    static constexpr const char* kFontName = "Calibri";
    static constexpr int kFontCell = 32;

private:
    std::filesystem::path gameDir;
};
