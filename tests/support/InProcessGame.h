#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <string>

#include "ChildProcess.h"
#include "FrameCapture.h"

// The game's own start-up in this process on a copy of the game tree, with a clock the test
// moves: for tests of what a player meets, frame by frame.
class InProcessGame : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // The screenshot key's picture of the frame `draw` draws, kept as NAME.png.
    static FrameCapture screenshot(const std::string& name, const std::function<void()>& draw);

    GameCopy game;
    std::filesystem::path previous;
    int clock = 0;
};
