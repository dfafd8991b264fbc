#include "ui/ReplayMenu.h"

#include <algorithm>
#include <ctime>

#include "core/GameState.h"
#include "platform/GlfwKeys.h"
#include "ui/Campaign.h"
#include "ui/LevelLink.h"
#include "ui/Ortho.h"

namespace {

constexpr float kTitleSize = 32.0f;
constexpr float kListTop = 0.3f;
constexpr float kNoticeTop = 0.9f;

std::string dateOf(std::int64_t when) {
    const std::time_t time = static_cast<std::time_t>(when);
    std::tm local{};
    localtime_r(&time, &local);
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%d %H:%M", &local);
    return text;
}

} // namespace

// The list is read afresh each time: a run just played is in it. No level stays current here.
void ReplayMenu::enter() {
    LevelLink::get().leaveCurrentLevel();
    listed = ReplayLibrary::list(folder.empty() ? ReplayLibrary::folder() : folder);
    selection = 0;
    why.clear();
}

std::string ReplayMenu::lineOf(const ReplayLibrary::Entry& entry) {
    const auto time = static_cast<Milliseconds>(entry.steps * 1000.0 / 60.0 + 0.5);
    return entry.header.levelName + "   " + dateOf(entry.header.recordedAt) + "   " +
           Campaign::formatTime(time) + "   " + (entry.finished ? "finished" : "not finished");
}

void ReplayMenu::render() {
    const Layout layout;
    drawBackground();
    const float height = static_cast<float>(Ortho::windowSize().height);
    drawCentred(kLogo, fittedSize(kLogo, 0.22f), 0.0f);
    drawTextLines({kTitle}, kTitleSize, 0.22f * height, kTitleSize);
    if (listed.empty()) {
        drawTextLines({kNone}, kTextSize, kListTop * height, kTextSize);
        return;
    }
    // A window of the list around the highlight.
    const int first =
        std::clamp(selection - kShown / 2, 0, std::max(0, static_cast<int>(listed.size()) - kShown));
    const int last = std::min(static_cast<int>(listed.size()), first + kShown);
    const float spacing = std::min(kTextSize * 1.4f, (kNoticeTop - 0.02f - kListTop) * height / kShown);
    for (int index = first; index < last; ++index) {
        const float top = kListTop * height + spacing * static_cast<float>(index - first);
        if (index == selection) {
            drawHighlight(0.05f, 0.95f, top, kTextSize);
        }
        drawTextLines({lineOf(listed[static_cast<std::size_t>(index)])}, kTextSize, top, spacing);
    }
    if (!why.empty()) {
        drawTextLines({why}, kTextSize, kNoticeTop * height, kTextSize);
    }
}

void ReplayMenu::keyEvent(int key, int action) {
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
        choose();
        break;
    case ListKey::Back:
        changeState(MAIN_MENU);
        playClick2();
        break;
    default:
        break;
    }
}

void ReplayMenu::move(int by) {
    selection = std::clamp(selection + by, 0, std::max(static_cast<int>(listed.size()) - 1, 0));
    why.clear();
    playClick();
}

void ReplayMenu::choose() {
    if (listed.empty() || !play) {
        playClick();
        return;
    }
    why = play(listed[static_cast<std::size_t>(selection)].path);
    if (why.empty()) {
        playSound(kStartGameSound);
    } else {
        playClick();
    }
}
