#pragma once

#include "ui/ChoiceMenu.h"

// Continue or back to the main menu; Escape continues.
class PauseMenu : public ChoiceMenu {
public:
    PauseMenu();
    void enter() override;

protected:
    void choose() override;
    void escape() override;
};
