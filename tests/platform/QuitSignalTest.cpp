#include <gtest/gtest.h>

#include <csignal>
#include <unistd.h>

#include "platform/QuitSignal.h"

// The first Ctrl+C asks the game to end its frame loop and shut down; a shutdown that
// hangs is ended by the second.
TEST(QuitSignalDeathTest, TheFirstRequestIsNotedAndTheSecondEndsTheProcess) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            QuitSignal::install();
            std::raise(SIGTERM);
            _exit(QuitSignal::raised() ? 7 : 1);
        },
        ::testing::ExitedWithCode(7), "");
    EXPECT_EXIT(
        {
            QuitSignal::install();
            std::raise(SIGINT);
            std::raise(SIGINT);
            _exit(0);
        },
        ::testing::KilledBySignal(SIGINT), "");
}
