#include "core/Settings.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>
#include <functional>
#include <sstream>

#include <iniparser.h>

#include "core/Config.h"
#include "core/PlayerFiles.h"

namespace {

constexpr int kMaxWindowSide = 16384;
constexpr const char* kQualityNames[] = {"low", "medium", "high", "auto", "custom"};

// One file read as the ini library reads it; an entry that is no number, no yes/no or
// out of range makes the whole file damaged.
class Reader {
public:
    explicit Reader(dictionary* dict) : dict(dict) {}

    void number(const char* key, float& value, float low, float high) {
        const char* text = iniparser_getstring(dict, key, nullptr);
        if (!text) {
            return;
        }
        char* end = nullptr;
        const float read = std::strtof(text, &end);
        if (end == text || *end != '\0' || !std::isfinite(read) || read < low || read > high) {
            damaged = true;
            return;
        }
        value = read;
    }

    void whole(const char* key, int& value, int low, int high) {
        float read = static_cast<float>(value);
        number(key, read, static_cast<float>(low), static_cast<float>(high));
        if (read != std::floor(read)) {
            damaged = true;
            return;
        }
        value = static_cast<int>(read);
    }

    void flag(const char* key, bool& value) {
        const int read = iniparser_getboolean(dict, key, -1);
        if (read == -1 && iniparser_find_entry(dict, key)) {
            damaged = true;
        } else if (read != -1) {
            value = read == 1;
        }
    }

    void quality(const char* key, Settings::Quality& value) {
        const char* text = iniparser_getstring(dict, key, nullptr);
        if (!text) {
            return;
        }
        if (const std::optional<Settings::Quality> named = Settings::qualityNamed(text)) {
            value = *named;
        } else {
            damaged = true;
        }
    }

    void bindings(Bindings& bindings) {
        Bindings read = bindings;
        std::array<int, Bindings::kActionCount> codes{};
        for (int action = 0; action < Bindings::kActionCount; ++action) {
            codes[action] = read.codeOf(static_cast<Bindings::Action>(action));
            const std::string key =
                std::string("controls:") + Bindings::settingOf(static_cast<Bindings::Action>(action));
            whole(key.c_str(), codes[action], 0, Bindings::kMouseButton * 2);
            if (!Bindings::isValidCode(codes[action])) {
                damaged = true;
            }
        }
        // Two actions on one key cannot be told apart: such a table is no table.
        for (int action = 0; action < Bindings::kActionCount; ++action) {
            if (std::count(codes.begin(), codes.end(), codes[action]) > 1) {
                damaged = true;
                return;
            }
        }
        for (int action = 0; action < Bindings::kActionCount; ++action) {
            read.set(static_cast<Bindings::Action>(action), codes[action]);
        }
        bindings = read;
    }

    bool damaged = false;

private:
    dictionary* dict;
};

std::string yesNo(bool value) {
    return value ? "true" : "false";
}

} // namespace

const Settings::QualityStep Settings::kAutoLadder[kAutoSteps] = {
    {1.0f, 1.0f, true}, {0.8f, 1.0f, true}, {0.65f, 0.6f, true}, {0.65f, 0.6f, false}, {0.5f, 0.35f, false}};

Settings Settings::fromConfig(const Config& config) {
    Settings settings;
    settings.width = config.getPositiveInt("window:width", 640);
    settings.height = config.getPositiveInt("window:height", 480);
    settings.fullscreen = config.getBool("window:fullscreen", false);
    settings.vsync = config.getBool("window:vsync", true);
    settings.shadows = config.getBool("GameSettings:shadows", true);
    settings.perPixel =
        config.getBool("GameSettings:shader", true) && config.getBool("GameSettings:bumpmaps", true);
    return settings;
}

Settings Settings::load(const std::filesystem::path& path, const Settings& defaults) {
    std::error_code error;
    if (!std::filesystem::exists(path, error)) {
        return defaults;
    }
    dictionary* dict = std::filesystem::is_regular_file(path, error) ? iniparser_load(path.c_str()) : nullptr;
    if (!dict) {
        PlayerFiles::setAside(path, "cannot be read as settings");
        return defaults;
    }
    Settings settings = defaults;
    Reader read(dict);
    read.whole("window:width", settings.width, 1, kMaxWindowSide);
    read.whole("window:height", settings.height, 1, kMaxWindowSide);
    read.flag("window:fullscreen", settings.fullscreen);
    read.flag("window:vsync", settings.vsync);
    // A preset sets the switches the file does not name itself.
    read.whole("quality:autostep", settings.autoStep, 0, kAutoSteps - 1);
    read.quality("quality:preset", settings.quality);
    settings.choose(settings.quality);
    read.flag("quality:shadows", settings.shadows);
    read.flag("quality:perpixel", settings.perPixel);
    read.number("quality:firedetail", settings.fireDetail, 0.0f, 1.0f);
    read.number("quality:renderscale", settings.renderScale, 0.25f, 1.0f);
    read.number("sound:master", settings.masterVolume, 0.0f, 1.0f);
    read.number("sound:music", settings.musicVolume, 0.0f, 1.0f);
    read.number("sound:effects", settings.effectsVolume, 0.0f, 1.0f);
    read.number("controls:mousesensitivity", settings.mouseSensitivity, 0.1f, 10.0f);
    read.flag("controls:invertlook", settings.invertLook);
    read.bindings(settings.bindings);
    iniparser_freedict(dict);
    if (read.damaged) {
        PlayerFiles::setAside(path, "holds a setting that cannot be used");
        return defaults;
    }
    return settings;
}

std::string Settings::toText() const {
    std::ostringstream text;
    text << "; Vorn's settings, written by its options menu\n\n"
         << "[window]\nwidth = " << width << "\nheight = " << height << "\nfullscreen = " << yesNo(fullscreen)
         << "\nvsync = " << yesNo(vsync) << "\n\n"
         << "[quality]\npreset = " << nameOf(quality) << "\nshadows = " << yesNo(shadows)
         << "\nperpixel = " << yesNo(perPixel) << "\nfiredetail = " << fireDetail
         << "\nrenderscale = " << renderScale << "\nautostep = " << autoStep << "\n\n"
         << "[sound]\nmaster = " << masterVolume << "\nmusic = " << musicVolume
         << "\neffects = " << effectsVolume << "\n\n"
         << "[controls]\nmousesensitivity = " << mouseSensitivity << "\ninvertlook = " << yesNo(invertLook)
         << "\n";
    for (int action = 0; action < Bindings::kActionCount; ++action) {
        const auto which = static_cast<Bindings::Action>(action);
        text << Bindings::settingOf(which) << " = " << bindings.codeOf(which) << "\n";
    }
    return text.str();
}

bool Settings::save(const std::filesystem::path& path) const {
    return PlayerFiles::replace(path, toText());
}

void Settings::choose(Quality preset) {
    quality = preset;
    switch (preset) {
    case Quality::Low:
        shadows = false;
        perPixel = false;
        fireDetail = 0.35f;
        renderScale = 0.5f;
        break;
    case Quality::Medium:
        shadows = true;
        perPixel = true;
        fireDetail = 0.6f;
        renderScale = 0.75f;
        break;
    case Quality::High:
        shadows = true;
        perPixel = true;
        fireDetail = 1.0f;
        renderScale = 1.0f;
        break;
    case Quality::Auto:
        chooseAutoStep(autoStep);
        break;
    case Quality::Custom:
        break;
    }
}

void Settings::chooseAutoStep(int step) {
    autoStep = std::clamp(step, 0, kAutoSteps - 1);
    const QualityStep& rung = kAutoLadder[autoStep];
    renderScale = rung.renderScale;
    fireDetail = rung.fireDetail;
    shadows = rung.shadows;
}

void Settings::applyTo(Config& config) const {
    config.setOverride("window:width", std::to_string(width));
    config.setOverride("window:height", std::to_string(height));
    config.setOverride("window:fullscreen", yesNo(fullscreen));
    config.setOverride("window:vsync", yesNo(vsync));
    config.setOverride("GameSettings:shadows", yesNo(shadows));
    config.setOverride("GameSettings:shader", yesNo(perPixel));
    config.setOverride("GameSettings:bumpmaps", yesNo(perPixel));
    config.shadows = shadows;
    config.fireDetail = fireDetail;
    config.renderScale = renderScale;
}

const char* Settings::nameOf(Quality quality) {
    return kQualityNames[static_cast<int>(quality)];
}

std::optional<Settings::Quality> Settings::qualityNamed(const std::string& name) {
    for (int i = 0; i < 5; ++i) {
        if (name == kQualityNames[i]) {
            return static_cast<Quality>(i);
        }
    }
    return std::nullopt;
}

std::filesystem::path Settings::defaultFile() {
    return PlayerFiles::configDir() / "settings.ini";
}

Settings& Settings::active() {
    static Settings settings;
    return settings;
}
