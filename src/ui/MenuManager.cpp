#include "ui/MenuManager.h"

#include "audio/SoundManager.h"
#include "core/GameState.h"
#include "ui/GameoverMenu.h"
#include "ui/LevelSelectMenu.h"
#include "ui/LevelcompleteMenu.h"
#include "ui/LoadingMenu.h"
#include "ui/MainMenu.h"
#include "ui/OptionsMenu.h"
#include "ui/PauseMenu.h"
#include "ui/ReplayMenu.h"

MenuManager::MenuManager() {
    gameoverMenu = std::make_unique<GameoverMenu>();
    levelcompleteMenu = std::make_unique<LevelcompleteMenu>();
    mainMenu = std::make_unique<MainMenu>();
    loadingMenu = std::make_unique<LoadingMenu>();
    pauseMenu = std::make_unique<PauseMenu>();
    levelSelectMenu = std::make_unique<LevelSelectMenu>();
    replayMenu = std::make_unique<ReplayMenu>();
    optionsMenu = std::make_unique<OptionsMenu>();
    music = SoundManager::getInstance()->createSource(kMusicFile);
    if (music) {
        music->setLooping(true);
    }
}

// The sound manager is gone by now and has taken the music's source with it.
MenuManager::~MenuManager() = default;

Menu* MenuManager::menuOf(int state) const {
    switch (state) {
    case MAIN_MENU:
        return mainMenu.get();
    case LOADING:
        return loadingMenu.get();
    case PAUSED:
        return pauseMenu.get();
    case LEVEL_COMPLETE:
        return levelcompleteMenu.get();
    case GAME_OVER:
        return gameoverMenu.get();
    case LEVEL_SELECT:
        return levelSelectMenu.get();
    case REPLAYS:
        return replayMenu.get();
    default:
        return nullptr;
    }
}

void MenuManager::setState(int state) {
    if (currentMenu) {
        currentMenu->leave();
    }
    switchMusic(state);
    optionsOpenedFrom = nullptr;
    currentMenu = menuOf(state);
    if (currentMenu) {
        currentMenu->enter();
    }
}

void MenuManager::openOptions() {
    optionsOpenedFrom = currentMenu;
    currentMenu = optionsMenu.get();
    currentMenu->enter();
}

void MenuManager::closeOptions() {
    if (currentMenu == optionsMenu.get()) {
        currentMenu = optionsOpenedFrom;
    }
    optionsOpenedFrom = nullptr;
}

void MenuManager::switchMusic(int state) {
    if (!music) {
        return;
    }
    const bool sounding = music->isPlaying() || music->isPaused();
    if (state == IN_GAME && sounding) {
        music->stop();
    } else if (state != IN_GAME && !sounding) {
        music->play();
    }
}
