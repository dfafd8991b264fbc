#pragma once

#include <array>
#include <optional>
#include <string>

// The one table from the player's actions to the keys and mouse buttons that do them.
// The controls read actions through it, never raw keys, so a rebinding reaches every
// reader at once. A code is a key code of GlfwKeys, or kMouseButton plus a button.
class Bindings {
public:
    enum Action {
        RollForward,
        RollBack,
        RollLeft,
        RollRight,
        Jump,
        Boost,
        Brake,
        Fire,
        Respawn,
        Pause,
        Screenshot,
        kActionCount
    };

    static constexpr int kMouseButton = 1000;
    static constexpr int kUnbound = -1;

    Bindings();

    int codeOf(Action action) const { return codes[action]; }
    // The action bound to `code`, if any.
    std::optional<Action> actionOf(int code) const;
    // Binds `code` to `action`, unless another action has it: then nothing changes and
    // that other action comes back.
    std::optional<Action> bind(Action action, int code);
    // Without the check, for a table that is checked as a whole.
    void set(Action action, int code) { codes[action] = code; }
    void resetToDefaults();
    bool operator==(const Bindings& other) const = default;

    // Held now (sticky, as the window library reads it).
    bool held(Action action) const;
    // Whether a key or button event with the game's code is `action`'s.
    bool isKey(Action action, int key) const { return key != kUnbound && codes[action] == key; }

    static const char* nameOf(Action action);
    // The word a settings file uses for the action ("rollforward").
    static const char* settingOf(Action action);
    // A key's or button's name as a player knows it ("W", "Space", "Left mouse").
    static std::string nameOfCode(int code);
    static bool isValidCode(int code);

private:
    std::array<int, kActionCount> codes{};
};
