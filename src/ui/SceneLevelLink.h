#pragma once

#include "ui/LevelLink.h"

// The link to the level manager's current level, its main character and the save states.
class SceneLevelLink : public LevelLink {
public:
    void pauseCurrentLevel() override;
    void resumeCurrentLevel() override;
    void leaveCurrentLevel() override;
    void startNewGame() override;
    int levelCount() override;
    std::string levelName(int index) override;
    std::optional<int> levelParTime(int index) override;
    void loadLevel(int index) override;
    bool enterLevel(int index) override;
    std::string levelError(int index) override;
    void settleAround(int index) override;
    void respawn() override;
    std::optional<Gauges> mainCharGauges() override;
    bool checkpointReached() override;
};
