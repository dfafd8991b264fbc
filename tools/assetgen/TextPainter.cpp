#include "TextPainter.h"

#include <algorithm>
#include <stdexcept>

TextPainter::TextPainter(const char* fontFile) {
    if (FT_Init_FreeType(&library) != 0 || FT_New_Face(library, fontFile, 0, &face) != 0) {
        throw std::runtime_error(std::string("cannot open font ") + fontFile);
    }
}

TextPainter::~TextPainter() {
    if (face) {
        FT_Done_Face(face);
    }
    if (library) {
        FT_Done_FreeType(library);
    }
}

void TextPainter::setPixelSize(int pixels) {
    FT_Set_Pixel_Sizes(face, 0, FT_UInt(pixels));
}

int TextPainter::ascender() const {
    return int(face->size->metrics.ascender >> 6);
}

int TextPainter::descender() const {
    return int(-(face->size->metrics.descender >> 6));
}

int TextPainter::advance(unsigned char c) const {
    if (FT_Load_Char(face, c, FT_LOAD_DEFAULT) != 0) {
        return 0;
    }
    return int((face->glyph->advance.x + 32) >> 6);
}

int TextPainter::textWidth(const std::string& text) const {
    int width = 0;
    for (const char c : text) {
        width += advance(static_cast<unsigned char>(c));
    }
    return width;
}

void TextPainter::draw(Image& image, const std::string& text, int x, int baseline,
                       const Colour& colour) const {
    for (const char ch : text) {
        if (FT_Load_Char(face, static_cast<unsigned char>(ch), FT_LOAD_RENDER) != 0) {
            continue;
        }
        const FT_GlyphSlot glyph = face->glyph;
        const FT_Bitmap& bitmap = glyph->bitmap;
        for (unsigned row = 0; row < bitmap.rows; ++row) {
            for (unsigned col = 0; col < bitmap.width; ++col) {
                const float coverage = bitmap.buffer[row * bitmap.pitch + col] / 255.0f;
                if (coverage > 0) {
                    image.blend(x + glyph->bitmap_left + int(col), baseline - glyph->bitmap_top + int(row),
                                colour, coverage);
                }
            }
        }
        x += int((glyph->advance.x + 32) >> 6);
    }
}

void TextPainter::drawCentred(Image& image, const std::string& text, int baseline,
                              const Colour& colour) const {
    draw(image, text, (image.width() - textWidth(text)) / 2, baseline, colour);
}

void blurAlpha(Image& image, int radius) {
    const int w = image.width(), h = image.height();
    std::vector<float> alpha(std::size_t(w) * h), temp(alpha.size());
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            alpha[std::size_t(y) * w + x] = image.get(x, y).a;
        }
    }
    auto pass = [&](const std::vector<float>& in, std::vector<float>& out, int dx, int dy) {
        for (int y = 0; y < h; ++y) {
            for (int x = 0; x < w; ++x) {
                float sum = 0;
                for (int k = -radius; k <= radius; ++k) {
                    const int sx = std::clamp(x + k * dx, 0, w - 1), sy = std::clamp(y + k * dy, 0, h - 1);
                    sum += in[std::size_t(sy) * w + sx];
                }
                out[std::size_t(y) * w + x] = sum / float(2 * radius + 1);
            }
        }
    };
    pass(alpha, temp, 1, 0);
    pass(temp, alpha, 0, 1);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            Colour c = image.get(x, y);
            c.a = alpha[std::size_t(y) * w + x];
            image.set(x, y, c);
        }
    }
}
