#include "ui/MainMenu.h"

#include "core/GameState.h"
#include "ui/Campaign.h"
#include "ui/FontRenderer.h"
#include "ui/LevelLink.h"
#include "ui/MenuManager.h"
#include "ui/Ortho.h"

namespace {

constexpr float kTextSize = 16.0f;
constexpr int kLineSpacing = 18;
constexpr int kMargin = 15;
constexpr float kNoticeTop = 0.85f;

// Centred lines from below the items down to the bottom edge; what does not fit is left out.
void drawNotice(const std::string& reason) {
    const FontRenderer* font = FontRenderer::getInstance();
    const Ortho::Size window = Ortho::windowSize();
    std::vector<std::string> lines =
        font->wrapLines(MainMenu::kLoadFailed, kTextSize, window.width - 2 * kMargin);
    for (const std::string& line : font->wrapLines(reason, kTextSize, window.width - 2 * kMargin)) {
        lines.push_back(line);
    }
    int y = static_cast<int>(kNoticeTop * static_cast<float>(window.height));
    for (const std::string& line : lines) {
        if (y + kTextSize > window.height) {
            break;
        }
        const int x = (window.width - font->getTextWidth(line, kTextSize)) / 2;
        font->drawText(line, kTextSize, static_cast<float>(x), static_cast<float>(y));
        y += kLineSpacing;
    }
}

} // namespace

MainMenu::MainMenu()
    : ChoiceMenu({{kNew, kNewHighlighted},
                  {kContinue, kContinueHighlighted},
                  {kLevels, kLevelsHighlighted},
                  {kReplays, kReplaysHighlighted},
                  {kOptions, kOptionsHighlighted},
                  {kExit, kExitHighlighted}}) {}

void MainMenu::enter() {
    LevelLink::get().leaveCurrentLevel();
    selection = 0;
}

void MainMenu::render() {
    ChoiceMenu::render();
    const std::string reason = LevelLink::get().levelError(Campaign::getInstance()->level());
    if (!reason.empty()) {
        drawNotice(reason);
    }
}

void MainMenu::choose() {
    Campaign* campaign = Campaign::getInstance();
    switch (selection) {
    case kNewGameItem:
    case kContinueItem:
        campaign->choose(selection == kNewGameItem ? 0 : campaign->continueLevel());
        changeState(LOADING);
        playSound(kStartGameSound);
        break;
    case kLevelsItem:
        changeState(LEVEL_SELECT);
        playClick2();
        break;
    case kReplaysItem:
        changeState(REPLAYS);
        playClick2();
        break;
    case kOptionsItem:
        playClick2();
        MenuManager::getInstance()->openOptions();
        break;
    default:
        changeState(EXIT);
        playClick2();
        break;
    }
}

void MainMenu::escape() {
    changeState(EXIT);
    playClick2();
}
