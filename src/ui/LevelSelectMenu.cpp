#include "ui/LevelSelectMenu.h"

#include <algorithm>

#include "core/GameState.h"
#include "platform/GlfwKeys.h"
#include "ui/Campaign.h"
#include "ui/FontRenderer.h"
#include "ui/LevelLink.h"
#include "ui/Ortho.h"

namespace {

constexpr float kTitleSize = 32.0f;
constexpr float kListTop = 0.3f;

} // namespace

// The highlight starts on the level Continue would play.
void LevelSelectMenu::enter() {
    selection = Campaign::getInstance()->continueLevel();
}

std::string LevelSelectMenu::lineOf(int level) {
    Progress& progress = Campaign::getInstance()->progress();
    std::string line = std::to_string(level + 1) + ". " + LevelLink::get().levelName(level) + "   ";
    if (!progress.isUnlocked(level)) {
        return line + kLocked;
    }
    const std::optional<Milliseconds> best = progress.bestTime(level);
    return line + (best ? "best " + Campaign::formatTime(*best) : "-:--.-");
}

// The highlighted line sits on a lit band; a locked one is dimmed by a dark band over it.
void LevelSelectMenu::render() {
    const Layout layout;
    drawBackground();
    const float height = static_cast<float>(Ortho::windowSize().height);
    const float width = static_cast<float>(Ortho::windowSize().width);
    drawCentred(kLogo, fittedSize(kLogo, 0.22f), 0.0f);
    drawTextLines({kTitle}, kTitleSize, 0.22f * height, kTitleSize);
    const int count = LevelLink::get().levelCount();
    const float spacing = std::min(kTextSize * 1.5f, (0.95f - kListTop) * height / static_cast<float>(count));
    const Progress& progress = Campaign::getInstance()->progress();
    for (int level = 0; level < count; ++level) {
        const float top = kListTop * height + spacing * static_cast<float>(level);
        if (level == selection) {
            drawHighlight(0.15f, 0.85f, top, kTextSize);
        }
        drawTextLines({lineOf(level)}, kTextSize, top, spacing);
        if (!progress.isUnlocked(level)) {
            Ortho::fill({0.0f, top - 2.0f, width, top + kTextSize + 2.0f}, 0.0f, 0.0f, 0.0f, 0.55f);
        }
    }
}

void LevelSelectMenu::keyEvent(int key, int action) {
    if (action != GlfwKeys::PRESS) {
        return;
    }
    switch (listKey(key)) {
    case ListKey::Up:
        move(-1);
        break;
    case ListKey::Down:
        move(1);
        break;
    case ListKey::Choose:
        play();
        break;
    case ListKey::Back:
        changeState(MAIN_MENU);
        playClick2();
        break;
    default:
        break;
    }
}

void LevelSelectMenu::move(int by) {
    const int count = LevelLink::get().levelCount();
    selection = std::clamp(selection + by, 0, std::max(count - 1, 0));
    playClick();
}

// A locked level answers with the plain click and stays.
void LevelSelectMenu::play() {
    Campaign* campaign = Campaign::getInstance();
    if (selection >= LevelLink::get().levelCount() || !campaign->progress().isUnlocked(selection)) {
        playClick();
        return;
    }
    campaign->choose(selection);
    changeState(LOADING);
    playSound(kStartGameSound);
}
