#pragma once

#include <vector>

// "Auto" quality: watches the frame times of the first seconds of play in windows of
// about two seconds and, after each window, steps the quality down a rung while the
// median frame is slower than 33 ms or up one while it is faster than 12 ms. It settles
// once a window lands between the two, at either end of the ladder, or when it has
// judged enough windows; a rung once found too slow is not tried again.
class QualityTuner {
public:
    // `step` is the rung to start from, 0 the best of `steps` rungs.
    QualityTuner(int step, int steps);

    // One frame of play that took `milliseconds`; the rung to use from now on.
    int addFrame(double milliseconds);
    int step() const { return current; }
    bool settled() const { return done; }

    static constexpr double kSlowFrame = 33.0;
    static constexpr double kFastFrame = 12.0;
    // The first frames of play carry the level's last uploads: left out.
    static constexpr double kWarmUp = 500.0;
    static constexpr double kWindow = 2000.0;
    static constexpr int kMinFrames = 10;
    static constexpr int kMaxWindows = 8;

private:
    void judge();

    int current;
    int steps;
    bool done = false;
    double warmUpLeft = kWarmUp;
    double windowTime = 0.0;
    int windows = 0;
    // The lowest rung found too slow: never gone back up to.
    int slowestTried = -1;
    std::vector<double> frames;
};
