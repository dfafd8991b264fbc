#pragma once

#include "ui/Menu.h"

// The finish was reached; Enter goes back to the main menu.
class LevelcompleteMenu : public Menu {
public:
    void render() override;
    void enter() override;
    void keyEvent(int key, int action) override;
};
