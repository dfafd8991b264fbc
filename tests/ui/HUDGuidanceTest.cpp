#include <GL/glew.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <utility>

#include "OverlayTestSupport.h"
#include "PlayerFolders.h"
#include "core/PlayerFiles.h"
#include "core/StateManager.h"
#include "core/TimeManager.h"
#include "game/Camera.h"
#include "ui/ControlsHint.h"
#include "ui/FontRenderer.h"
#include "ui/HUD.h"
#include "ui/Ortho.h"

namespace {

// Pixels of the rectangle whose colour leans to red (orange and gold) or to blue.
struct Tints {
    int warm = 0;
    int cold = 0;
};

Tints tintsIn(const FrameCapture& frame, int left, int top, int right, int bottom) {
    Tints tints;
    for (int y = top; y < bottom; ++y) {
        for (int x = left; x < right; ++x) {
            const FrameCapture::Pixel p = frame.at(x, y);
            tints.warm += p[0] > 150 && p[0] > p[2] + 80 ? 1 : 0;
            tints.cold += p[2] > 150 && p[2] > p[0] + 80 ? 1 : 0;
        }
    }
    return tints;
}

} // namespace

// What the HUD tells a player beyond the bars' values: the bars' icons, the pause,
// the help whatever the camera does, and a new player's hint of the controls.
class HUDGuidanceTest : public OverlayTest {
protected:
    void SetUp() override {
        OverlayTest::SetUp();
        folders = std::make_unique<PlayerFolders>(data->root() / "player");
        StateManager::getInstance()->setState(IN_GAME);
        level.gauges = LevelLink::Gauges{0.6f, 0.4f};
    }

    HUD* hud() { return HUD::getInstance(); }

    // A frame as the game draws it: the camera's view still loaded when the overlay comes.
    FrameCapture drawOverCamera(float pitch) {
        Camera* camera = Camera::getInstance();
        camera->pitchTarget = pitch;
        for (int frame = 0; frame < 60; ++frame) {
            camera->follow({16, 21, -235}, 1.0f / 60.0f);
        }
        TextureLoader::getInstance()->uploadTextures(true);
        glClearColor(0.1f, 0.2f, 0.3f, 0.0f);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        camera->apply();
        Ortho::getInstance()->render();
        return FrameCapture::take(windowWidth, windowHeight);
    }

    void TearDown() override {
        OverlayTest::TearDown();
        folders.reset();
    }

    std::unique_ptr<PlayerFolders> folders;
};

TEST_F(HUDGuidanceTest, TheHelpPictureIsTheSameWhateverTheCameraPitch) {
    hud()->showHelp = true;
    const FrameCapture level = drawOverCamera(45.0f);
    const FrameCapture steep = drawOverCamera(85.0f);
    level.save("hud_help_over_camera");
    EXPECT_GT(level.countBrighter(kWidth / 2 - 60, 15, kWidth / 2 + 60, 45, 300), 50)
        << "the title is missing";
    EXPECT_EQ(level.largestDifference(steep), 0);
    // Dimmed and covered to the corners: none of the clear colour's blue shows as it was.
    for (const auto& [x, y] : {std::pair{1, 1}, std::pair{kWidth - 2, kHeight - 2}}) {
        EXPECT_LT(level.at(x, y)[2], static_cast<int>(0.3f * 0.6f * 255.0f)) << x << ", " << y;
    }
}

TEST_F(HUDGuidanceTest, EachBarHasItsIconBesideIt) {
    const FrameCapture frame = drawOverlay();
    frame.save("hud_bars_with_icons");
    const HUD::BarArea area = hud()->barArea();
    const int left = static_cast<int>(area.left) - 30;
    const int right = static_cast<int>(area.left) + 6;
    const int energyBand = static_cast<int>(area.top + area.height * 20 / 64);
    const int turboBand = static_cast<int>(area.top + area.height * 49 / 64);
    const Tints energy = tintsIn(frame, left, energyBand - 14, right, energyBand + 14);
    const Tints turbo = tintsIn(frame, left, turboBand - 9, right, turboBand + 9);
    EXPECT_GT(energy.warm, 100) << "a flame beside the energy bar";
    EXPECT_EQ(energy.cold, 0);
    EXPECT_GT(turbo.cold, 50) << "arrows beside the turbo bar";
    EXPECT_EQ(turbo.warm, 0);
}

TEST_F(HUDGuidanceTest, PausedShowsInTheMiddleOnlyWhileTheClockIsStoppedInPlay) {
    const auto middle = [this](const FrameCapture& frame) {
        return frame.countBrighter(kWidth / 2 - 60, kHeight / 2 - 20, kWidth / 2 + 60, kHeight / 2 + 20, 300);
    };
    EXPECT_EQ(middle(drawOverlay()), 0);
    TimeManager::getInstance()->paused = true;
    const FrameCapture paused = drawOverlay();
    paused.save("hud_paused");
    EXPECT_GT(middle(paused), 100);
    const int width = FontRenderer::getInstance()->getTextWidth("Paused", 32);
    EXPECT_EQ(paused.countBrighter(0, kHeight / 2 - 20, kWidth / 2 - width / 2 - 2, kHeight / 2 + 20, 300), 0)
        << "centred";
    StateManager::getInstance()->setState(PAUSED);
    hud()->render();
    EXPECT_EQ(middle(FrameCapture::take(kWidth, kHeight)) > 0, true) << "the frame was not cleared";
    prepareOverlay();
    hud()->render();
    EXPECT_EQ(middle(FrameCapture::take(kWidth, kHeight)), 0) << "the pause menu says so itself";
}

TEST_F(HUDGuidanceTest, ANewPlayerSeesTheControlsHintForTenSecondsOfPlayOnceOnly) {
    ControlsHint& hint = hud()->controlsHint;
    EXPECT_FALSE(hint.isShowing()) << "only a new game offers it";
    hint.offer();
    ASSERT_TRUE(hint.isShowing());
    const FrameCapture frame = drawOverlay();
    frame.save("hud_controls_hint");
    const int ink = frame.countBrighter(0, kHeight / 2 + 40, kWidth, kHeight - 30, 300);
    EXPECT_GT(ink, 1000);
    EXPECT_LT(ink, 12000) << "letters, not white boxes";

    hud()->update(ControlsHint::kSteps - 1);
    EXPECT_TRUE(hint.isShowing());
    EXPECT_FALSE(std::filesystem::exists(ControlsHint::seenFile())) << "quitting now shows it again";
    hud()->update(1);
    EXPECT_FALSE(hint.isShowing());
    EXPECT_EQ(drawOverlay().countBrighter(0, kHeight / 2 + 40, kWidth, kHeight - 30, 300), 0);
    EXPECT_TRUE(std::filesystem::exists(ControlsHint::seenFile()));
    EXPECT_TRUE(ControlsHint::seenFile().string().starts_with((data->root() / "player").string()));

    ControlsHint again;
    again.offer();
    EXPECT_FALSE(again.isShowing());
}

TEST_F(HUDGuidanceTest, TheHintEndsAtTheFirstCheckpointAndEvenWhenItCannotBeRemembered) {
    ControlsHint& hint = hud()->controlsHint;
    hint.offer();
    hud()->update(10);
    level.saved = true;
    hud()->update(1);
    EXPECT_FALSE(hint.isShowing());
    EXPECT_TRUE(std::filesystem::exists(ControlsHint::seenFile()));

    // A state folder that cannot be made: the hint still ends, and comes again at the next start.
    std::filesystem::remove_all(PlayerFiles::stateDir().parent_path());
    std::filesystem::create_directories(PlayerFiles::stateDir().parent_path());
    { std::ofstream(PlayerFiles::stateDir()) << "in the way"; }
    ControlsHint blocked;
    blocked.offer();
    ASSERT_TRUE(blocked.isShowing());
    blocked.advance(ControlsHint::kSteps, false);
    EXPECT_FALSE(blocked.isShowing());
    ControlsHint next;
    next.offer();
    EXPECT_TRUE(next.isShowing());
}
