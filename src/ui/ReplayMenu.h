#pragma once

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "game/ReplayLibrary.h"
#include "ui/Menu.h"

// The player's replays, newest first: level name, date, time of the run, finished or not.
// Up and down (or W and S) move the highlight, Enter plays one, Escape goes back. A replay
// that cannot be played says why below the list.
class ReplayMenu : public Menu {
public:
    void enter() override;
    void render() override;
    void keyEvent(int key, int action) override;

    // The line the list shows for a replay.
    static std::string lineOf(const ReplayLibrary::Entry& entry);

    // Starts playing a replay; why not when it is refused. Set by the game.
    std::function<std::string(const std::filesystem::path&)> play;
    // Where the replays are; the player's replays folder unless a test says otherwise.
    std::filesystem::path folder;

    const std::vector<ReplayLibrary::Entry>& entries() const { return listed; }
    const std::string& refusal() const { return why; }

    static constexpr const char* kTitle = "Replays";
    static constexpr const char* kNone = "No replays yet: every run you play is recorded.";
    static constexpr float kTextSize = 18.0f;
    static constexpr int kShown = 12;

private:
    void move(int by);
    void choose();

    std::vector<ReplayLibrary::Entry> listed;
    std::string why;
};
