#pragma once

#include "ui/ChoiceMenu.h"

// Continue, back to the main menu, or the options; Escape continues.
class PauseMenu : public ChoiceMenu {
public:
    enum Item { kContinueItem, kMainMenuItem, kOptionsItem };

    PauseMenu();
    void enter() override;

protected:
    void choose() override;
    void escape() override;
};
