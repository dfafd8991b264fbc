#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>

#include "GlStateSnapshot.h"
#include "LogCapture.h"
#include "OverlayTestSupport.h"
#include "core/StateManager.h"
#include "core/TimeManager.h"
#include "ui/FontRenderer.h"
#include "ui/HUD.h"
#include "ui/Ortho.h"

namespace {

// Along one row of the energy band: lit, dark and in-between pixels of the bar.
struct BarRow {
    int lit = 0;
    int dark = 0;
    int between = 0;
    int firstBetween = -1;
    int lastBetween = -1;
};

BarRow readBarRow(const FrameCapture& frame, int left, int right, int y) {
    BarRow row;
    for (int x = left; x < right; ++x) {
        const int brightness = frame.brightness(x, y);
        if (brightness > 300) {
            ++row.lit;
        } else if (brightness < 120) {
            ++row.dark;
        } else {
            ++row.between;
            row.firstBetween = row.firstBetween < 0 ? x : row.firstBetween;
            row.lastBetween = x;
        }
    }
    return row;
}

} // namespace

class HUDDrawingTest : public OverlayTest {
protected:
    void SetUp() override {
        OverlayTest::SetUp();
        StateManager::getInstance()->setState(IN_GAME);
    }

    HUD* hud() { return HUD::getInstance(); }

    // The energy bar drawn alone at `energy`, read along the middle of its band.
    BarRow energyRow(float energy, const std::string& picture) {
        level.gauges = LevelLink::Gauges{energy, 0.0f};
        const FrameCapture frame = drawOverlay();
        frame.save(picture);
        return barRow(frame, kEnergyRow);
    }

    // The painted bars span texture columns 8 to 504 of 512; a row of the texture (of 64)
    // is read across them.
    BarRow barRow(const FrameCapture& frame, int textureRow) {
        const HUD::BarArea area = hud()->barArea();
        const int left = static_cast<int>(area.left + area.width * 12 / 512);
        const int right = static_cast<int>(area.left + area.width * 500 / 512);
        const int y = static_cast<int>(area.top + area.height * static_cast<float>(textureRow) / 64);
        return readBarRow(frame, left, right, y);
    }

    // The middles of the bands: energy in rows 6 to 34, turbo in rows 40 to 58.
    static constexpr int kEnergyRow = 20;
    static constexpr int kTurboRow = 49;

    // The rows of the frame holding ink in the right half.
    std::vector<int> inkRows(const FrameCapture& frame) {
        std::vector<int> rows;
        for (int y = 0; y < frame.height; ++y) {
            if (frame.countBrighter(frame.width / 2, y, frame.width, y + 1, 150) > 0) {
                rows.push_back(y);
            }
        }
        return rows;
    }
};

TEST_F(HUDDrawingTest, BarsFadeBetweenLitAndDarkOnlyAwayFromTheEnds) {
    const HUD::BarArea area = hud()->barArea();
    ASSERT_FLOAT_EQ(area.width, 0.9f * 512);
    ASSERT_FLOAT_EQ(area.height, 0.9f * 64);
    EXPECT_FLOAT_EQ(area.left, 320 - area.width / 2);
    EXPECT_FLOAT_EQ(area.top, -2.0f);

    const BarRow empty = energyRow(0.0f, "hud_bar_0");
    EXPECT_EQ(empty.lit, 0);
    EXPECT_EQ(empty.between, 0);

    const BarRow full = energyRow(1.0f, "hud_bar_1");
    EXPECT_EQ(full.dark, 0);
    EXPECT_EQ(full.between, 0);

    // 0.002 fills less than a pixel, all of it in the image's clear margin: no band either.
    EXPECT_LT(0.002f, 3.75f / area.width);
    const BarRow nearlyEmpty = energyRow(0.002f, "hud_bar_0.002");
    EXPECT_EQ(nearlyEmpty.lit, 0);
    EXPECT_EQ(nearlyEmpty.between, 0);

    const BarRow half = energyRow(0.5f, "hud_bar_0.5");
    const float edge = area.left + area.width / 2;
    EXPECT_GE(half.between, 6) << "a sharp edge has at most one";
    EXPECT_GE(half.firstBetween, edge - 8);
    EXPECT_LE(half.lastBetween, edge + 8);
    EXPECT_NEAR(half.lit, half.dark, 3);
}

// Each bar shows its own gauge: a quarter and three quarters, then the other way round.
TEST_F(HUDDrawingTest, EnergyAndTurboBarsEachShowTheirOwnValue) {
    const float width = hud()->barArea().width;
    // Lit from the first column read up to the value, half the fading band included.
    const auto litUpTo = [width](float value) { return value * width - width * 12 / 512; };
    for (const auto& [energy, turbo] : {std::pair{0.25f, 0.75f}, {0.75f, 0.25f}}) {
        level.gauges = LevelLink::Gauges{energy, turbo};
        const FrameCapture frame = drawOverlay();
        frame.save("hud_bars_energy_" + std::to_string(energy).substr(0, 4) + "_turbo_" +
                   std::to_string(turbo).substr(0, 4));
        const BarRow energyBar = barRow(frame, kEnergyRow);
        const BarRow turboBar = barRow(frame, kTurboRow);
        EXPECT_NEAR(energyBar.lit + energyBar.between / 2, litUpTo(energy), 8) << energy;
        EXPECT_NEAR(turboBar.lit + turboBar.between / 2, litUpTo(turbo), 8) << turbo;
    }
}

TEST_F(HUDDrawingTest, BandWidthRule) {
    EXPECT_EQ(HUD::bandWidth(0.0f, 900.0f), 0.0f);
    EXPECT_EQ(HUD::bandWidth(1.0f, 900.0f), 0.0f);
    EXPECT_EQ(HUD::bandWidth(0.002f, 900.0f), 0.0f);
    EXPECT_EQ(HUD::bandWidth(0.005f, 900.0f), 15.0f);
    EXPECT_EQ(HUD::bandWidth(0.999f, 900.0f), 15.0f);
}

TEST_F(HUDDrawingTest, NoMainCharacterNoBars) {
    level.gauges.reset();
    EXPECT_EQ(drawOverlay().countBrighter(0, 0, kWidth, kHeight, 0), 0);
}

TEST_F(HUDDrawingTest, BarSizeIsTheEnergyImagesOwnEvenWithANormalMapOfAnotherSize) {
    std::filesystem::create_directories(data->root() / "textures/hud/bump/normalmap");
    std::filesystem::copy(data->root() / "textures/fonts/Calibri/Calibri.dds",
                          data->root() / "textures/hud/bump/normalmap/hud_energy_NRM.dds");
    const BarRow full = energyRow(1.0f, "hud_bar_with_normal_map");
    const HUD::BarArea area = hud()->barArea();
    EXPECT_FLOAT_EQ(area.width, 0.9f * 512);
    EXPECT_FLOAT_EQ(area.height, 0.9f * 64);
    EXPECT_EQ(full.dark, 0);
    EXPECT_EQ(full.between, 0);
}

TEST_F(HUDDrawingTest, MessagesStackUpwardsAndLeaveInPostingOrder) {
    for (const char* text : {"Shadows: off", "Display FPS: on", "Game saved"}) {
        hud()->showMessage(text);
        advanceClock(200);
    }
    const int bottom = kHeight - 31;
    auto inBand = [&](int row, int top) { return row >= top && row < top + 16; };
    const FrameCapture frame = drawOverlay();
    frame.save("hud_messages");
    const std::vector<int> three = inkRows(frame);
    ASSERT_FALSE(three.empty());
    for (const int row : three) {
        EXPECT_TRUE(inBand(row, bottom) || inBand(row, bottom - 18) || inBand(row, bottom - 36)) << row;
    }
    for (const int top : {bottom, bottom - 18, bottom - 36}) {
        EXPECT_TRUE(std::any_of(three.begin(), three.end(), [&](int row) { return inBand(row, top); }))
            << top;
    }

    // Each lives 3000 ms: the first goes in the first frame after its time, the others follow.
    advanceClock(3000 - 600);
    EXPECT_EQ(hud()->messages.size(), 3u);
    advanceClock(1);
    ASSERT_EQ(hud()->messages.size(), 2u);
    EXPECT_EQ(hud()->messages.front().text, "Display FPS: on");
    const std::vector<int> two = inkRows(drawOverlay());
    EXPECT_FALSE(std::any_of(two.begin(), two.end(), [&](int row) { return inBand(row, bottom - 36); }));
    advanceClock(200);
    ASSERT_EQ(hud()->messages.size(), 1u);
    EXPECT_EQ(hud()->messages.front().text, "Game saved");
    advanceClock(200);
    EXPECT_TRUE(hud()->messages.empty());
    EXPECT_TRUE(inkRows(drawOverlay()).empty());
}

TEST_F(HUDDrawingTest, MessagesAreRightAlignedByTheirMeasuredWidth) {
    hud()->showMessage("Wireframe mode: on");
    const FrameCapture frame = drawOverlay();
    const int width = FontRenderer::getInstance()->getTextWidth("Wireframe mode: on", 16);
    const int left = kWidth - width - 15;
    const int top = kHeight - 31;
    EXPECT_EQ(frame.countBrighter(0, top, left, top + 16, 150), 0);
    EXPECT_GT(frame.countBrighter(left, top, left + 20, top + 16, 150), 5);
    EXPECT_GT(frame.countBrighter(kWidth - 40, top, kWidth - 10, top + 16, 150), 5);
}

TEST_F(HUDDrawingTest, FrameRateInTheTopLeftCornerWhenSwitchedOn) {
    TimeManager::getInstance()->fps = 59.5f;
    EXPECT_EQ(drawOverlay().countBrighter(0, 0, kWidth, 20, 150), 0);
    hud()->showFps = true;
    const FrameCapture frame = drawOverlay();
    const int width = FontRenderer::getInstance()->getTextWidth("59.50", 16);
    EXPECT_GT(frame.countBrighter(0, 0, width, 16, 150), 20);
    EXPECT_EQ(frame.countBrighter(width + 8, 0, kWidth, kHeight, 150), 0);
}

TEST_F(HUDDrawingTest, HelpScreenCoversTheWindowWithTheHelpImage) {
    hud()->showHelp = true;
    const FrameCapture frame = drawOverlay();
    frame.save("hud_help_640x480");
    // 1024 x 768 shrinks to exactly the window; its title sits centred at the top.
    EXPECT_GT(frame.countBrighter(kWidth / 2 - 60, 15, kWidth / 2 + 60, 45, 300), 50);
    EXPECT_GT(frame.countBrighter(0, 0, kWidth, kHeight, 300), 2000);
}

TEST_F(HUDDrawingTest, DrawingTheWholeHudLeavesTheStateAsFound) {
    level.gauges = LevelLink::Gauges{0.4f, 0.7f};
    hud()->showFps = true;
    hud()->showHelp = true;
    hud()->showMessage("Scissor Test: on");
    drawOverlay();
    glColor4f(0.1f, 0.2f, 0.3f, 0.4f);
    glDisable(GL_TEXTURE_2D);
    glEnableClientState(GL_COLOR_ARRAY);
    const GlStateSnapshot before;
    Ortho::getInstance()->render();
    EXPECT_EQ(GlStateSnapshot().changesSince(before), "");
    hud()->render();
    EXPECT_EQ(GlStateSnapshot().changesSince(before), "");
}

class HUDWithoutHelpTest : public HUDDrawingTest {
protected:
    bool openWindow() override {
        helpConfigured = false;
        return HUDDrawingTest::openWindow();
    }
};

TEST_F(HUDWithoutHelpTest, HelpSwitchDrawsNothingWithoutAHelpImage) {
    EXPECT_TRUE(hud()->helpTexture.empty());
    hud()->showHelp = true;
    EXPECT_EQ(drawOverlay().countBrighter(0, 0, kWidth, kHeight, 0), 0);
}
