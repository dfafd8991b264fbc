#pragma once

#include <optional>
#include <string>
#include <vector>

#include "FrameCapture.h"
#include "GlTest.h"
#include "ui/LevelLink.h"

// Stands in for the level manager while it lives: records what the menus, the
// state change and the HUD ask of the level.
class FakeLevel : public LevelLink {
public:
    FakeLevel() { LevelLink::use(this); }
    ~FakeLevel() override { LevelLink::use(nullptr); }

    void pauseCurrentLevel() override { calls.push_back("pause"); }
    void resumeCurrentLevel() override { calls.push_back("resume"); }
    void leaveCurrentLevel() override { calls.push_back("leave"); }
    void startNewGame() override { calls.push_back("new"); }
    int levelCount() override { return static_cast<int>(names.size()); }
    std::string levelName(int index) override { return names.at(index); }
    std::optional<int> levelParTime(int) override { return parTime; }
    void loadLevel(int index) override { calls.push_back("load " + std::to_string(index)); }
    bool enterLevel(int) override { return firstLevelReady; }
    std::string levelError(int) override { return loadError; }
    void settleAround(int index) override { calls.push_back("settle " + std::to_string(index)); }
    void respawn() override { calls.push_back("respawn"); }
    std::optional<Gauges> mainCharGauges() override { return gauges; }
    bool checkpointReached() override { return saved; }

    std::vector<std::string> calls;
    std::vector<std::string> names{"First Steps"};
    std::optional<int> parTime;
    bool firstLevelReady = false;
    std::string loadError;
    std::optional<Gauges> gauges;
    bool saved = false;
};

// The game's own window (with its input callbacks and fixed OpenGL state) of the
// chosen size, over a data root holding the generated font, HUD bars, menu images
// and help image. The time manager runs on a clock the test moves.
class OverlayTest : public GlTest {
protected:
    void SetUp() override;
    bool openWindow() override;

    // The overlay as the frame draws it, read back.
    FrameCapture drawOverlay();
    // A cleared frame with the overlay's projection, for drawing parts of it.
    void prepareOverlay();
    void advanceClock(int milliseconds);
    // Copies a file or folder of the generated game tree into the data root.
    void copyFromGame(const std::string& relative) const;

    int windowWidth = kWidth;
    int windowHeight = kHeight;
    // Whether the main configuration names the help image.
    bool helpConfigured = true;
    int clock = 100000;
    FakeLevel level;
};
