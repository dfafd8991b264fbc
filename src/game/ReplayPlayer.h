#pragma once

#include <optional>

#include "game/Replay.h"

// Plays a recorded run back step by step: the controls of each step, the respawns
// between steps, and a comparison of the ball with the recorded one once a second.
// The first step where they part by more than kTolerance is logged, once.
class ReplayPlayer {
public:
    static constexpr float kTolerance = 1e-4f;

    explicit ReplayPlayer(Replay replay);

    // The respawn recorded before the next step, if one is due.
    std::optional<ReplayRespawn::Kind> dueRespawn() const;
    void takeRespawn() { ++respawnsTaken; }
    // The controls of the next step; none once the recording has no more.
    std::optional<ReplayStep> nextStep();
    // The ball as it stands when the step just taken reads its controls.
    void compare(const ReplayPoint& position, const ReplayPoint& velocity);

    // Every step and respawn has been played.
    bool atEnd() const;
    std::uint32_t stepsPlayed() const { return played; }
    std::optional<std::uint32_t> firstDrift() const { return drift; }
    const Replay& replay() const { return run; }

private:
    Replay run;
    std::uint32_t played = 0;
    std::size_t respawnsTaken = 0;
    std::size_t checksDone = 0;
    std::optional<std::uint32_t> drift;
};
