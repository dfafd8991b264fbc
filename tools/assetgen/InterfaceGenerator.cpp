#include "InterfaceGenerator.h"

#include <algorithm>
#include <cmath>
#include <fstream>
#include <string>
#include <utility>
#include <vector>

#include "Image.h"
#include "TextPainter.h"

namespace {

const Colour kPlain{0.78f, 0.78f, 0.82f, 1};
const Colour kHighlight{1.0f, 0.78f, 0.30f, 1};
const Colour kGlow{1.0f, 0.45f, 0.05f, 1};

// Text over a blurred copy of itself in the glow colour.
void drawGlowingText(Image& image, TextPainter& painter, const std::string& text, int baseline,
                     const Colour& colour, const Colour& glow, int glowRadius) {
    Image halo(image.width(), image.height());
    painter.drawCentred(halo, text, baseline, glow);
    blurAlpha(halo, glowRadius);
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const Colour c = halo.get(x, y);
            image.blend(x, y, {glow.r, glow.g, glow.b, 1}, std::min(1.0f, c.a * 1.8f));
        }
    }
    painter.drawCentred(image, text, baseline, colour);
}

void drawOrb(Image& image, float cx, float cy, float radius) {
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const float d = std::hypot(float(x) + 0.5f - cx, float(y) + 0.5f - cy) / radius;
            if (d < 2.2f) {
                const float core = std::clamp(1.15f - d, 0.0f, 1.0f);
                const float halo = std::clamp((2.2f - d) / 2.2f, 0.0f, 1.0f);
                image.blend(x, y, {1.0f, 0.5f, 0.1f, 1}, halo * halo * 0.8f);
                image.blend(x, y, mix({1.0f, 0.6f, 0.15f, 1}, {1.0f, 0.97f, 0.85f, 1}, core),
                            std::min(1.0f, core * 3));
            }
        }
    }
}

Image menuItem(TextPainter& painter, const std::string& text, bool highlighted, int width = 512,
               int height = 96) {
    Image image(width, height);
    // As large as the height allows, smaller when the text would not fit beside its glow.
    int pixels = height * 2 / 3;
    painter.setPixelSize(pixels);
    while (pixels > 8 && painter.textWidth(text) > width - 24) {
        painter.setPixelSize(--pixels);
    }
    const int baseline = (height + painter.ascender() - painter.descender()) / 2;
    if (highlighted) {
        drawGlowingText(image, painter, text, baseline, kHighlight, kGlow, 6);
    } else {
        painter.drawCentred(image, text, baseline, kPlain);
    }
    return image;
}

Image logo(TextPainter& bold, TextPainter& regular) {
    Image image(1024, 512);
    bold.setPixelSize(240);
    const int baseline = 330;
    const int gap = 200; // room for the glowing ball in place of the O
    const int left = (image.width() - bold.textWidth("V") - gap - bold.textWidth("RN")) / 2;
    Image letters(image.width(), image.height());
    bold.draw(letters, "V", left, baseline, kHighlight);
    bold.draw(letters, "RN", left + bold.textWidth("V") + gap, baseline, kHighlight);
    Image halo = letters;
    blurAlpha(halo, 10);
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            image.blend(x, y, kGlow, std::min(1.0f, halo.get(x, y).a * 1.5f));
            const Colour c = letters.get(x, y);
            image.blend(x, y, {c.r, c.g, c.b, 1}, c.a);
        }
    }
    drawOrb(image, float(left + bold.textWidth("V") + gap / 2), float(baseline - 88), 70);
    regular.setPixelSize(34);
    regular.drawCentred(image, "roll through the dark", 420, kPlain);
    return image;
}

struct HelpLine {
    std::string keys, action;
};

const std::vector<HelpLine> kHelpLines = {
    {"W A S D", "roll forward, left, back, right"},
    {"Mouse", "look around"},
    {"Mouse wheel", "zoom the camera"},
    {"Space", "jump (hold for full height)"},
    {"Left mouse", "boost (uses turbo)"},
    {"Right mouse", "brake"},
    {"Escape", "pause menu"},
    {"P", "pause"},
    {"R", "put the ball back to the start"},
    {"1", "screenshot"},
    {"2", "lock / free the mouse"},
    {"3", "shadows on/off"},
    {"4", "fire on/off"},
    {"5", "back to the last checkpoint"},
    {"6", "geometry shader on/off"},
    {"7", "z-pass shadows on/off"},
    {"8", "fire render mode"},
    {"9", "scissor test on/off"},
    {"F1", "this help"},
    {"F2", "frames per second"},
    {"F3", "wireframe"},
    {"F4", "texture quality"},
    {"F5", "mipmap quality"},
    {"F6", "render mode"},
    {"F7", "display lists on/off"},
    {"F8", "view frustum culling on/off"},
    {"F9", "transparency on/off"},
    {"PgUp / PgDn", "ambient light up / down"},
    {"Keypad +", "more energy and turbo"},
};

} // namespace

void InterfaceGenerator::writeMenuImages() const {
    TextPainter regular(VORN_FONT_FILE);
    TextPainter bold(VORN_BOLD_FONT_FILE);
    const std::filesystem::path dir = gameDir / "textures" / "MainMenu";
    const std::vector<std::pair<std::string, std::string>> items = {
        {"new", "New Game"},       {"exit", "Exit"},     {"continue", "Continue"},    {"respawn", "Respawn"},
        {"mainmenu", "Main Menu"}, {"levels", "Levels"}, {"nextlevel", "Next Level"}, {"replays", "Replays"}, {"options", "Options"}};
    for (const auto& [file, text] : items) {
        menuItem(bold, text, false).save(dir / (file + ".png"));
        menuItem(bold, text, true).save(dir / (file + "_highlighted.png"));
    }
    menuItem(bold, "Loading...", false).save(dir / "loading.png");
    menuItem(bold, "Level Complete!", true, 1024, 192).save(dir / "complete.png");
    menuItem(bold, "Campaign Complete!", true, 1024, 192).save(dir / "campaign.png");
    logo(bold, regular).save(dir / "logo.png");
}

void InterfaceGenerator::writeHelpImage() const {
    TextPainter regular(VORN_FONT_FILE);
    TextPainter bold(VORN_BOLD_FONT_FILE);
    Image image(1024, 768, {0.02f, 0.02f, 0.05f, 0.85f});
    bold.setPixelSize(36);
    bold.drawCentred(image, "Controls", 56, kHighlight);
    regular.setPixelSize(19);
    bold.setPixelSize(19);
    const int rowsPerColumn = int(kHelpLines.size() + 1) / 2;
    for (std::size_t i = 0; i < kHelpLines.size(); ++i) {
        const int column = int(i) / rowsPerColumn;
        const int row = int(i) % rowsPerColumn;
        const int x = 50 + column * 490;
        const int y = 110 + row * 42;
        bold.draw(image, kHelpLines[i].keys, x, y, kHighlight);
        regular.draw(image, kHelpLines[i].action, x + 170, y, kPlain);
    }
    regular.setPixelSize(17);
    regular.drawCentred(
        image, "Collect light to keep burning. Checkpoints save your progress. Avoid the fog.", 740, kPlain);
    image.save(gameDir / "textures" / "help.png");
}

void InterfaceGenerator::writeFont() const {
    TextPainter painter(VORN_FONT_FILE);
    painter.setPixelSize(kFontCell * 3 / 4);
    const int baseline = (kFontCell + painter.ascender() - painter.descender()) / 2;
    Image grid(16 * kFontCell, 16 * kFontCell, {1, 1, 1, 0});
    const std::filesystem::path dir = gameDir / "textures" / "fonts" / kFontName;
    std::filesystem::create_directories(dir);
    std::ofstream ini(dir / (std::string(kFontName) + ".ini"));
    ini << "; DejaVu Sans in a 16 x 16 grid of " << kFontCell
        << " pixel cells, glyphs centred in their cells.\n"
        << "[common]\nsize = " << kFontCell << "\n\n[char widths]\n";
    for (int code = 32; code < 256; ++code) {
        if (code >= 127 && code < 160) {
            continue; // control characters
        }
        // The game indexes cells with the signed character value, truncating towards zero and
        // wrapping texture coordinates; place each glyph where that lookup lands.
        const int value = static_cast<signed char>(code);
        const int column = ((value % 16) + 16) % 16;
        const int row = ((value / 16) + 16) % 16;
        const std::string text(1, char(code));
        const int advance = painter.advance(static_cast<unsigned char>(code));
        Image cell(kFontCell, kFontCell, {1, 1, 1, 0});
        painter.draw(cell, text, (kFontCell - advance) / 2, baseline, {1, 1, 1, 1});
        for (int y = 0; y < kFontCell; ++y) {
            for (int x = 0; x < kFontCell; ++x) {
                grid.set(column * kFontCell + x, row * kFontCell + y, cell.get(x, y));
            }
        }
        ini << value << " = " << advance << "\n";
    }
    grid.save(dir / (std::string(kFontName) + ".dds"), Image::Dxt::Dxt5, false);
}
