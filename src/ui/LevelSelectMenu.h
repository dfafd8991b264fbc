#pragma once

#include "ui/Menu.h"

// Every level of the campaign with its name and best time; the ones unlocked (the first,
// and each after a finished one) can be played, the others show as locked. Up and down
// (or W and S) move the highlight, Enter plays an unlocked level, Escape goes back.
class LevelSelectMenu : public Menu {
public:
    void enter() override;
    void render() override;
    void keyEvent(int key, int action) override;

    // The line the list shows for a level.
    static std::string lineOf(int level);

    static constexpr const char* kTitle = "Levels";
    static constexpr const char* kLocked = "locked";
    static constexpr float kTextSize = 20.0f;

private:
    void move(int by);
    void play();
};
