#pragma once

#include <functional>

class StateManager;

// What a change of game state sets off, registered with the state manager at start-up
// in the order the game needs: the physics step in flight is dropped when play is left,
// a pause by key ends at the main menu, a game over counts as a death, a finish goes
// into the progress (not one of a replay being watched), the menu of the new state shows, the level's sounds
// stop when play is left and start when it is entered, a new game starts with the camera looking the way on
// while the next level loads behind it, and the cursor is locked in play and free in the menus.
namespace StateEffects {

void install(
    StateManager& states, std::function<bool()> watchingReplay = [] { return false; });

} // namespace StateEffects
