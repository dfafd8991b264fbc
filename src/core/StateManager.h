#pragma once

#include "core/Singleton.h"

#include <deque>
#include <functional>
#include <vector>

#include "core/GameState.h"

// Holds the one game state that decides what a frame updates and draws. What a
// change of state sets off (the menus, the level's sounds, the run figures) is
// registered with it at start-up and runs in the order it was registered.
class StateManager : public Singleton<StateManager> {
    friend class Singleton<StateManager>;

public:
    // Runs while the change is made: getState still gives the state being left.
    using Listener = std::function<void(int oldState, int newState)>;

    int getState() const { return state; }
    // Switching to the current state does nothing, so menus are not shown again; a
    // change the rules refuse does nothing either. Asked for while a change runs
    // (by one of its listeners), the change waits until that one is done.
    void setState(int newState);
    void addListener(Listener listener);
    void clearListeners();

    // The rules of the game states: game over and level complete end play, so
    // only play can reach them. Every other change is allowed.
    static bool allows(int oldState, int newState);

private:
    StateManager() = default;
    void change(int newState);

    int state = EXIT;
    std::vector<Listener> listeners;
    std::deque<int> waiting;
    bool changing = false;
};
