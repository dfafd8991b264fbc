#pragma once

#include <functional>
#include <string>
#include <vector>

#include "core/Settings.h"
#include "ui/Menu.h"

// The options, reached from the main menu and the pause menu: a first page that leads
// to the Video, Sound and Controls pages. Up and down (or W and S) pick a row, left and
// right (or A and D) change its value, Enter does what a row does (a binding row waits
// for the new key), Escape goes back a page and, from the first, to the menu it came
// from. Every change is applied at once and written to the settings file.
class OptionsMenu : public Menu {
public:
    enum class Page { Top, Video, Sound, Controls };

    // One line of a page: its label, its value, and what left/right and Enter do.
    struct Row {
        std::string label;
        std::string value;
        std::function<void(int direction)> change;
        std::function<void()> activate;
    };

    void enter() override;
    void render() override;
    void keyEvent(int key, int action) override;

    Page page() const { return current; }
    // The action waiting for its new key, if any.
    bool capturing() const { return capturedAction >= 0; }
    const std::string& notice() const { return message; }
    std::vector<Row> rows();

    // What the game does with changed settings (window, sound, quality): installed from above.
    std::function<void(const Settings&)> apply;
    // The window sizes to offer: the monitor's modes in full screen, free sizes in a window.
    std::function<std::vector<std::pair<int, int>>(bool fullscreen)> windowSizes;
    // Where the settings are written; the player's file unless a test says otherwise.
    std::function<std::filesystem::path()> settingsFile = Settings::defaultFile;

    static const char* title(Page page);
    static constexpr float kTextSize = 20.0f;

private:
    void open(Page page);
    void back();
    void changed();
    void capture(int code);
    std::vector<Row> topRows();
    std::vector<Row> videoRows();
    std::vector<Row> soundRows();
    std::vector<Row> controlsRows();
    Row backRow();

    Page current = Page::Top;
    int capturedAction = -1;
    std::string message;
};
