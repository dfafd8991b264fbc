#include <IL/il.h>
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>

#include "GameProcess.h"
#include "XWindows.h"

namespace {

constexpr int kStartTimeout = 20000;
constexpr int kExitTimeout = 20000;

// Lines of `log` in order: each must follow the previous one.
::testing::AssertionResult appearInOrder(const std::string& log, std::initializer_list<const char*> lines) {
    std::size_t position = 0;
    for (const char* line : lines) {
        const std::size_t found = log.find(line, position);
        if (found == std::string::npos) {
            return ::testing::AssertionFailure() << "missing or out of order: \"" << line << "\"";
        }
        position = found + 1;
    }
    return ::testing::AssertionSuccess();
}

bool waitForFile(const std::filesystem::path& path, int timeoutMilliseconds) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMilliseconds);
    while (!std::filesystem::exists(path) || std::filesystem::file_size(path) == 0) {
        if (std::chrono::steady_clock::now() >= deadline) {
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    // Give the writer a moment to finish the file.
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    return true;
}

std::pair<int, int> imageSize(const std::filesystem::path& path) {
    ilInit();
    ILuint image = 0;
    ilGenImages(1, &image);
    ilBindImage(image);
    std::pair<int, int> size{0, 0};
    if (ilLoadImage(path.c_str())) {
        size = {ilGetInteger(IL_IMAGE_WIDTH), ilGetInteger(IL_IMAGE_HEIGHT)};
    }
    ilDeleteImages(1, &image);
    return size;
}

} // namespace

TEST(GameRunTest, StartsTakesAScreenshotAndEndsWhenTheWindowIsClosed) {
    const GameCopy install;
    GameProcess game(install);
    const unsigned long window = XWindows::waitForWindowOf(game.pid(), kStartTimeout);
    ASSERT_NE(window, 0ul) << install.readFile("output.txt");
    EXPECT_EQ(XWindows::title(window), "Vorn");

    const std::string sendKey = "xdotool key --window " + std::to_string(window) + " 1";
    const std::filesystem::path screenshot = install.root() / "bin" / "screen0.tga";
    for (int attempt = 0; attempt < 5 && !std::filesystem::exists(screenshot); ++attempt) {
        ASSERT_EQ(std::system(sendKey.c_str()), 0);
        waitForFile(screenshot, 2000);
    }
    ASSERT_TRUE(std::filesystem::exists(screenshot)) << install.readFile("Vorn.log");
    EXPECT_EQ(imageSize(screenshot), (std::pair<int, int>{640, 480}));

    ASSERT_TRUE(XWindows::requestClose(window));
    EXPECT_EQ(game.waitForExit(kExitTimeout), 0) << install.readFile("output.txt");

    const std::string log = install.readFile("Vorn.log");
    EXPECT_TRUE(appearInOrder(log, {"========== Starting Vorn ==========",
                                    "Entering Game Mode",
                                    "Loading main config",
                                    "Loading Frustum",
                                    "Initializing TimeManager",
                                    "Initializing Camera",
                                    "Initializing StateManager",
                                    "Initializing GLFW",
                                    "Opening GLFW Window",
                                    "Configuring GLFW",
                                    "Initializing GLEW",
                                    "Getting system information",
                                    "System capable of OpenGL version ",
                                    "Using OpenGL Renderer: ",
                                    "Initializing OpenGL",
                                    "Initializing Texture Loader",
                                    "Initializing HUD",
                                    "Loading sky box",
                                    "Setting up light",
                                    "Starting Main Loop",
                                    "========== Exiting Vorn =========="}))
        << log;
}

TEST(GameRunTest, OpenGLBelowTwoEndsTheStartWithTheVersionMessage) {
    const GameCopy install;
    GameProcess game(install, {{"VORN_TEST_GL_VERSION", "1.5"}});
    EXPECT_EQ(game.waitForExit(kExitTimeout), 1);
    const std::string log = install.readFile("Vorn.log");
    EXPECT_TRUE(
        appearInOrder(log, {"System capable of OpenGL version 1.5.", "Insufficient OpenGL version: 1.5"}))
        << log;
    EXPECT_EQ(log.find("Initializing OpenGL"), std::string::npos);
    const std::string output = install.readFile("output.txt");
    EXPECT_NE(output.find("Insufficient OpenGL capabilities"), std::string::npos) << output;
    EXPECT_NE(output.find("Your System is only capable of version 1.5. Vorn must exit now."),
              std::string::npos)
        << output;
}

TEST(GameRunTest, AWindowThatCannotOpenEndsTheStart) {
    const GameCopy install;
    std::ofstream(install.root() / "Vorn.ini") << "[window]\nwidth = 0\nheight = 0\n";
    GameProcess game(install);
    EXPECT_EQ(game.waitForExit(kExitTimeout), 1);
    const std::string log = install.readFile("Vorn.log");
    EXPECT_TRUE(appearInOrder(log, {"Opening GLFW Window", "Could not create window, terminating GLFW",
                                    "Initializing GLFW Failed, Vorn must terminate.",
                                    "========== Exiting Vorn =========="}))
        << log;
    EXPECT_NE(install.readFile("output.txt").find("Initializing GLFW failed"), std::string::npos);
}

TEST(GameRunTest, NoDisplayEndsTheStartBeforeAnyWindow) {
    const GameCopy install;
    GameProcess game(install, {{"DISPLAY", ""}});
    EXPECT_EQ(game.waitForExit(kExitTimeout), 1);
    const std::string log = install.readFile("Vorn.log");
    EXPECT_TRUE(appearInOrder(log, {"Initializing GLFW", "Couldn't initializes GLFW!"})) << log;
    EXPECT_EQ(log.find("Opening GLFW Window"), std::string::npos);
    const std::string output = install.readFile("output.txt");
    EXPECT_NE(output.find("No display was found"), std::string::npos) << output;
    EXPECT_NE(output.find("xvfb-run"), std::string::npos) << output;
    EXPECT_EQ(output.find("graphics driver"), std::string::npos) << output;
}

TEST(GameRunTest, UnreachableDisplayIsReportedAsNoDisplay) {
    const GameCopy install;
    GameProcess game(install, {{"DISPLAY", ":4711"}});
    EXPECT_EQ(game.waitForExit(kExitTimeout), 1);
    const std::string output = install.readFile("output.txt");
    EXPECT_NE(output.find("No display was found"), std::string::npos) << output;
}
