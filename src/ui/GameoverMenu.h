#pragma once

#include "ui/ChoiceMenu.h"

// Respawn or back to the main menu; Escape goes to the main menu.
class GameoverMenu : public ChoiceMenu {
public:
    GameoverMenu();
    void enter() override;

protected:
    void choose() override;
    void escape() override;
};
