#include "game/PlaySteps.h"

#include "core/StateManager.h"
#include "game/Controls.h"
#include "scene/OgreScene.h"
#include "scene/PhysicsManager.h"
#include "scene/SceneManager.h"

namespace {

bool inPlay() {
    const StateManager* states = StateManager::existingInstance();
    return states && states->getState() == IN_GAME;
}

OgreScene* currentLevel() {
    SceneManager* levels = SceneManager::existingInstance();
    return levels ? levels->getCurrentScene() : nullptr;
}

} // namespace

PlaySteps::PlaySteps(Controls& ballControls) : controls(ballControls) {}

// The finish, the fog or the last drop of energy can end play in the fetch or in the
// update; the steps still due in the frame belong to a game that is over.
void PlaySteps::run(int steps) {
    PhysicsManager* physics = PhysicsManager::existingInstance();
    for (int step = 0; step < steps && physics && inPlay(); ++step) {
        if (beforeStep) {
            beforeStep();
        }
        physics->fetchResults();
        OgreScene* level = currentLevel();
        if (level && inPlay()) {
            level->update();
        }
        if (!inPlay()) {
            return;
        }
        controls.poll();
        // The controls may end play too: a replay that has come to its end.
        if (inPlay()) {
            physics->startStep();
        }
    }
}
