#pragma once

#include "core/Singleton.h"

#include <functional>
#include <list>

#include "core/Timer.h"
#include "platform/Clock.h"
#include "core/FixedStep.h"

// Measures frame time, counts frames per second, decides how many fixed 1/60 s
// physics steps a frame runs and drives the registered timers.
class TimeManager : public Singleton<TimeManager> {
    friend class Singleton<TimeManager>;

public:
    using ClockFunction = std::function<Milliseconds()>;

    // The clock is the monotonic millisecond clock unless a test hands in its own.
    explicit TimeManager(ClockFunction clock = Clock::milliseconds);

    void update();
    // Reads the time from `clock` from the next update on; tests drive the single instance with it.
    void setClock(ClockFunction clock);
    void addTimer(Timer* timer);
    void removeTimer(Timer* timer);

    Milliseconds startTime;
    Milliseconds now;
    Milliseconds lastFrameTime;
    Milliseconds frameDelta = 0;
    int framesSinceSample = 0;
    float fps = 0.0f;
    Milliseconds lastSampleTime;
    Milliseconds physicsClock;
    int stepCount = 0;
    bool fpsUpdated = false;
    bool paused = false;
    std::list<Timer*> timers;

    // One physics step is accounted as 16 ms but due only after a full 1/60 s.
    static constexpr double kStepThreshold = static_cast<double>(kStepSeconds) * 1000.0;
    static constexpr int kStepMilliseconds = 16;

private:
    void sampleFramesPerSecond();
    void countPhysicsSteps();
    void fireDueTimers();

    ClockFunction clock;
};
