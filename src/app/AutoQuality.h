#pragma once

#include <functional>
#include <optional>

#include "core/QualityTuner.h"
#include "platform/Clock.h"

// "Auto" quality in the running game: times the frames of the first seconds of play on
// the real clock and, when the tuner takes another rung, applies it and keeps it in the
// settings file. A game whose clock runs in lock-step (the autopilot's test runs) is
// left as it is, so it draws the same on any machine.
class AutoQuality {
public:
    explicit AutoQuality(std::function<Milliseconds()> clock = Clock::milliseconds);

    // Once a frame, after it was drawn; `inPlay` while the state is play.
    void frame(bool inPlay);
    void stop() { stopped = true; }
    bool settled() const;

private:
    std::function<Milliseconds()> clock;
    std::optional<QualityTuner> tuner;
    std::optional<Milliseconds> lastFrame;
    bool stopped = false;
};
