#pragma once

#include <string>
#include <vector>

#include "LevelFixture.h"
#include "game/Controls.h"
#include "platform/Clock.h"

class MainChar;
class OgreModel;
class OgreScene;

// A small level in play as the game runs it: loaded by the level manager, made
// current, and stepped as the frame loop steps it, on a clock the test turns.
// The ball has a sound of its own; energy pickups and checkpoints sound too.
class GameTest : public LevelFixture {
protected:
    GameTest();
    ~GameTest() override;

    // Loads `nodes` as the first level and makes it current, in play.
    void play(const std::vector<TestNode>& nodes);
    // Physics steps as the frame loop runs them: fetch, update the level, poll the controls,
    // start the next; none once play has ended.
    void run(int steps);
    // Moves the clock on and fires the timers due.
    void tick(int milliseconds);
    OgreModel* object(const std::string& node) const;
    void putBall(float x, float y, float z);
    // Sources now playing the sound file.
    static int playing(const std::string& file);
    static int messagesSaying(const std::string& text);

    Controls controls;
    OgreScene* scene = nullptr;
    MainChar* ball = nullptr;
    Milliseconds clock = 1000;
};
