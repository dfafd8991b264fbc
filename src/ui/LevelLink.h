#pragma once

#include <optional>
#include <string>

// What the menus, the state change and the HUD need from the current level, the
// level manager and the save states, in one place. The game uses the level
// manager's link; tests put their own in place.
class LevelLink {
public:
    struct Gauges {
        float energy;
        float turbo;
    };

    virtual ~LevelLink() = default;

    // Play is left: the current level's background and object sounds stop.
    virtual void pauseCurrentLevel() = 0;
    // Play is entered: they start again.
    virtual void resumeCurrentLevel() = 0;
    // Back at the main menu: the current level is stopped and reset, and no level is current.
    virtual void leaveCurrentLevel() = 0;
    // New Game: nothing of an earlier game is kept, no snapshot to respawn into.
    virtual void startNewGame() = 0;
    // The levels of the campaign, counted from 0.
    virtual int levelCount() = 0;
    // The level's name for the player ("Level N" when its configuration names none).
    virtual std::string levelName(int index) = 0;
    // Seconds a good run of the level takes; none when its configuration gives none.
    virtual std::optional<int> levelParTime(int index) = 0;
    // The loading screen starts loading the level in the background.
    virtual void loadLevel(int index) = 0;
    // True once the level has loaded and has become the current one.
    virtual bool enterLevel(int index) = 0;
    // Why the level cannot be played, for the player; empty while it loads or once it is in.
    virtual std::string levelError(int index) = 0;
    // Play of the level has begun: the level after it loads in the background and every
    // other one is unloaded.
    virtual void settleAround(int index) = 0;
    // Back to the newest snapshot; without one, the current level is stopped and reset to its start.
    virtual void respawn() = 0;
    // Energy and turbo of the current level's main character; none without one.
    virtual std::optional<Gauges> mainCharGauges() = 0;
    // True once a checkpoint has been reached and saved.
    virtual bool checkpointReached() = 0;

    // The link in use.
    static LevelLink& get();
    // Replaces the link in use; null goes back to the level manager's.
    static void use(LevelLink* link);
};
