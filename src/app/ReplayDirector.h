#pragma once

#include <filesystem>
#include <memory>
#include <optional>
#include <string>

#include "game/Controls.h"
#include "game/ReplayPlayer.h"
#include "game/ReplayRecorder.h"

class Ghost;
class PlaySteps;
class StateManager;

// Every run of a level is recorded into the player's replays from the start of play to
// its finish or until it is left; a replay chosen from the menu or the command line is
// played back through the same fixed steps, with pause, x1, x2 and x4. While the player
// plays, the ghost of the level's best finished run rolls along.
class ReplayDirector {
public:
    ReplayDirector(Controls& controls, PlaySteps& steps);
    ~ReplayDirector();
    ReplayDirector(const ReplayDirector&) = delete;
    ReplayDirector& operator=(const ReplayDirector&) = delete;

    void install(StateManager& states);

    // Loads the replay's level and plays it back; why not, for the player, when it is refused.
    // `exitAtEnd`: the game ends with the replay (the command line), else the list shows again.
    std::string play(const std::filesystem::path& path, bool exitAtEnd);
    bool playingBack() const { return player != nullptr; }

    // Once a frame before its steps: the respawn after a recorded game over.
    void beforeFrame();
    // The physics steps the frame runs of the `due` ones: more at x2 and x4, none in a pause.
    int stepsFor(int due) const;
    // Once a frame after it was drawn: a replay played to its end is left.
    void afterFrame();
    void drawGhost() const;
    // Keys in play while a replay is watched; true when the key was one of them.
    bool keyPressed(int key);
    // The player went back to the newest snapshot with its key in play.
    void snapshotLoaded();

    static constexpr const char* kHint = "Replay: Space pause, Tab x1/x2/x4, Esc leave";

private:
    void stateChanged(int oldState, int newState);
    void begin();
    void startRecording();
    void startPlayback();
    void stopRecording();
    void endPlayback(const char* how);
    void loadGhost(const std::string& levelFile, const std::string& hash);
    void onStep();
    std::optional<StepControls> replayedStep();
    void beforeStep();

    Controls& controls;
    PlaySteps& steps;
    std::unique_ptr<ReplayRecorder> recorder;
    std::unique_ptr<ReplayPlayer> player;
    std::optional<Replay> pending;
    std::unique_ptr<Ghost> ghost;
    bool exitAtEnd = false;
    bool paused = false;
    int speed = 1;
    std::uint32_t runSteps = 0;
    int snapshotsSeen = 0;
};
