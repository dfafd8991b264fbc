#pragma once

#include "ui/LevelLink.h"

// The link to the level manager's current level, its main character and the save states.
class SceneLevelLink : public LevelLink {
public:
    void pauseCurrentLevel() override;
    void resumeCurrentLevel() override;
    void leaveCurrentLevel() override;
    void startNewGame() override;
    void loadFirstLevel() override;
    bool enterFirstLevel() override;
    std::string firstLevelError() override;
    void respawn() override;
    std::optional<Gauges> mainCharGauges() override;
    bool checkpointReached() override;
};
