#pragma once

class OgreScene;
class PhysicsManager;

// Level 1 of the game tree the process is in, loaded and current, stepped as the
// frame steps it. Its managers go with it, so the next load starts from the files.
class LevelOne {
public:
    LevelOne();
    ~LevelOne();

    LevelOne(const LevelOne&) = delete;
    LevelOne& operator=(const LevelOne&) = delete;

    // Everything a load fills, gone.
    static void unload();
    // The game's objects and rules for the levels loaded next, as the game installs them.
    static void installGame();

    // False when level 1 cannot be played.
    bool ready() const { return level != nullptr; }
    OgreScene& scene() const { return *level; }
    // Fetch the results, the objects follow, the next step starts.
    void step() const;

private:
    OgreScene* level = nullptr;
    PhysicsManager* physics = nullptr;
};
