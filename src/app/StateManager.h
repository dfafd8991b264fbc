#pragma once

#include "app/Singleton.h"

#include "app/GameState.h"

// Holds the one game state that decides what a frame updates and draws.
class StateManager : public Singleton<StateManager> {
    friend class Singleton<StateManager>;

public:
    int getState() const { return state; }
    // Switching to the current state does nothing, so menus are not shown again.
    void setState(int newState);

private:
    StateManager() = default;

    int state = EXIT;
};
