#pragma once

#include <string>

#include "app/FrameTimeHistogram.h"
#include "platform/Clock.h"

// What one run of the game amounts to, logged in one line when it ends: how long it
// played, how smoothly, and what the player did. Its size does not grow with the run.
class RunFigures {
public:
    static RunFigures& get();

    // One frame of the main loop: its time and the physics steps it ran.
    void addFrame(Milliseconds frameTime, int physicsSteps);
    void addPickup() { ++pickups; }
    void addDeath() { ++deaths; }
    int getPickups() const { return pickups; }
    int getDeaths() const { return deaths; }
    const FrameTimeHistogram& getFrameTimes() const { return frameTimes; }
    // "Run figures: game time ... s, real time ... s, frames ..., frame time p50 ... ms, p99 ... ms,
    // snapshots ..., items picked up ..., deaths ..."
    std::string summary(Milliseconds realTime, int snapshots) const;
    void reset();

private:
    FrameTimeHistogram frameTimes;
    long long physicsSteps = 0;
    int pickups = 0;
    int deaths = 0;
};
