#include "app/StateManager.h"

void StateManager::setState(int newState) {
    if (newState == state) {
        return;
    }
    state = newState;
}
