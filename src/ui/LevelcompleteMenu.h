#pragma once

#include "ui/ChoiceMenu.h"

// The finish was reached: the level's time, the best time (with the level's par time when
// it has one) and "New best time" when it is one, over "Next level" (chosen by Enter) and "Main menu". After
// the last level it says the campaign is complete and offers the main menu only.
class LevelcompleteMenu : public ChoiceMenu {
public:
    LevelcompleteMenu();
    void render() override;
    void enter() override;

    // The lines of text under the title.
    static std::vector<std::string> resultLines();

    static constexpr const char* kNewBest = "New best time";

protected:
    void choose() override;
    void escape() override;

private:
    bool lastLevel = false;
};
