#pragma once

#include <filesystem>
#include <optional>
#include <string>

#include "core/Bindings.h"

class Config;

// What the player chose in the options menu: window, quality, sound and controls. Kept
// in "settings.ini" of the player's configuration folder; where the file says nothing,
// the main configuration's value stands, and the main configuration itself is never
// written. A damaged file is set aside once and the defaults apply.
class Settings {
public:
    enum class Quality { Low, Medium, High, Auto, Custom };

    // The rungs "auto" climbs down while frames are slow: first the render resolution,
    // then fire detail, then the shadows.
    struct QualityStep {
        float renderScale;
        float fireDetail;
        bool shadows;
    };
    static constexpr int kAutoSteps = 5;
    static const QualityStep kAutoLadder[kAutoSteps];

    int width = 640;
    int height = 480;
    bool fullscreen = false;
    bool vsync = true;

    Quality quality = Quality::Auto;
    bool shadows = true;
    // Per-pixel lighting and normal maps.
    bool perPixel = true;
    float fireDetail = 1.0f;
    float renderScale = 1.0f;
    // The rung of kAutoLadder that "auto" settled on.
    int autoStep = 0;

    float masterVolume = 1.0f;
    float musicVolume = 1.0f;
    float effectsVolume = 1.0f;

    // 1 turns the camera 0.5 degrees per pixel of mouse movement.
    float mouseSensitivity = 1.0f;
    bool invertLook = false;
    Bindings bindings;

    bool operator==(const Settings& other) const = default;

    // The main configuration's values, "auto" quality on top of them.
    static Settings fromConfig(const Config& config);
    // `defaults` with what the file at `path` says on top; a missing file gives
    // `defaults`, a damaged one is set aside with a warning and gives them too.
    static Settings load(const std::filesystem::path& path, const Settings& defaults);
    // Replaces the file as a whole; false when it cannot be written.
    bool save(const std::filesystem::path& path) const;
    std::string toText() const;

    // Sets the switches of a preset (High leaves the resolution whole and everything on).
    void choose(Quality preset);
    // Sets the switches of a rung of the auto ladder.
    void chooseAutoStep(int step);
    // The main configuration's keys these settings cover now answer with them.
    void applyTo(Config& config) const;

    static const char* nameOf(Quality quality);
    static std::optional<Quality> qualityNamed(const std::string& name);

    // "$XDG_CONFIG_HOME/vorn/settings.ini".
    static std::filesystem::path defaultFile();
    // The settings of this run; the options menu changes them and the game applies them.
    static Settings& active();
};
