#pragma once

#include <filesystem>
#include <string>
#include <vector>

// A short hint of the controls for a new player: offered when a new game starts,
// it shows on the first start of the game only, for ten seconds of play or until
// the first checkpoint. That it has been shown is kept in the player's state folder,
// so a player who quits before it ends sees it again.
class ControlsHint {
public:
    // The file that says the hint has been shown.
    static std::filesystem::path seenFile();

    // Shows the hint unless it has been shown before.
    void offer();
    // `steps` physics steps were played; `checkpointReached` once the first snapshot exists.
    void advance(int steps, bool checkpointReached);
    bool isShowing() const { return showing; }
    // A dimmed box of the hint's lines in the bottom-left corner of the window.
    void render() const;

    static std::vector<std::string> lines();
    static constexpr int kSteps = 600;

private:
    void finish();

    bool showing = false;
    int stepsShown = 0;
};
