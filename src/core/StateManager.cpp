#include "core/StateManager.h"

void StateManager::setState(int newState) {
    if (newState == state) {
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
