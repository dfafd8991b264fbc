#pragma once

#include <gtest/gtest.h>
#include <memory>

#include "TempDataRoot.h"

// Every OpenGL test runs on a hidden 640x480 window with the extension loader
// and the capability probe up, inside a fresh data root. Tear-down drops the
// managers the test may have created and closes the window.
class GlTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
    // A hidden window by default; input tests open the game's own.
    virtual bool openWindow();

    static constexpr int kWidth = 640;
    static constexpr int kHeight = 480;

    std::unique_ptr<TempDataRoot> data;
};
