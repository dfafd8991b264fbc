#pragma once

#include <ft2build.h>
#include FT_FREETYPE_H

#include <string>

#include "Image.h"

// Draws text into images through FreeType; strings are Latin-1, one byte per character.
class TextPainter {
public:
    explicit TextPainter(const char* fontFile);
    ~TextPainter();
    TextPainter(const TextPainter&) = delete;
    TextPainter& operator=(const TextPainter&) = delete;

    void setPixelSize(int pixels);
    int ascender() const;
    int descender() const;
    // Horizontal advance of one character in pixels (rounded).
    int advance(unsigned char c) const;
    int textWidth(const std::string& text) const;
    // Draws `text` with its baseline starting at (x, baseline).
    void draw(Image& image, const std::string& text, int x, int baseline, const Colour& colour) const;
    // Draws `text` centred on the image horizontally.
    void drawCentred(Image& image, const std::string& text, int baseline, const Colour& colour) const;

private:
    FT_Library library = nullptr;
    FT_Face face = nullptr;
};

// Box blur of the alpha channel (colour kept), used for glows behind text.
void blurAlpha(Image& image, int radius);
