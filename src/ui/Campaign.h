#pragma once

#include "core/Singleton.h"

#include <memory>
#include <optional>
#include <string>

#include "core/Progress.h"
#include "platform/Clock.h"

// The levels played one after another: which one is chosen or played, its clock (game
// time of play only: pause and menus stop it), and the player's progress with the
// result of the last finish.
class Campaign : public Singleton<Campaign> {
    friend class Singleton<Campaign>;

public:
    struct Result {
        int level = 0;
        Milliseconds time = 0;
        Milliseconds best = 0;
        bool newBest = false;
    };

    // Read from the player's data folder on first use.
    Progress& progress();

    int level() const { return chosen; }
    // A new game of `index`: nothing of an earlier game is kept, its clock starts at zero.
    void choose(int index);
    bool hasNextLevel();
    // The level after the last one finished, or played.
    void chooseNext();
    // The first level not yet finished.
    int continueLevel();

    // Once a frame with the physics steps it ran; they count only in play.
    void countSteps(int steps);
    void restartClock() { steps = 0; }
    Milliseconds clock() const;
    // The level was finished on the clock: its time goes into the progress.
    const Result& finish();
    const std::optional<Result>& lastResult() const { return result; }

    // "m:ss.t", as the HUD and the menus show times.
    static std::string formatTime(Milliseconds time);

private:
    Campaign() = default;

    std::unique_ptr<Progress> saved;
    int chosen = 0;
    long long steps = 0;
    std::optional<Result> result;
};
