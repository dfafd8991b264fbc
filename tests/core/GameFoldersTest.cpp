#include <gtest/gtest.h>

#include <filesystem>

#include "LogCapture.h"
#include "TempDataRoot.h"
#include "core/Config.h"
#include "core/GameFolders.h"
#include "core/PlayerFiles.h"

namespace fs = std::filesystem;

class GameFoldersTest : public ::testing::Test {
protected:
    void TearDown() override { GameFolders::reset(); }

    TempDataRoot data;
};

TEST_F(GameFoldersTest, AWritableBuildTreeKeepsItsLogHashesAndCachesBesideItsData) {
    GameFolders::choose(data.root(), false);
    EXPECT_TRUE(GameFolders::writesIntoTree());
    EXPECT_EQ(GameFolders::logFile(), data.root() / "Vorn.log");
    data.write("test.ini", "[a]\nb = 1\n");
    const Config config("../test.ini");
    EXPECT_TRUE(fs::exists(data.root() / "security"));
    EXPECT_EQ(GameFolders::modelCacheFile("../levels/one/box.mesh"), "../levels/one/box.mesh.vorm");
    EXPECT_EQ(GameFolders::screenshotFolder(), data.root() / "xdg/data/vorn/screenshots");
}

TEST_F(GameFoldersTest, AnInstalledTreeIsNeverWrittenInto) {
    const LogCapture log;
    GameFolders::choose(data.root(), true);
    EXPECT_FALSE(GameFolders::writesIntoTree());
    const fs::path state = data.root() / "xdg/state/vorn";
    fs::remove_all(state.parent_path());
    EXPECT_EQ(GameFolders::logFile(), state / "Vorn.log");
    EXPECT_TRUE(fs::is_directory(state)) << "made for the log to open";

    data.write("test.ini", "[a]\nb = 1\n");
    const Config config("../test.ini");
    EXPECT_FALSE(fs::exists(data.root() / "security"));
    EXPECT_NE(data.read("xdg/state/vorn/security").find("../test.ini"), std::string::npos);

    // Caches keep the tree's layout; a mesh from outside the tree keeps its whole path.
    EXPECT_EQ(GameFolders::modelCacheFile("../levels/one/box.mesh"),
              (data.root() / "xdg/cache/vorn/levels/one/box.mesh.vorm").string());
    EXPECT_EQ(GameFolders::modelCacheFile("/elsewhere/box.mesh"),
              (data.root() / "xdg/cache/vorn/elsewhere/elsewhere/box.mesh.vorm").string());

    GameFolders::logPlaces();
    EXPECT_TRUE(log.contains("Game data: " + data.root().string() + " (nothing is written into it)"));
    EXPECT_TRUE(log.contains("Log and configuration hashes: " + state.string()));
    EXPECT_TRUE(log.contains("Model caches: " + (data.root() / "xdg/cache/vorn").string()));
    EXPECT_TRUE(log.problems().empty());
}

// A file where a folder should be: nothing can be made there, even by root.
TEST_F(GameFoldersTest, AFolderThatCannotBeMadeIsWarnedAboutOnceAndDoneWithout) {
    const LogCapture log;
    data.write("blocked", "a file");
    setenv("XDG_STATE_HOME", (data.root() / "blocked/state").c_str(), 1);
    setenv("XDG_CACHE_HOME", (data.root() / "blocked/cache").c_str(), 1);
    GameFolders::choose(data.root(), true);
    EXPECT_EQ(GameFolders::logFile(), fs::path()) << "no log file, not a crash";
    EXPECT_TRUE(log.problems().empty()) << "the log is not set up yet when its place is chosen";
    GameFolders::logPlaces();
    data.write("test.ini", "[a]\nb = 1\n");
    const Config first("../test.ini");
    const Config second("../test.ini");
    EXPECT_FALSE(GameFolders::prepareFolderFor(PlayerFiles::stateDir() / "deeper/file"));
    EXPECT_FALSE(GameFolders::prepareFolderFor(GameFolders::modelCacheFile("../levels/one/box.mesh")));
    EXPECT_FALSE(GameFolders::prepareFolderFor(GameFolders::modelCacheFile("../levels/two/box.mesh")));
    EXPECT_EQ(log.problems(),
              (std::vector<std::string>{"WARN Cannot make the folder '" + PlayerFiles::stateDir().string() +
                                            "'; the game goes on without what it would hold",
                                        "WARN Cannot make the folder '" + PlayerFiles::cacheDir().string() +
                                            "'; the game goes on without what it would hold"}));
    EXPECT_FALSE(fs::exists(data.root() / "security"));
}
