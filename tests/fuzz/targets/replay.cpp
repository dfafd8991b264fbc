// Replay files as the game reads them: a run whose steps, respawns and checks fit
// together and hold finite numbers, played through to its end, or refused.
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "FuzzSupport.h"
#include "game/Controls.h"
#include "game/Ghost.h"
#include "game/Replay.h"
#include "game/ReplayPlayer.h"

namespace {

[[noreturn]] void fail(const char* what) {
    std::fprintf(stderr, "replay: %s\n", what);
    std::abort();
}

bool finite(const ReplayPoint& p) {
    return std::isfinite(p.x) && std::isfinite(p.y) && std::isfinite(p.z);
}

// Written again, the run reads back the same.
void expectRoundTrip(const Replay& run) {
    std::string bytes = ReplayFormat::header(run.header);
    std::size_t respawn = 0;
    std::size_t check = 0;
    std::size_t sample = 0;
    for (std::uint32_t step = 0; step <= run.steps.size(); ++step) {
        for (; sample < run.path.size() && run.path[sample].step == step; ++sample) {
            ReplayFormat::appendPath(bytes, run.path[sample].position);
        }
        for (; check < run.checks.size() && run.checks[check].step == step; ++check) {
            ReplayFormat::appendCheck(bytes, run.checks[check].position, run.checks[check].velocity);
        }
        for (; respawn < run.respawns.size() && run.respawns[respawn].step == step; ++respawn) {
            ReplayFormat::appendRespawn(bytes, run.respawns[respawn].kind);
        }
        if (step < run.steps.size()) {
            ReplayFormat::appendStep(bytes, run.steps[step]);
        }
    }
    if (run.finishStep) {
        ReplayFormat::appendFinish(bytes, *run.finishStep);
    }
    const ReplayFormat::Parsed again = ReplayFormat::parse(bytes);
    if (!again.replay || again.replay->steps.size() != run.steps.size() ||
        again.replay->respawns.size() != run.respawns.size() ||
        again.replay->checks.size() != run.checks.size() || again.replay->finishStep != run.finishStep) {
        fail("a run written again reads back otherwise");
    }
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    Fuzz::quietLogs();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const ReplayFormat::Parsed parsed = ReplayFormat::parse(Fuzz::text(data, size));
    if (!parsed.replay) {
        if (parsed.problem == ReplayFormat::Problem::None) {
            fail("no run and no problem");
        }
        return 0;
    }
    const Replay& run = *parsed.replay;
    if (run.finishStep && *run.finishStep != run.steps.size()) {
        fail("a finish that is not after the last step");
    }
    for (const ReplayStep& step : run.steps) {
        HeldControls controls;
        if (!std::isfinite(step.heading) || !ReplayFormat::unpackControls(step.controls, controls) ||
            !(std::fabs(step.stickForward) <= 1.0f) || !(std::fabs(step.stickRight) <= 1.0f)) {
            fail("a step the ball cannot be driven with");
        }
    }
    for (const ReplayBall& ball : run.checks) {
        if (!finite(ball.position) || !finite(ball.velocity) || ball.step > run.steps.size()) {
            fail("a check that is no place of the ball");
        }
    }
    expectRoundTrip(run);
    Ghost ghost(run.path);
    ReplayPlayer player(run);
    while (!player.atEnd()) {
        if (player.dueRespawn()) {
            player.takeRespawn();
        } else if (player.nextStep()) {
            player.compare({}, {});
            ghost.advance();
            const Vector3 at = ghost.positionAt(ghost.stepsTaken());
            if (!std::isfinite(at.x) || !std::isfinite(at.y) || !std::isfinite(at.z)) {
                fail("a ghost off every place");
            }
        } else {
            fail("a player that neither ends nor steps");
        }
    }
    return 0;
}
