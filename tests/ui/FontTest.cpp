#include <gtest/gtest.h>

#include <GL/glew.h>
#include <cmath>
#include <fstream>
#include <map>

#include "GlStateSnapshot.h"
#include "LogCapture.h"
#include "OverlayTestSupport.h"
#include "render/TextureLoader.h"
#include "ui/Font.h"
#include "ui/FontManager.h"
#include "ui/FontRenderer.h"
#include "ui/Ortho.h"

namespace {

// The generated width table, read line by line without the game's configuration code.
std::map<int, int> generatedWidths() {
    std::ifstream ini(std::string(VORN_GAME_DIR) + "/textures/fonts/Calibri/Calibri.ini");
    std::map<int, int> widths;
    std::string line;
    bool inWidths = false;
    while (std::getline(ini, line)) {
        if (line.starts_with("[")) {
            inWidths = line == "[char widths]";
        } else if (inWidths && line.find('=') != std::string::npos) {
            widths[std::stoi(line)] = std::stoi(line.substr(line.find('=') + 1));
        }
    }
    return widths;
}

} // namespace

class FontTest : public OverlayTest {
protected:
    FontRenderer* text() { return FontRenderer::getInstance(); }

    // A font of our own on the generated glyph grid, with the given ini text.
    void writeFont(const std::string& name, const std::string& ini) {
        const std::string base = "textures/fonts/" + name + "/" + name;
        std::filesystem::create_directories(data->root() / ("textures/fonts/" + name));
        if (name != "Calibri") {
            std::filesystem::copy(data->root() / "textures/fonts/Calibri/Calibri.dds",
                                  data->root() / (base + ".dds"));
        }
        data->write(base + ".ini", ini);
    }

    std::map<int, int> widths = generatedWidths();
};

TEST_F(FontTest, WidthsAndPlacesFollowTheGeneratedWidthTable) {
    ASSERT_EQ(text()->getFont()->size, 32.0f);
    const int i = widths['i'], w = widths['W'], a = widths['A'], space = widths[' '];
    EXPECT_EQ(text()->getTextWidth("iW", 32), i + w);
    EXPECT_EQ(text()->getTextWidth("iW", 16), static_cast<int>(std::ceil((i + w) / 2.0)));
    EXPECT_EQ(text()->getTextWidth("A A", 16), static_cast<int>(std::ceil((2 * a + space) / 2.0)));
    EXPECT_EQ(text()->getTextWidth("", 16), 0);

    const std::vector<float> offsets = text()->glyphOffsets("AiW", 16);
    ASSERT_EQ(offsets.size(), 3u);
    EXPECT_FLOAT_EQ(offsets[0], 0.0f);
    EXPECT_FLOAT_EQ(offsets[1], (a + i) / 2.0f * 0.5f);
    EXPECT_FLOAT_EQ(offsets[2], offsets[1] + (i + w) / 2.0f * 0.5f);

    // Above 127 the table is keyed by the signed character value; control characters have no entry.
    EXPECT_EQ(text()->getFont()->charWidth('\xE9'), widths[-23]);
    EXPECT_EQ(text()->getFont()->charWidth('\x01'), Font::kDefaultWidth);
}

TEST_F(FontTest, MeasuresAtTheNominalSizeAndRoundsOnlyTheSum) {
    writeFont("Calibri", "[common]\nsize = 28\n[char widths]\n65 = 14\n66 = 20\n67 = 2\n68 = 4\n69 = 1\n");
    ASSERT_EQ(text()->getFont()->size, 28.0f);
    EXPECT_EQ(text()->getTextWidth("AB", 16), 20); // ceil(34 * 16 / 28)
    EXPECT_NEAR(text()->glyphOffsets("AB", 16)[1], 9.714f, 0.001f);
    // 2 + 4 + 1 at 16/28 is exactly 4: summing rounded quotients would give 5.
    EXPECT_EQ(text()->getTextWidth("CDE", 16), 4);
    EXPECT_EQ(text()->getTextWidth("Z", 28), 16);
}

// At the nominal size a word's width is its table sum: AA 28, A 14, B 28, BB 56, a space 14.
TEST_F(FontTest, LinesBreakAtSpacesToFitTheWidthAndALongWordStandsAlone) {
    writeFont("Calibri", "[common]\nsize = 28\n[char widths]\n32 = 14\n65 = 14\n66 = 28\n");
    EXPECT_EQ(text()->wrapLines("AA A  B BB", 28, 56), (std::vector<std::string>{"AA A", "B", "BB"}));
    EXPECT_EQ(text()->wrapLines("AA A", 28, 55), (std::vector<std::string>{"AA", "A"}));
    EXPECT_EQ(text()->wrapLines("BB", 28, 10), (std::vector<std::string>{"BB"}));
    EXPECT_TRUE(text()->wrapLines("   ", 28, 100).empty());
}

TEST_F(FontTest, MissingSizeIsTwentyEightAndMissingFontsFallBackToTheDefault) {
    writeFont("Sizeless", "[char widths]\n65 = 14\n");
    FontManager* fonts = FontManager::getInstance();
    EXPECT_EQ(fonts->getFont("Sizeless")->size, Font::kDefaultSize);
    EXPECT_EQ(fonts->getFont("Sizeless"), fonts->getFont("Sizeless"));
    EXPECT_EQ(fonts->getFont("Nowhere"), fonts->getDefaultFont());
    data->write("textures/fonts/HalfThere/HalfThere.ini", "[common]\nsize = 10\n");
    EXPECT_EQ(fonts->getFont("HalfThere"), fonts->getDefaultFont());
    // A name longer than the system takes is no font either, not an exception.
    EXPECT_EQ(fonts->getFont(std::string(300, 'x')), fonts->getDefaultFont());
}

TEST_F(FontTest, WithoutTheDefaultFontNothingIsDrawnOrMeasured) {
    std::filesystem::remove_all(data->root() / "textures/fonts");
    LogCapture log;
    EXPECT_EQ(FontManager::getInstance()->getDefaultFont(), nullptr);
    EXPECT_EQ(log.count("ERROR", "Default font 'Calibri' not found"), 1);
    EXPECT_EQ(text()->getTextWidth("text", 16), 0);
    text()->drawText("text", 16, 10, 10);
    EXPECT_EQ(FrameCapture::take(kWidth, kHeight).countBrighter(0, 0, kWidth, kHeight, 0), 0);
}

// The glyph of 'A' is the grid cell of column 1, row 4, drawn white at its place, also
// after an untextured fill switched texturing off.
TEST_F(FontTest, GlyphComesFromItsGridCellAndLeavesTheStateAsFound) {
    prepareOverlay();
    glColor4f(0.2f, 0.3f, 0.4f, 0.5f);
    glBindTexture(GL_TEXTURE_2D, 0);
    glDisable(GL_TEXTURE_2D);
    glEnableClientState(GL_NORMAL_ARRAY);
    glEnableClientState(GL_TEXTURE_COORD_ARRAY);
    const GlStateSnapshot before;
    text()->drawText("A", 32, 100, 50);
    EXPECT_EQ(GlStateSnapshot().changesSince(before), "");
    const FrameCapture drawn = FrameCapture::take(kWidth, kHeight);
    EXPECT_GT(drawn.countBrighter(100, 50, 132, 82, 600), 20);
    EXPECT_EQ(drawn.countBrighter(0, 0, kWidth, kHeight, 0), drawn.countBrighter(100, 50, 132, 82, 0));

    glClear(GL_COLOR_BUFFER_BIT);
    glColor4f(1, 1, 1, 1);
    Ortho::bindTexture(text()->getFont()->textureName);
    Ortho::drawTextured({100, 50, 132, 82}, {1 / 16.0f, 4 / 16.0f, 2 / 16.0f, 5 / 16.0f});
    const FrameCapture cell = FrameCapture::take(kWidth, kHeight);
    for (int y = 50; y < 82; ++y) {
        for (int x = 100; x < 132; ++x) {
            ASSERT_EQ(drawn.at(x, y), cell.at(x, y)) << x << "," << y;
        }
    }
}

TEST_F(FontTest, LineOfTextAtSixteenAndThirtyTwo) {
    const std::string line = "Vorn: roll through the dark 0123 \xC4\xD6\xDC \xE9!";
    prepareOverlay();
    text()->drawText(line, 16, 10, 20);
    text()->drawText(line, 32, 10, 60);
    const FrameCapture frame = FrameCapture::take(kWidth, kHeight);
    frame.save("font_line_16_32");
    const int small = text()->getTextWidth(line, 16);
    const int large = text()->getTextWidth(line, 32);
    EXPECT_EQ(small, (large + 1) / 2);
    // Ink stays within the measured lengths (plus the half cell the first glyph is centred in).
    EXPECT_GT(frame.countBrighter(10, 20, 10 + small, 36, 300), 100);
    EXPECT_EQ(frame.countBrighter(10 + small + 8, 20, kWidth, 36, 100), 0);
    EXPECT_GT(frame.countBrighter(10, 60, 10 + large, 92, 300), 400);
    EXPECT_EQ(frame.countBrighter(10 + large + 16, 60, kWidth, 92, 100), 0);
}
