#pragma once

class StateManager;

// What a change of game state sets off, registered with the state manager at start-up
// in the order the game needs: the physics step in flight is dropped when play is left,
// a pause by key ends at the main menu, a game over counts as a death, the menu of the
// new state shows, and the level's sounds stop when play is left and start when it is
// entered.
namespace StateEffects {

void install(StateManager& states);

} // namespace StateEffects
