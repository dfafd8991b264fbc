#pragma once

#include "ui/ChoiceMenu.h"

// New game or exit. Entering it leaves the level that was played. While the
// first level cannot be played, the lines below the items say why.
class MainMenu : public ChoiceMenu {
public:
    MainMenu();
    void enter() override;
    void render() override;

    static constexpr const char* kLoadFailed = "The level could not be loaded:";

protected:
    void choose() override;
    void escape() override;
};
