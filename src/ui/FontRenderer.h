#pragma once

#include "core/Singleton.h"

#include <string>
#include <vector>

class Font;

// Draws and measures overlay text with the default font. Without a default font
// nothing is drawn and every text measures 0.
class FontRenderer : public Singleton<FontRenderer> {
    friend class Singleton<FontRenderer>;

public:
    // The top-left corner of the first glyph lands at (x, y) in overlay pixels.
    void drawText(const std::string& text, float size, float x, float y) const;
    // Sum of the advance widths at `size`, rounded up.
    int getTextWidth(const std::string& text, float size) const;
    // Left edge of each glyph cell, relative to the first one; neighbours sit
    // the average of their two advance widths apart.
    std::vector<float> glyphOffsets(const std::string& text, float size) const;
    // The text broken into lines at spaces, each at most `width` pixels wide at
    // `size` unless a single word is wider.
    std::vector<std::string> wrapLines(const std::string& text, float size, int width) const;

    Font* getFont() const { return font; }

private:
    FontRenderer();

    Font* font;
};
