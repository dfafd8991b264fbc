#pragma once

#include "core/Singleton.h"

#include <memory>

class GameoverMenu;
class LevelSelectMenu;
class LevelcompleteMenu;
class LoadingMenu;
class MainMenu;
class Menu;
class OptionsMenu;
class PauseMenu;
class ReplayMenu;
class SoundSource;

// Owns the seven menus, knows the current one and plays the looping menu music
// whenever no level is being played.
class MenuManager : public Singleton<MenuManager> {
    friend class Singleton<MenuManager>;

public:
    ~MenuManager();
    MenuManager(const MenuManager&) = delete;
    MenuManager& operator=(const MenuManager&) = delete;

    // Leaves the current menu, starts or stops the music and enters the menu of `state`.
    void setState(int state);
    Menu* getCurrentMenu() const { return currentMenu; }
    // The menu shown in `state`; null in play, at exit and for unknown states.
    Menu* menuOf(int state) const;
    ReplayMenu& replays() const { return *replayMenu; }
    // The options over the current menu, which comes back when they close; the game state stays.
    void openOptions();
    void closeOptions();
    OptionsMenu* getOptionsMenu() const { return optionsMenu.get(); }
    // Null without an audio device.
    SoundSource* getMusic() const { return music; }

    static constexpr const char* kMusicFile = "../sounds/menu/background.ogg";

private:
    MenuManager();

    void switchMusic(int state);

    std::unique_ptr<MainMenu> mainMenu;
    std::unique_ptr<LoadingMenu> loadingMenu;
    std::unique_ptr<PauseMenu> pauseMenu;
    std::unique_ptr<LevelcompleteMenu> levelcompleteMenu;
    std::unique_ptr<GameoverMenu> gameoverMenu;
    std::unique_ptr<LevelSelectMenu> levelSelectMenu;
    std::unique_ptr<ReplayMenu> replayMenu;
    std::unique_ptr<OptionsMenu> optionsMenu;
    Menu* currentMenu = nullptr;
    Menu* optionsOpenedFrom = nullptr;
    SoundSource* music = nullptr;
};
