#include <gtest/gtest.h>

#include <malloc.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <vector>

#include "app/FrameTimeHistogram.h"
#include "app/RunFigures.h"

namespace {

// However long the game runs, the frame times it keeps take no more room: an hour at
// 60 frames per second allocates nothing.
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

// Exact to the millisecond: the smallest frame time that the share of the frames do not exceed.
TEST(RunFiguresTest, PercentilesAreTheNearestRankOfTheFrameTimes) {
    std::mt19937 random(21);
    std::uniform_int_distribution<Milliseconds> spread(0, 250);
    FrameTimeHistogram histogram;
    EXPECT_EQ(histogram.percentile(0.5), 0) << "no frames yet";
    std::vector<Milliseconds> times;
    for (int frame = 0; frame < 4999; ++frame) {
        times.push_back(spread(random));
        histogram.add(times.back());
    }
    std::sort(times.begin(), times.end());
    for (const double share : {0.0, 0.001, 0.5, 0.99, 0.9995, 1.0}) {
        const auto rank = std::max<std::size_t>(1, static_cast<std::size_t>(std::ceil(share * times.size())));
        EXPECT_EQ(histogram.percentile(share), times[rank - 1]) << share;
    }
    histogram.add(-5);
    histogram.add(FrameTimeHistogram::kLongest * 3);
    EXPECT_EQ(histogram.percentile(0.0), 0);
    EXPECT_EQ(histogram.percentile(1.0), FrameTimeHistogram::kLongest)
        << "a longer hitch counts as the longest";
    EXPECT_EQ(histogram.count(), 5001u);
}

} // namespace
