#pragma once

#include "ui/Menu.h"

// A menu of the logo over two items, one of them highlighted: the main, pause and
// game-over menus. Up and down (or W and S) move the highlight, Enter chooses.
class ChoiceMenu : public Menu {
public:
    struct Item {
        const char* texture;
        const char* highlighted;
    };

    ChoiceMenu(Item first, Item second);

    void render() override;
    void keyEvent(int key, int action) override;

protected:
    // Enter on the item `selection` names.
    virtual void choose() = 0;
    virtual void escape() = 0;

private:
    const char* itemTexture(int item) const;

    Item items[2];
};
