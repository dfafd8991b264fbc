#pragma once

#include "app/Singleton.h"

#include "app/GameState.h"

// Holds the one game state that decides what a frame updates and draws, which
// menu shows and whether the level's sounds play.
class StateManager : public Singleton<StateManager> {
    friend class Singleton<StateManager>;

public:
    int getState() const { return state; }
    // Shows the menu of the new state and stops or starts the level's sounds when
    // play is left or entered. Switching to the current state does nothing, so
    // menus are not shown again.
    void setState(int newState);

private:
    StateManager() = default;

    int state = EXIT;
};
