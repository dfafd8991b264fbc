#include <gtest/gtest.h>

#include <IL/il.h>
#include <vector>

#include "GameTree.h"
#include "TempDataRoot.h"
#include "core/Config.h"

namespace {

const std::filesystem::path kFontDir = game_tree::root() / "textures" / "fonts" / "Calibri";

struct Grid {
    int width = 0, height = 0;
    std::vector<unsigned char> rgba;

    float alpha(int x, int y) const { return rgba[(std::size_t(y) * width + x) * 4 + 3] / 255.0f; }
};

Grid loadGrid() {
    ilInit();
    ilEnable(IL_ORIGIN_SET);
    ilOriginFunc(IL_ORIGIN_UPPER_LEFT);
    Grid grid;
    ILuint id = 0;
    ilGenImages(1, &id);
    ilBindImage(id);
    if (ilLoadImage((kFontDir / "Calibri.dds").c_str()) == IL_TRUE) {
        grid.width = ilGetInteger(IL_IMAGE_WIDTH);
        grid.height = ilGetInteger(IL_IMAGE_HEIGHT);
        grid.rgba.resize(std::size_t(grid.width) * grid.height * 4);
        ilCopyPixels(0, 0, 0, grid.width, grid.height, 1, IL_RGBA, IL_UNSIGNED_BYTE, grid.rgba.data());
    }
    ilDeleteImages(1, &id);
    return grid;
}

// Horizontal centre of the ink in the cell of a character, as a fraction of the cell width;
// negative when the cell is empty.
float inkCentre(const Grid& grid, int column, int row) {
    const int cell = grid.width / 16;
    double sum = 0, weighted = 0;
    for (int y = row * cell; y < (row + 1) * cell; ++y) {
        for (int x = column * cell; x < (column + 1) * cell; ++x) {
            sum += grid.alpha(x, y);
            weighted += grid.alpha(x, y) * (x - column * cell + 0.5);
        }
    }
    return sum < 1 ? -1.0f : float(weighted / sum / cell);
}

} // namespace

TEST(FontFilesTest, TheIniGivesASizeAndAWidthForEveryPrintableCharacter) {
    TempDataRoot data;
    const Config font((kFontDir / "Calibri.ini").c_str());
    const float size = font.getFloat("common:size", -1);
    EXPECT_GT(size, 8.0f);
    for (int code = 32; code < 256; ++code) {
        if (code >= 127 && code < 160) {
            continue;
        }
        const std::string key = "char widths:" + std::to_string(int(static_cast<signed char>(code)));
        const int width = font.getInt(key.c_str(), -1);
        EXPECT_GT(width, 0) << "character " << code;
        EXPECT_LE(width, int(size)) << "character " << code;
    }
    EXPECT_LT(font.getInt("char widths:105", 0), font.getInt("char widths:87", 0)); // i is narrower than W
}

TEST(FontFilesTest, GlyphsSitCentredInTheCellsTheGameReads) {
    const Grid grid = loadGrid();
    ASSERT_EQ(grid.width, grid.height);
    ASSERT_EQ(grid.width % 16, 0);
    // 'A' (65) is column 1, row 4; text is laid out from glyph centres, so ink must be centred.
    for (const int code : {'A', 'i', 'W', '0', '~'}) {
        const float centre = inkCentre(grid, code % 16, code / 16);
        EXPECT_NEAR(centre, 0.5f, 0.12f) << char(code);
    }
    EXPECT_LT(inkCentre(grid, 0, 2), 0.0f); // the space is empty
    // Latin-1 letters land where the signed character lookup wraps to: e with acute accent is
    // -23, column -7 and row -1 before wrapping.
    EXPECT_GT(inkCentre(grid, 9, 15), 0.0f);
}
