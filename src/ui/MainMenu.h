#pragma once

#include "ui/ChoiceMenu.h"

// New game (the first level), continue (the first level not yet finished), the list
// of levels, the replays, the options, or exit. Entering it leaves the level that was played. While the level
// chosen last cannot be played, the lines below the items say why.
class MainMenu : public ChoiceMenu {
public:
    enum Item { kNewGameItem, kContinueItem, kLevelsItem, kReplaysItem, kOptionsItem, kExitItem };

    MainMenu();
    void enter() override;
    void render() override;

    static constexpr const char* kLoadFailed = "The level could not be loaded:";

protected:
    void choose() override;
    void escape() override;
};
