#include "core/StateManager.h"

#include "core/Log.h"

VORN_FILE_LOGGER("StateManager")

bool StateManager::allows(int oldState, int newState) {
    const bool endsPlay = newState == GAME_OVER || newState == LEVEL_COMPLETE;
    return !endsPlay || oldState == IN_GAME;
}

// A change asked for inside another would run its listeners in the middle of
// the first one's and store its state before the first one stores its own.
void StateManager::setState(int newState) {
    waiting.push_back(newState);
    if (changing) {
        return;
    }
    // A listener that throws must not leave every later change waiting for good.
    struct Running {
        StateManager& states;
        explicit Running(StateManager& owner) : states(owner) { states.changing = true; }
        ~Running() {
            states.changing = false;
            states.waiting.clear();
        }
    } running(*this);
    while (!waiting.empty()) {
        const int next = waiting.front();
        waiting.pop_front();
        change(next);
    }
}

void StateManager::change(int newState) {
    if (newState == state) {
        return;
    }
    if (!allows(state, newState)) {
        LOG_DEBUG("State " << newState << " cannot follow state " << state);
        return;
    }
    for (const Listener& listener : listeners) {
        listener(state, newState);
    }
    state = newState;
}

void StateManager::addListener(Listener listener) {
    listeners.push_back(std::move(listener));
}

void StateManager::clearListeners() {
    listeners.clear();
}
