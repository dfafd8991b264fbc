#pragma once

#include <string>
#include <vector>

#include "render/GlSavedState.h"

// A full-window screen outside of play. Every menu registers all menu images at
// construction and fetches them when it draws; it reacts to key presses only.
class Menu {
public:
    Menu();
    virtual ~Menu() = default;
    Menu(const Menu&) = delete;
    Menu& operator=(const Menu&) = delete;

    // Once per frame while current.
    virtual void update() {}
    virtual void render() = 0;
    // The menu becomes current.
    virtual void enter() {}
    // It stops being current.
    virtual void leave() {}
    // A key event with the game's key code and action.
    virtual void keyEvent(int key, int action) = 0;
    virtual void playClick();
    virtual void playClick2();

    // The highlighted item, from 0.
    int selection = 0;

    static constexpr const char* kContinue = "../textures/MainMenu/continue.png";
    static constexpr const char* kContinueHighlighted = "../textures/MainMenu/continue_highlighted.png";
    static constexpr const char* kNew = "../textures/MainMenu/new.png";
    static constexpr const char* kNewHighlighted = "../textures/MainMenu/new_highlighted.png";
    static constexpr const char* kExit = "../textures/MainMenu/exit.png";
    static constexpr const char* kExitHighlighted = "../textures/MainMenu/exit_highlighted.png";
    static constexpr const char* kLogo = "../textures/MainMenu/logo.png";
    static constexpr const char* kRespawn = "../textures/MainMenu/respawn.png";
    static constexpr const char* kRespawnHighlighted = "../textures/MainMenu/respawn_highlighted.png";
    static constexpr const char* kMainMenu = "../textures/MainMenu/mainmenu.png";
    static constexpr const char* kMainMenuHighlighted = "../textures/MainMenu/mainmenu_highlighted.png";
    static constexpr const char* kLoading = "../textures/MainMenu/loading.png";
    static constexpr const char* kComplete = "../textures/MainMenu/complete.png";
    static constexpr const char* kCampaignComplete = "../textures/MainMenu/campaign.png";
    static constexpr const char* kLevels = "../textures/MainMenu/levels.png";
    static constexpr const char* kLevelsHighlighted = "../textures/MainMenu/levels_highlighted.png";
    static constexpr const char* kReplays = "../textures/MainMenu/replays.png";
    static constexpr const char* kReplaysHighlighted = "../textures/MainMenu/replays_highlighted.png";
    static constexpr const char* kNextLevel = "../textures/MainMenu/nextlevel.png";
    static constexpr const char* kNextLevelHighlighted = "../textures/MainMenu/nextlevel_highlighted.png";
    static constexpr const char* kOptions = "../textures/MainMenu/options.png";
    static constexpr const char* kOptionsHighlighted = "../textures/MainMenu/options_highlighted.png";

    static constexpr const char* kClickSound = "../sounds/menu/click.ogg";
    static constexpr const char* kClick2Sound = "../sounds/menu/click2.ogg";
    static constexpr const char* kStartGameSound = "../sounds/menu/startgame.ogg";
    static constexpr const char* kGameOverSound = "../sounds/menu/gameover.ogg";
    static constexpr const char* kGameWinSound = "../sounds/menu/gamewin.ogg";

    struct ImageSize {
        float width;
        float height;
    };

protected:
    // Keeps the GL state and draws from a reset modelview matrix while it lives.
    class Layout {
    public:
        Layout();
        ~Layout();
        Layout(const Layout&) = delete;
        Layout& operator=(const Layout&) = delete;

    private:
        GlSavedState state{GlSavedState::kOverlay, {GL_TEXTURE_2D}};
    };

    // An image's size fitted into `fraction` of the window height and into its
    // width; never enlarged. Zero when the image cannot be loaded.
    static ImageSize fittedSize(const std::string& texture, float fraction);
    // The image at that size, centred across the window with its top edge at `top`.
    static void drawCentred(const std::string& texture, ImageSize size, float top, float alpha = 1.0f);
    // Fills the window black.
    static void drawBackground();
    static void playSound(const std::string& file);
    static void changeState(int state);
    // Centred lines of text from `top` down, `spacing` pixels apart.
    static void drawTextLines(const std::vector<std::string>& lines, float size, float top, float spacing);

    // What a pressed key means in a list: W/S and the arrows move, A/D and the side arrows change
    // a value, Enter chooses and Escape goes back.
    enum class ListKey { None, Up, Down, Left, Right, Choose, Back };
    static ListKey listKey(int key);
    // The lit band behind the highlighted row, a line of `textSize` at `top`, between the
    // fractions `from` and `to` of the window's width.
    static void drawHighlight(float from, float to, float top, float textSize);
};
