#include "ui/Campaign.h"

#include <cstdio>

#include "core/FixedStep.h"
#include "core/GameState.h"
#include "core/StateManager.h"
#include "core/TimeManager.h"
#include "ui/LevelLink.h"

Progress& Campaign::progress() {
    if (!saved) {
        saved = std::make_unique<Progress>();
    }
    return *saved;
}

void Campaign::choose(int index) {
    chosen = index;
    steps = 0;
    LevelLink::get().startNewGame();
}

bool Campaign::hasNextLevel() {
    return chosen + 1 < LevelLink::get().levelCount();
}

void Campaign::chooseNext() {
    if (hasNextLevel()) {
        choose(chosen + 1);
    }
}

int Campaign::continueLevel() {
    return progress().firstUnfinished(LevelLink::get().levelCount());
}

// A clock paused by its key runs no steps either.
void Campaign::countSteps(int stepCount) {
    const StateManager* states = StateManager::existingInstance();
    const TimeManager* time = TimeManager::existingInstance();
    if (states && states->getState() == IN_GAME && !(time && time->paused)) {
        steps += stepCount;
    }
}

Milliseconds Campaign::clock() const {
    return static_cast<Milliseconds>(static_cast<double>(steps) * kStepSeconds * 1000.0 + 0.5);
}

const Campaign::Result& Campaign::finish() {
    const Milliseconds time = clock();
    const bool newBest = progress().recordFinish(chosen, time);
    result = Result{chosen, time, progress().bestTime(chosen).value_or(time), newBest};
    return *result;
}

std::string Campaign::formatTime(Milliseconds time) {
    const long long tenths = time / 100;
    char text[32];
    std::snprintf(text, sizeof text, "%lld:%02lld.%lld", tenths / 600, tenths / 10 % 60, tenths % 10);
    return text;
}
