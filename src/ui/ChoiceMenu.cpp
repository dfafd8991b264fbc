#include "ui/ChoiceMenu.h"

#include <algorithm>

#include "platform/GlfwKeys.h"
#include "ui/Ortho.h"

ChoiceMenu::ChoiceMenu(std::vector<Item> items) : items(std::move(items)) {}

const char* ChoiceMenu::itemTexture(int item) const {
    return selection == item ? items[item].highlighted : items[item].texture;
}

Menu::ImageSize ChoiceMenu::itemSize() const {
    return fittedSize(items[0].texture, 0.06f);
}

float ChoiceMenu::itemsHeight() const {
    return itemSize().height * static_cast<float>(items.size());
}

void ChoiceMenu::drawItems(float top) const {
    const ImageSize size = itemSize();
    for (std::size_t item = 0; item < items.size(); ++item) {
        drawCentred(itemTexture(static_cast<int>(item)), size, top + size.height * static_cast<float>(item));
    }
}

// A longer column starts higher under a smaller logo, so that its last item stays clear of the bottom.
void ChoiceMenu::render() {
    const Layout layout;
    drawBackground();
    const float height = static_cast<float>(Ortho::windowSize().height);
    const float extra = std::max(0.0f, itemsHeight() - 2.0f * itemSize().height);
    drawCentred(kLogo, fittedSize(kLogo, 0.6f - extra / height), 0.0f);
    drawItems(0.7f * height - extra);
}

void ChoiceMenu::keyEvent(int key, int action) {
    if (action != GlfwKeys::PRESS) {
        return;
    }
    const int count = static_cast<int>(items.size());
    switch (listKey(key)) {
    case ListKey::Up:
        selection = (selection + count - 1) % count;
        playClick();
        break;
    case ListKey::Down:
        selection = (selection + 1) % count;
        playClick();
        break;
    case ListKey::Choose:
        choose();
        break;
    case ListKey::Back:
        escape();
        break;
    default:
        break;
    }
}
