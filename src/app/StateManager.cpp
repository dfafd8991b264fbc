#include "app/StateManager.h"

StateManager* StateManager::instance = nullptr;

StateManager* StateManager::getInstance() {
    if (!instance) {
        instance = new StateManager();
    }
    return instance;
}

void StateManager::destroy() {
    delete instance;
    instance = nullptr;
}

void StateManager::setState(int newState) {
    if (newState == state) {
        return;
    }
    state = newState;
}
