#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <thread>
#include <vector>

#include "LogCapture.h"
#include "TempDataRoot.h"
#include "core/PlayerFiles.h"
#include "core/Progress.h"

namespace {

namespace fs = std::filesystem;

void writeFile(const fs::path& path, const std::string& content) {
    fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << content;
}

TEST(ProgressTest, FinishesAndBestTimesSurviveTheNextStartAndUnlockTheLevelAfter) {
    const TempDataRoot data;
    {
        Progress progress;
        EXPECT_EQ(progress.path(), PlayerFiles::dataDir() / "progress.txt");
        EXPECT_TRUE(progress.isUnlocked(0));
        EXPECT_FALSE(progress.isUnlocked(1));
        EXPECT_EQ(progress.firstUnfinished(3), 0);
        EXPECT_TRUE(progress.recordFinish(0, 83450));
        EXPECT_TRUE(progress.recordFinish(1, 120000));
    }
    const Progress again;
    EXPECT_EQ(again.bestTime(0), 83450);
    EXPECT_EQ(again.bestTime(1), 120000);
    EXPECT_EQ(again.bestTime(2), std::nullopt);
    EXPECT_TRUE(again.isUnlocked(2));
    EXPECT_FALSE(again.isUnlocked(3)) << "only the level after a finished one opens";
    EXPECT_EQ(again.firstUnfinished(3), 2);
    EXPECT_EQ(again.firstUnfinished(2), 1) << "all finished: the last level";
    EXPECT_EQ(data.read("xdg/data/vorn/progress.txt"), "vorn progress 1\nlevel1 83450\nlevel2 120000\n");
}

TEST(ProgressTest, ASlowerFinishKeepsTheFasterTime) {
    const TempDataRoot data;
    Progress progress;
    EXPECT_TRUE(progress.recordFinish(0, 90000));
    EXPECT_FALSE(progress.recordFinish(0, 95000));
    EXPECT_EQ(progress.bestTime(0), 90000);
    EXPECT_FALSE(progress.recordFinish(0, 90000)) << "a tie is not a new best";
    EXPECT_TRUE(progress.recordFinish(0, 70000));
    EXPECT_EQ(Progress().bestTime(0), 70000);
    EXPECT_FALSE(progress.recordFinish(-1, 1000));
    EXPECT_FALSE(progress.recordFinish(2, -5));
    EXPECT_FALSE(progress.isFinished(2));
}

class DamagedProgressTest : public testing::TestWithParam<std::string> {};

TEST_P(DamagedProgressTest, IsSetAsideWithOneWarningAndTheGameStartsFresh) {
    const TempDataRoot data;
    const fs::path file = PlayerFiles::dataDir() / "progress.txt";
    writeFile(file, GetParam());
    const LogCapture log;
    Progress progress;
    EXPECT_EQ(log.problems().size(), 1u);
    EXPECT_EQ(log.count("WARN", "'" + file.string() + "' is damaged"), 1);
    EXPECT_FALSE(progress.isFinished(0));
    EXPECT_FALSE(fs::exists(file));
    EXPECT_EQ(PlayerFiles::read(file.string() + ".bad"), GetParam());
    EXPECT_TRUE(progress.recordFinish(0, 5000));
    EXPECT_EQ(Progress().bestTime(0), 5000);
}

INSTANTIATE_TEST_SUITE_P(Contents, DamagedProgressTest,
                         testing::Values("", "garbage\n", "vorn progress 2\nlevel1 5\n",
                                         "vorn progress 1\nlevel1\n", "vorn progress 1\nlevel1 -4\n",
                                         "vorn progress 1\nlevel0 100\n", "vorn progress 1\nlevelx 100\n",
                                         "vorn progress 1\nlevel1 100 extra\n",
                                         "vorn progress 1\nlevel1 100\nlevel1 200\n",
                                         "vorn progress 1\nlevel1 12ab\n",
                                         std::string("vorn progress 1\0", 16)));

TEST(ProgressTest, AFolderThatCannotBeWrittenLosesNoTimeOfThisRunAndNeverCrashes) {
    const TempDataRoot data;
    // The data folder is a plain file: nothing can be made inside it, not even by root.
    writeFile(PlayerFiles::dataDir(), "in the way");
    const LogCapture log;
    Progress progress;
    EXPECT_TRUE(progress.recordFinish(0, 42000));
    EXPECT_EQ(progress.bestTime(0), 42000) << "the run goes on with its times";
    EXPECT_TRUE(progress.isUnlocked(1));
    EXPECT_GE(log.count("WARN", "Cannot write"), 1);
    EXPECT_EQ(PlayerFiles::read(PlayerFiles::dataDir()), "in the way");
}

TEST(ProgressTest, AProgressFileThatCannotBeReadIsSetAside) {
    const TempDataRoot data;
    const fs::path file = PlayerFiles::dataDir() / "progress.txt";
    fs::create_directories(file / "inside");
    const LogCapture log;
    Progress progress;
    EXPECT_EQ(log.count("WARN", "'" + file.string() + "' cannot be read"), 1);
    EXPECT_TRUE(fs::is_directory(file.string() + ".bad"));
    EXPECT_TRUE(progress.recordFinish(1, 3000));
    EXPECT_EQ(Progress().bestTime(1), 3000);
}

TEST(ProgressTest, TwoGamesWritingKeepEachOthersTimes) {
    const TempDataRoot data;
    Progress first;
    Progress second;
    EXPECT_TRUE(first.recordFinish(0, 60000));
    EXPECT_TRUE(second.recordFinish(1, 80000));
    EXPECT_FALSE(second.recordFinish(0, 65000)) << "the other game's faster time is seen";
    EXPECT_TRUE(first.recordFinish(0, 55000));
    const Progress after;
    EXPECT_EQ(after.bestTime(0), 55000);
    EXPECT_EQ(after.bestTime(1), 80000);

    // Many writers at once: every level's time arrives.
    std::vector<std::thread> games;
    for (int level = 2; level < 10; ++level) {
        games.emplace_back([level] {
            Progress game;
            for (int run = 0; run < 5; ++run) {
                game.recordFinish(level, 10000 * level - run);
            }
        });
    }
    for (std::thread& game : games) {
        game.join();
    }
    const Progress all;
    for (int level = 0; level < 10; ++level) {
        EXPECT_TRUE(all.isFinished(level)) << level;
    }
    EXPECT_EQ(all.bestTime(9), 89996);
}

} // namespace
