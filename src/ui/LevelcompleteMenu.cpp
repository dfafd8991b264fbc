#include "ui/LevelcompleteMenu.h"

#include "core/GameState.h"
#include "ui/Campaign.h"
#include "ui/LevelLink.h"
#include "ui/Ortho.h"

namespace {

const ChoiceMenu::Item kNextItem{Menu::kNextLevel, Menu::kNextLevelHighlighted};
const ChoiceMenu::Item kMainMenuItem{Menu::kMainMenu, Menu::kMainMenuHighlighted};

} // namespace

LevelcompleteMenu::LevelcompleteMenu() : ChoiceMenu({kNextItem, kMainMenuItem}) {}

std::vector<std::string> LevelcompleteMenu::resultLines() {
    const std::optional<Campaign::Result>& result = Campaign::getInstance()->lastResult();
    if (!result) {
        return {};
    }
    std::vector<std::string> lines{"Time " + Campaign::formatTime(result->time),
                                   "Best " + Campaign::formatTime(result->best)};
    if (const std::optional<int> par = LevelLink::get().levelParTime(result->level)) {
        lines.back() += "   Par " + Campaign::formatTime(static_cast<Milliseconds>(*par) * 1000);
    }
    if (result->newBest) {
        lines.emplace_back(kNewBest);
    }
    return lines;
}

void LevelcompleteMenu::render() {
    const Layout layout;
    drawBackground();
    const float height = static_cast<float>(Ortho::windowSize().height);
    drawCentred(kLogo, fittedSize(kLogo, 0.35f), 0.0f);
    const char* title = lastLevel ? kCampaignComplete : kComplete;
    drawCentred(title, fittedSize(title, 0.16f), 0.36f * height);
    // Three lines fit between the title and the items in any window.
    const float textSize = 0.05f * height;
    drawTextLines(resultLines(), textSize, 0.54f * height, textSize * 1.3f);
    drawItems(0.78f * height);
}

void LevelcompleteMenu::enter() {
    lastLevel = !Campaign::getInstance()->hasNextLevel();
    items = lastLevel ? std::vector<Item>{kMainMenuItem} : std::vector<Item>{kNextItem, kMainMenuItem};
    selection = 0;
    playSound(kGameWinSound);
}

void LevelcompleteMenu::choose() {
    if (!lastLevel && selection == 0) {
        Campaign::getInstance()->chooseNext();
        changeState(LOADING);
        playSound(kStartGameSound);
        return;
    }
    escape();
}

void LevelcompleteMenu::escape() {
    changeState(MAIN_MENU);
    playClick2();
}
