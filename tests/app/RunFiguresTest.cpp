#include <gtest/gtest.h>

#include <malloc.h>

#include "app/FrameTimeHistogram.h"
#include "app/RunFigures.h"

namespace {

// However long the game runs, the frame times it keeps take no more room: an hour at
// 60 frames per second allocates nothing, and the percentiles stay exact.
TEST(RunFiguresTest, AnHourOfFramesTakesNoMoreMemoryThanItsFirstFrame) {
    RunFigures& figures = RunFigures::get();
    figures.reset();
    figures.addFrame(16, 1);
    const std::size_t before = mallinfo2().uordblks;
    for (int frame = 1; frame < 60 * 3600; ++frame) {
        figures.addFrame(16 + frame % 5, 1);
    }
    EXPECT_EQ(mallinfo2().uordblks, before);
    EXPECT_NE(figures.summary(3600000, 2).find("frames 216000, frame time p50 18 ms, p99 20 ms, snapshots 2"),
              std::string::npos)
        << figures.summary(3600000, 2);
    figures.reset();
}

// The smallest frame time that the share of the frames do not exceed.
TEST(RunFiguresTest, PercentilesAreTheNearestRankToTheMillisecond) {
    FrameTimeHistogram histogram;
    EXPECT_EQ(histogram.percentile(0.5), 0) << "no frames yet";
    for (Milliseconds time = 200; time > 0; time -= 2) {
        histogram.add(time);
    }
    EXPECT_EQ(histogram.percentile(0.0), 2);
    EXPECT_EQ(histogram.percentile(0.5), 100);
    EXPECT_EQ(histogram.percentile(0.505), 102);
    EXPECT_EQ(histogram.percentile(0.99), 198);
    histogram.add(-5);
    histogram.add(FrameTimeHistogram::kLongest * 3);
    EXPECT_EQ(histogram.percentile(0.0), 0);
    EXPECT_EQ(histogram.percentile(1.0), FrameTimeHistogram::kLongest)
        << "a longer hitch counts as the longest";
}

} // namespace
