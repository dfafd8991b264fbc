#include "game/ReplayPlayer.h"

#include <cmath>

#include "core/Log.h"

VORN_FILE_LOGGER("ReplayPlayer")

namespace {

float farthest(const ReplayPoint& a, const ReplayPoint& b) {
    return std::max({std::abs(a.x - b.x), std::abs(a.y - b.y), std::abs(a.z - b.z)});
}

} // namespace

ReplayPlayer::ReplayPlayer(Replay replay) : run(std::move(replay)) {}

std::optional<ReplayRespawn::Kind> ReplayPlayer::dueRespawn() const {
    if (respawnsTaken < run.respawns.size() && run.respawns[respawnsTaken].step == played) {
        return run.respawns[respawnsTaken].kind;
    }
    return std::nullopt;
}

std::optional<ReplayStep> ReplayPlayer::nextStep() {
    if (played >= run.steps.size()) {
        return std::nullopt;
    }
    return run.steps[played++];
}

void ReplayPlayer::compare(const ReplayPoint& position, const ReplayPoint& velocity) {
    while (checksDone < run.checks.size() && run.checks[checksDone].step < played) {
        ++checksDone;
    }
    if (checksDone >= run.checks.size() || run.checks[checksDone].step != played) {
        return;
    }
    const ReplayBall& recorded = run.checks[checksDone++];
    const float apart =
        std::max(farthest(recorded.position, position), farthest(recorded.velocity, velocity));
    if (apart > kTolerance && !drift) {
        drift = played;
        LOG_WARN("Replay drifts at step " << played << ": the ball is " << apart
                                          << " away from the recorded position or velocity");
    }
}

bool ReplayPlayer::atEnd() const {
    return played >= run.steps.size() && !dueRespawn();
}
