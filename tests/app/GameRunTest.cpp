#include <IL/il.h>
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>
#include <vector>

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

// The RGB pixels of a screenshot's rows [top, bottom), counted from the top; empty when it cannot be read.
std::vector<unsigned char> rows(const std::filesystem::path& path, int top, int bottom) {
    ilInit();
    ilEnable(IL_ORIGIN_SET);
    ilOriginFunc(IL_ORIGIN_UPPER_LEFT);
    ILuint image = 0;
    ilGenImages(1, &image);
    ilBindImage(image);
    std::vector<unsigned char> rgb;
    if (ilLoadImage(path.c_str())) {
        const int width = ilGetInteger(IL_IMAGE_WIDTH);
        rgb.resize(static_cast<std::size_t>(width) * (bottom - top) * 3);
        ilCopyPixels(0, top, 0, width, bottom - top, 1, IL_RGB, IL_UNSIGNED_BYTE, rgb.data());
    }
    ilDeleteImages(1, &image);
    return rgb;
}

int brightPixels(const std::filesystem::path& path, int top, int bottom) {
    const std::vector<unsigned char> rgb = rows(path, top, bottom);
    int count = 0;
    for (std::size_t i = 0; i < rgb.size(); i += 3) {
        count += rgb[i] + rgb[i + 1] + rgb[i + 2] > 300 ? 1 : 0;
    }
    return count;
}

// Log lines at warning level or above.
std::string warnings(const std::string& log) {
    std::istringstream lines(log);
    std::string line;
    std::string found;
    while (std::getline(lines, line)) {
        for (const char* level : {" WARN ", " ERROR ", " FATAL "}) {
            if (line.find(level) != std::string::npos) {
                found += line + "\n";
            }
        }
    }
    return found;
}

// Replaces a file of the game by a named pipe: whoever reads it waits until the test writes it.
std::string holdFile(const GameCopy& install, const std::string& relative) {
    const std::string content = install.readFile(relative);
    std::filesystem::remove(install.root() / relative);
    EXPECT_EQ(mkfifo((install.root() / relative).c_str(), 0600), 0);
    return content;
}

constexpr int kLoadTimeout = 120000;
constexpr int kHeight = 480;

} // namespace

// Main menu, new game, the loading screen while the level waits for its materials,
// play, the pause menu, back to the main menu and out, as a player types it.
TEST(GameRunTest, FromTheMainMenuIntoPlayToThePauseMenuAndBackOut) {
    const GameCopy install;
    const std::string material = "levels/level1/level1.material";
    const std::string materials = holdFile(install, material);
    GameProcess game(install);
    ASSERT_NE(game.waitForWindow(kStartTimeout), 0ul) << install.readFile("output.txt");

    const std::filesystem::path menu = game.screenshot("main_menu");
    ASSERT_FALSE(menu.empty()) << install.readFile("Vorn.log");
    EXPECT_GT(brightPixels(menu, 0, 230), 5000) << "the logo";
    EXPECT_GT(brightPixels(menu, 250, 394), 600) << "the five items";
    EXPECT_EQ(brightPixels(menu, 394, kHeight), 0);

    game.type("Return");
    const std::filesystem::path loading = game.screenshot("loading");
    ASSERT_FALSE(loading.empty()) << install.readFile("output.txt") << install.readFile("Vorn.log");
    EXPECT_GT(brightPixels(loading, 0, 288), 5000) << "the logo";
    EXPECT_GT(brightPixels(loading, 336, 384), 100) << "the loading image";
    EXPECT_GT(brightPixels(loading, 390, 440), 50) << "the level's name";
    EXPECT_EQ(brightPixels(loading, 440, kHeight), 0) << "no items";

    ASSERT_TRUE(feedPipe(install.root() / material, materials, kLoadTimeout));
    ASSERT_TRUE(game.waitForLog("Longest frame of the loading screen", kLoadTimeout))
        << install.readFile("Vorn.log");
    const std::filesystem::path play = game.screenshot("play");
    ASSERT_FALSE(play.empty());
    EXPECT_NE(rows(play, 0, 288), rows(menu, 0, 288)) << "no logo in play";

    game.type("Escape");
    const std::filesystem::path pause = game.screenshot("pause_menu");
    ASSERT_FALSE(pause.empty());
    EXPECT_GT(brightPixels(pause, 0, 259), 5000) << "the logo over three items";
    EXPECT_EQ(brightPixels(pause, 262, 306), 0);
    EXPECT_GT(brightPixels(pause, 307, 394), 300) << "the three items";
    EXPECT_EQ(brightPixels(pause, 394, kHeight), 0);

    game.type("s Return");
    const std::filesystem::path back = game.screenshot("main_menu_again");
    ASSERT_FALSE(back.empty());
    EXPECT_EQ(rows(back, 0, kHeight), rows(menu, 0, kHeight));

    game.type("Escape");
    EXPECT_EQ(game.waitForExit(kExitTimeout), 0) << install.readFile("output.txt");
    const std::string log = install.readFile("Vorn.log");
    EXPECT_EQ(warnings(log), "");
    EXPECT_TRUE(
        appearInOrder(log, {"Starting Main Loop", "Scene loaded", "Longest frame of the loading screen",
                            "========== Exiting Vorn =========="}))
        << log;
}

// A first level whose scene file is gone is no endless loading screen: the main menu
// says why, and a new game tries again.
TEST(GameRunTest, ALevelThatCannotBeLoadedSendsThePlayerBackToTheMainMenuWhichSaysWhy) {
    const GameCopy install;
    std::filesystem::remove(install.root() / "levels/level1/level1.scene");
    GameProcess game(install);
    ASSERT_NE(game.waitForWindow(kStartTimeout), 0ul) << install.readFile("output.txt");
    ASSERT_TRUE(game.waitForLog("cannot be played", kLoadTimeout)) << install.readFile("Vorn.log");

    game.type("Return");
    ASSERT_TRUE(game.waitForLog("Longest frame of the loading screen", kLoadTimeout));
    const std::filesystem::path menu = game.screenshot("main_menu_level_failed");
    ASSERT_FALSE(menu.empty());
    EXPECT_GT(brightPixels(menu, 336, 394), 300) << "the two items";
    EXPECT_GT(brightPixels(menu, 408, 424), 200) << "what went wrong";
    EXPECT_GT(brightPixels(menu, 426, 442), 200) << "why";

    game.type("Escape");
    EXPECT_EQ(game.waitForExit(kExitTimeout), 0) << install.readFile("output.txt");
    const std::string log = install.readFile("Vorn.log");
    std::size_t tries = 0;
    for (std::size_t at = log.find("Loading Scene:"); at != std::string::npos;
         at = log.find("Loading Scene:", at + 1)) {
        ++tries;
    }
    EXPECT_EQ(tries, 2u) << "once at start-up, once for the new game";
    const std::string unexpected = warnings(log);
    EXPECT_EQ(unexpected.find("WARN"), std::string::npos) << unexpected;
    EXPECT_NE(unexpected.find("could not be read"), std::string::npos) << unexpected;
}

TEST(GameRunTest, StartsTakesAScreenshotAndEndsWhenTheWindowIsClosed) {
    const GameCopy install;
    GameProcess game(install);
    const unsigned long window = game.waitForWindow(kStartTimeout);
    ASSERT_NE(window, 0ul) << install.readFile("output.txt");
    EXPECT_EQ(XWindows::title(window), "Vorn");

    const std::filesystem::path screenshot = game.screenshot("start");
    ASSERT_FALSE(screenshot.empty()) << install.readFile("Vorn.log");
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
    // Started with no terminal, as from a desktop menu: the player sees it in a dialog too.
    const std::string dialog = install.dialogs();
    EXPECT_NE(
        dialog.find("--error\n--title=Insufficient OpenGL capabilities\n--text=Minimum required OpenGL"),
        std::string::npos)
        << dialog;
}

// No OpenGL driver can be loaded, so no window with a context can open. (A size of 0 in
// the settings no longer does it: the default size is used instead.)
TEST(GameRunTest, AWindowThatCannotOpenEndsTheStart) {
    const GameCopy install;
    GameProcess game(install, {{"LIBGL_DRIVERS_PATH", "/nonexistent"}});
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
    const std::string materials = holdFile(install, "levels/level1/level1.material");
    GameProcess game(install);
    const unsigned long window = game.waitForWindow(kStartTimeout);
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
