#include <IL/il.h>
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <string>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

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

// Writes `text` into a named pipe once its reader has opened it.
bool feedPipe(const std::filesystem::path& pipe, const std::string& text, int timeoutMilliseconds) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMilliseconds);
    int fd = -1;
    while ((fd = open(pipe.c_str(), O_WRONLY | O_NONBLOCK)) < 0) {
        if (std::chrono::steady_clock::now() >= deadline) {
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    fcntl(fd, F_SETFL, 0);
    const bool written = write(fd, text.data(), text.size()) == static_cast<ssize_t>(text.size());
    close(fd);
    return written;
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

// Bright pixels of a screenshot in the rows [top, bottom), counted from the top.
int brightPixels(const std::filesystem::path& path, int top, int bottom) {
    ilInit();
    ilEnable(IL_ORIGIN_SET);
    ilOriginFunc(IL_ORIGIN_UPPER_LEFT);
    ILuint image = 0;
    ilGenImages(1, &image);
    ilBindImage(image);
    int count = 0;
    if (ilLoadImage(path.c_str())) {
        const int width = ilGetInteger(IL_IMAGE_WIDTH);
        std::vector<unsigned char> rgb(static_cast<std::size_t>(width) * (bottom - top) * 3);
        ilCopyPixels(0, top, 0, width, bottom - top, 1, IL_RGB, IL_UNSIGNED_BYTE, rgb.data());
        for (std::size_t i = 0; i < rgb.size(); i += 3) {
            count += rgb[i] + rgb[i + 1] + rgb[i + 2] > 300 ? 1 : 0;
        }
    }
    ilDeleteImages(1, &image);
    return count;
}

// A key the window may not take yet, or no more: the callers look for its effect.
void sendKey(unsigned long window, const std::string& key) {
    const std::string command = "xdotool key --window " + std::to_string(window) + " " + key + " 2>/dev/null";
    [[maybe_unused]] const int result = std::system(command.c_str());
}

// Presses the screenshot key until the next picture is written.
bool takeScreenshot(unsigned long window, const std::filesystem::path& path) {
    for (int attempt = 0; attempt < 5 && !std::filesystem::exists(path); ++attempt) {
        sendKey(window, "1");
        waitForFile(path, 2000);
    }
    return std::filesystem::exists(path);
}

} // namespace

TEST(GameRunTest, StartsAtTheMainMenuWhereEscapeEndsTheGame) {
    const GameCopy install;
    GameProcess game(install);
    const unsigned long window = XWindows::waitForWindowOf(game.pid(), kStartTimeout);
    ASSERT_NE(window, 0ul) << install.readFile("output.txt");

    const std::filesystem::path menu = install.root() / "bin" / "screen0.tga";
    ASSERT_TRUE(takeScreenshot(window, menu)) << install.readFile("Vorn.log");
    EXPECT_GT(brightPixels(menu, 0, 288), 5000) << "the logo";
    EXPECT_GT(brightPixels(menu, 336, 394), 300) << "the two items";
    EXPECT_EQ(brightPixels(menu, 400, 480), 0);

    // The game may close its window between the key's press and its release, failing the sender.
    sendKey(window, "Escape");
    EXPECT_EQ(game.waitForExit(kExitTimeout), 0)
        << install.readFile("output.txt") << install.readFile("Vorn.log");
    const std::string log = install.readFile("Vorn.log");
    EXPECT_EQ(log.find(" WARN "), std::string::npos) << log;
    EXPECT_EQ(log.find(" ERROR "), std::string::npos) << log;
}

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
                                    "Initializing physics SDK",
                                    "Initializing OgreLoader",
                                    "Loading LightManager",
                                    "Initializing Ortho",
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
                                    "Initializing MenuManager",
                                    "Initializing HUD",
                                    "Initializing FontManager",
                                    "Initializing FontRenderer",
                                    "Loading sky box",
                                    "Initializing SceneManager",
                                    "Loading Shader",
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

TEST(GameRunTest, ClosingWhileTheFirstLevelLoadsWaitsForTheLoadAndEndsCleanly) {
    const GameCopy install;
    // The level's material file is a pipe: its load waits until the test writes it.
    const std::filesystem::path material = install.root() / "levels/level1/level1.material";
    const std::string materials = install.readFile("levels/level1/level1.material");
    std::filesystem::remove(material);
    ASSERT_EQ(mkfifo(material.c_str(), 0600), 0);
    GameProcess game(install);
    const unsigned long window = XWindows::waitForWindowOf(game.pid(), kStartTimeout);
    ASSERT_NE(window, 0ul) << install.readFile("output.txt");
    ASSERT_TRUE(XWindows::requestClose(window));
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    ASSERT_TRUE(feedPipe(material, materials, kExitTimeout));
    EXPECT_EQ(game.waitForExit(kExitTimeout), 0) << install.readFile("output.txt");
    const std::string log = install.readFile("Vorn.log");
    EXPECT_TRUE(appearInOrder(log, {"Loading Scene:../levels/level1/level1.scene", "Scene loaded",
                                    "========== Exiting Vorn =========="}))
        << log;
    EXPECT_EQ(log.find("asked for after shutdown began"), std::string::npos) << log;
    EXPECT_EQ(log.find("ERROR"), std::string::npos) << log;
}

TEST(GameRunTest, AConfigurationWithoutLevelsEndsTheStart) {
    const GameCopy install;
    std::string config = install.readFile("Vorn.ini");
    config.replace(config.find("level1 ="), 6, "levelOne");
    std::ofstream(install.root() / "Vorn.ini") << config;
    GameProcess game(install);
    EXPECT_EQ(game.waitForExit(kExitTimeout), 1);
    const std::string log = install.readFile("Vorn.log");
    EXPECT_TRUE(appearInOrder(log, {"Initializing SceneManager", "No Levels found, could not load scenePaths",
                                    "========== Exiting Vorn =========="}))
        << log;
    EXPECT_NE(install.readFile("output.txt").find("Could not load any Levels."), std::string::npos);
}
