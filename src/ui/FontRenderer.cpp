#include "ui/FontRenderer.h"

#include <GL/glew.h>
#include <array>
#include <cmath>
#include <sstream>

#include "render/GlSavedState.h"
#include "render/TextureLoader.h"
#include "ui/Font.h"
#include "ui/FontManager.h"

namespace {

constexpr int kGridCells = 16;

struct GlyphVertex {
    float x, y, u, v;
};

// The cell of a character, from its signed value truncated towards zero: codes
// above 127 give negative cells that the repeating texture wraps round.
std::array<GlyphVertex, 4> glyphQuad(char c, float left, float size) {
    const int code = static_cast<signed char>(c);
    const float u0 = static_cast<float>(code % kGridCells) / kGridCells;
    const float u1 = static_cast<float>(code % kGridCells + 1) / kGridCells;
    const float v0 = static_cast<float>(code / kGridCells) / kGridCells;
    const float v1 = static_cast<float>(code / kGridCells + 1) / kGridCells;
    return {{{left, 0.0f, u0, v0},
             {left, size, u0, v1},
             {left + size, size, u1, v1},
             {left + size, 0.0f, u1, v0}}};
}

} // namespace

FontRenderer::FontRenderer() : font(FontManager::getInstance()->getDefaultFont()) {}

int FontRenderer::getTextWidth(const std::string& text, float size) const {
    if (!font) {
        return 0;
    }
    // Summed as integers first, so an exact fit gains no pixel from rounding.
    long total = 0;
    for (const char c : text) {
        total += font->charWidth(c);
    }
    return static_cast<int>(std::ceil(static_cast<double>(total) * size / font->size));
}

std::vector<float> FontRenderer::glyphOffsets(const std::string& text, float size) const {
    std::vector<float> offsets;
    float left = 0.0f;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (i > 0 && font) {
            const float halves = (font->charWidth(text[i - 1]) + font->charWidth(text[i])) / 2.0f;
            left += halves * size / font->size;
        }
        offsets.push_back(left);
    }
    return offsets;
}

std::vector<std::string> FontRenderer::wrapLines(const std::string& text, float size, int width) const {
    std::vector<std::string> lines;
    std::istringstream words(text);
    std::string word;
    while (words >> word) {
        if (!lines.empty() && getTextWidth(lines.back() + " " + word, size) <= width) {
            lines.back() += " " + word;
        } else {
            lines.push_back(word);
        }
    }
    return lines;
}

void FontRenderer::drawText(const std::string& text, float size, float x, float y) const {
    if (!font || text.empty()) {
        return;
    }
    // A texture loaded on the spot binds itself, so the scope starts first.
    const GlSavedState saved(GlSavedState::kOverlay, {GL_TEXTURE_2D});
    const TextureLoader::Texture* texture = TextureLoader::getInstance()->getTexture(font->textureName);
    if (!texture) {
        return;
    }
    std::vector<GlyphVertex> vertices;
    const std::vector<float> offsets = glyphOffsets(text, size);
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto quad = glyphQuad(text[i], offsets[i], size);
        vertices.insert(vertices.end(), quad.begin(), quad.end());
    }
    // Text after an untextured fill must not come out as white boxes.
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, *texture->glId);
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    glTranslatef(x, y, 0.0f);
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    glDisableClientState(GL_NORMAL_ARRAY);
    glDisableClientState(GL_COLOR_ARRAY);
    glEnableClientState(GL_VERTEX_ARRAY);
    glEnableClientState(GL_TEXTURE_COORD_ARRAY);
    glVertexPointer(2, GL_FLOAT, sizeof(GlyphVertex), &vertices[0].x);
    glTexCoordPointer(2, GL_FLOAT, sizeof(GlyphVertex), &vertices[0].u);
    glDrawArrays(GL_QUADS, 0, static_cast<GLsizei>(vertices.size()));
    glPopMatrix();
}
