#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "LogCapture.h"
#include "TempDataRoot.h"
#include "core/PlayerFiles.h"

namespace {

namespace fs = std::filesystem;

TEST(PlayerFilesTest, FoldersFollowTheXdgVariablesOrHome) {
    const TempDataRoot data;
    EXPECT_EQ(PlayerFiles::configDir(), data.root() / "xdg/config/vorn") << "tests never reach the real home";
    setenv("XDG_DATA_HOME", "relative/is/ignored", 1);
    setenv("HOME", "/home/player", 1);
    EXPECT_EQ(PlayerFiles::dataDir(), fs::path("/home/player/.local/share/vorn"));
    unsetenv("XDG_STATE_HOME");
    EXPECT_EQ(PlayerFiles::stateDir(), fs::path("/home/player/.local/state/vorn"));
}

TEST(PlayerFilesTest, ReplaceWritesWholeFilesAndKeepsTheOldOneWhenItCannot) {
    const TempDataRoot data;
    const fs::path file = PlayerFiles::dataDir() / "deep/progress.ini";
    ASSERT_TRUE(PlayerFiles::replace(file, "first"));
    ASSERT_TRUE(PlayerFiles::replace(file, "second"));
    EXPECT_EQ(PlayerFiles::read(file), "second");
    EXPECT_EQ(std::distance(fs::directory_iterator(file.parent_path()), fs::directory_iterator{}), 1)
        << "no temporary file is left";

    // A folder in the way cannot be replaced, even by root: nothing changes and nothing is left behind.
    const fs::path blocked = file.parent_path() / "blocked";
    fs::create_directories(blocked / "inside");
    EXPECT_FALSE(PlayerFiles::replace(blocked, "third"));
    EXPECT_TRUE(fs::is_directory(blocked / "inside"));
    EXPECT_EQ(std::distance(fs::directory_iterator(file.parent_path()), fs::directory_iterator{}), 2);
    EXPECT_EQ(PlayerFiles::read(file.parent_path() / "missing"), std::nullopt);
    EXPECT_EQ(PlayerFiles::read(blocked), std::nullopt) << "a folder is read as no file, not thrown out of";
}

TEST(PlayerFilesTest, ADamagedFileIsSetAsideWithAWarning) {
    const TempDataRoot data;
    const LogCapture log;
    const fs::path file = PlayerFiles::configDir() / "settings.ini";
    ASSERT_TRUE(PlayerFiles::replace(file, "garbage"));
    PlayerFiles::setAside(file, "is damaged");
    EXPECT_FALSE(fs::exists(file));
    EXPECT_EQ(PlayerFiles::read(file.string() + ".bad"), "garbage");
    EXPECT_EQ(log.count("WARN PlayerFiles: '" + file.string() + "' is damaged"), 1);
}

} // namespace
