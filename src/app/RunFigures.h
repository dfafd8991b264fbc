#pragma once

#include <string>
#include <vector>

#include "platform/Clock.h"

// What one run of the game amounts to, logged in one line when it ends: how long it
// played, how smoothly, and what the player did.
class RunFigures {
public:
    static RunFigures& get();

    // One frame of the main loop: its time and the physics steps it ran.
    void addFrame(Milliseconds frameTime, int physicsSteps);
    void addPickup() { ++pickups; }
    void addDeath() { ++deaths; }
    int getPickups() const { return pickups; }
    int getDeaths() const { return deaths; }
    int getFrames() const { return static_cast<int>(frameTimes.size()); }
    // The frame time that `share` (0..1) of the frames do not exceed; 0 without frames.
    static Milliseconds percentile(std::vector<Milliseconds> times, double share);
    Milliseconds frameTimePercentile(double share) const { return percentile(frameTimes, share); }
    // "Run figures: game time ... s, real time ... s, frames ..., frame time p50 ... ms, p99 ... ms,
    // snapshots ..., items picked up ..., deaths ..."
    std::string summary(Milliseconds realTime, int snapshots) const;
    void reset();

private:
    std::vector<Milliseconds> frameTimes;
    long long physicsSteps = 0;
    int pickups = 0;
    int deaths = 0;
};
