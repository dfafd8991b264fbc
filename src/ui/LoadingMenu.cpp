#include "ui/LoadingMenu.h"

#include <algorithm>
#include <cmath>

#include "core/Log.h"
#include "core/StateManager.h"
#include "core/TimeManager.h"
#include "render/TextureLoader.h"
#include "ui/Campaign.h"
#include "ui/LevelLink.h"
#include "ui/Ortho.h"

VORN_FILE_LOGGER("LoadingMenu")

namespace {

constexpr float kNameSize = 28.0f;

} // namespace

float LoadingMenu::pulse(Milliseconds elapsedMilliseconds) {
    return 0.6f + 0.4f * static_cast<float>(std::sin(static_cast<double>(elapsedMilliseconds) / 1000.0));
}

void LoadingMenu::enter() {
    LevelLink::get().loadLevel(Campaign::getInstance()->level());
    pulseStart = TimeManager::getInstance()->now;
    longestFrame = 0;
    firstFrame = true;
}

// The first frame still carries the key press that opened the menu, so it is not counted.
// A level that cannot be played sends the player back to the main menu, which says why.
void LoadingMenu::update() {
    const TimeManager* time = TimeManager::getInstance();
    if (!firstFrame) {
        longestFrame = std::max(longestFrame, time->frameDelta);
    }
    firstFrame = false;
    LevelLink& level = LevelLink::get();
    const int index = Campaign::getInstance()->level();
    const bool entered = level.enterLevel(index);
    if (!entered && level.levelError(index).empty()) {
        return;
    }
    LOG_INFO("Longest frame of the loading screen: " << longestFrame << " ms");
    if (entered) {
        TextureLoader::getInstance()->uploadTextures(true);
    }
    StateManager::getInstance()->setState(entered ? IN_GAME : MAIN_MENU);
}

void LoadingMenu::render() {
    const Layout layout;
    drawBackground();
    drawCentred(kLogo, fittedSize(kLogo, 0.6f), 0.0f);
    const float top = 0.7f * static_cast<float>(Ortho::windowSize().height);
    const ImageSize loading = fittedSize(kLoading, 0.1f);
    drawCentred(kLoading, loading, top, pulse(TimeManager::getInstance()->now - pulseStart));
    drawTextLines({LevelLink::get().levelName(Campaign::getInstance()->level())}, kNameSize,
                  top + loading.height + kNameSize / 2.0f, kNameSize);
}
