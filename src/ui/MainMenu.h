#pragma once

#include "ui/ChoiceMenu.h"

// New game or exit. Entering it leaves the level that was played.
class MainMenu : public ChoiceMenu {
public:
    MainMenu();
    void enter() override;

protected:
    void choose() override;
    void escape() override;
};
