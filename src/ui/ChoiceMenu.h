#pragma once

#include <vector>

#include "ui/Menu.h"

// A menu of the logo over a column of items, one of them highlighted: the main,
// pause, game-over and level-complete menus. Up and down (or W and S) move the
// highlight round the column, Enter chooses.
class ChoiceMenu : public Menu {
public:
    struct Item {
        const char* texture;
        const char* highlighted;
    };

    explicit ChoiceMenu(std::vector<Item> items);

    void render() override;
    void keyEvent(int key, int action) override;

protected:
    // Enter on the item `selection` names.
    virtual void choose() = 0;
    virtual void escape() = 0;
    // The items from `top` down; every one takes the size of the first one's image.
    void drawItems(float top) const;
    // The height of the item column drawn by drawItems.
    float itemsHeight() const;

    std::vector<Item> items;

private:
    const char* itemTexture(int item) const;
    Menu::ImageSize itemSize() const;
};
