#include "ui/ChoiceMenu.h"

#include "platform/GlfwKeys.h"
#include "ui/Ortho.h"

using namespace GlfwKeys;

ChoiceMenu::ChoiceMenu(Item first, Item second) : items{first, second} {}

const char* ChoiceMenu::itemTexture(int item) const {
    return selection == item ? items[item].highlighted : items[item].texture;
}

void ChoiceMenu::render() {
    const Layout layout;
    drawBackground();
    drawCentred(kLogo, fittedSize(kLogo, 0.6f), 0.0f);
    // Both items take the size of the first one's image.
    const ImageSize itemSize = fittedSize(items[0].texture, 0.06f);
    const float top = 0.7f * static_cast<float>(Ortho::windowSize().height);
    drawCentred(itemTexture(0), itemSize, top);
    drawCentred(itemTexture(1), itemSize, top + itemSize.height);
}

void ChoiceMenu::keyEvent(int key, int action) {
    if (action != PRESS) {
        return;
    }
    switch (key) {
    case 'W':
    case 'S':
    case KEY_UP:
    case KEY_DOWN:
        selection = 1 - selection;
        playClick();
        break;
    case KEY_ENTER:
    case KEY_KP_ENTER:
        choose();
        break;
    case KEY_ESC:
        escape();
        break;
    default:
        break;
    }
}
