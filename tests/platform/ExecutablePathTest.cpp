#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "platform/ExecutablePath.h"

namespace fs = std::filesystem;

// An installed executable finds its data in ../share/games/vorn, a build tree's one level up;
// both from wherever the tree was put.
TEST(ExecutablePath, FindsTheDataTreeFromWhereTheExecutableLies) {
    std::string pattern = (fs::temp_directory_path() / "vorn-tree-XXXXXX").string();
    const fs::path root = mkdtemp(pattern.data());
    fs::create_directories(root / "stage/usr/games");
    fs::create_directories(root / "stage/usr/share/games/vorn/bin");
    fs::create_directories(root / "build/game/bin");
    const std::string installed = (root / "stage/usr/games").string();
    EXPECT_FALSE(ExecutablePath::isInstalled(installed)) << "a tree without its configuration is none";
    std::ofstream(root / "stage/usr/share/games/vorn/Vorn.ini") << "[window]\n";

    EXPECT_TRUE(ExecutablePath::isInstalled(installed));
    EXPECT_EQ(ExecutablePath::dataRoot(installed), (root / "stage/usr/share/games/vorn").string());
    EXPECT_FALSE(ExecutablePath::isInstalled((root / "build/game/bin").string()));
    EXPECT_EQ(ExecutablePath::dataRoot((root / "build/game/bin").string()), (root / "build/game").string());

    const fs::path previous = fs::current_path();
    EXPECT_TRUE(ExecutablePath::enterDataTree(ExecutablePath::dataRoot(installed)));
    EXPECT_TRUE(fs::exists("../Vorn.ini")) << "the data's \"../\" paths land in the tree";
    fs::current_path(previous);
    fs::remove_all(root);
}
