#include <gtest/gtest.h>

#include <filesystem>
#include <vector>

#include "LogCapture.h"
#include "TempDataRoot.h"
#include "core/Config.h"
#include "core/QualityTuner.h"
#include "core/Settings.h"
#include "core/Util.h"
#include "platform/GlfwKeys.h"

namespace {

namespace fs = std::filesystem;

const char* kMainIni = "[window]\nwidth = 800\nheight = 600\nfullscreen = false\nvsync = true\n"
                       "[GameSettings]\nshadows = false\nshader = true\nbumpmaps = true\n";

Settings changedSettings() {
    Settings settings;
    settings.width = 1280;
    settings.height = 720;
    settings.fullscreen = true;
    settings.vsync = false;
    settings.choose(Settings::Quality::Medium);
    settings.autoStep = 3;
    settings.masterVolume = 0.5f;
    settings.musicVolume = 0.2f;
    settings.effectsVolume = 0.9f;
    settings.mouseSensitivity = 1.7f;
    settings.invertLook = true;
    EXPECT_FALSE(settings.bindings.bind(Bindings::Jump, 'J'));
    EXPECT_FALSE(settings.bindings.bind(Bindings::Brake, GlfwKeys::KEY_LSHIFT));
    return settings;
}

TEST(SettingsTest, WhatIsSavedLoadsBackTheSame) {
    const TempDataRoot data;
    const Settings saved = changedSettings();
    ASSERT_TRUE(saved.save(Settings::defaultFile()));
    EXPECT_EQ(Settings::defaultFile(), data.root() / "xdg/config/vorn/settings.ini");
    EXPECT_EQ(Settings::load(Settings::defaultFile(), Settings{}), saved);
    EXPECT_EQ(std::distance(fs::directory_iterator(Settings::defaultFile().parent_path()),
                            fs::directory_iterator{}),
              1)
        << "replaced through a temporary file that is gone";
}

// The settings win for the keys they cover; the main configuration and its hash stay.
TEST(SettingsTest, TheFileOverridesTheMainConfigurationWhichStaysAsItIs) {
    const TempDataRoot data;
    data.write("Vorn.ini", kMainIni);
    Config config("../Vorn.ini");
    const std::string hash = Util::calcHash(Util::kConfigSalt, "../Vorn.ini");

    const Settings fromIni = Settings::fromConfig(config);
    EXPECT_EQ(fromIni.width, 800);
    EXPECT_FALSE(fromIni.shadows);
    EXPECT_EQ(Settings::load(Settings::defaultFile(), fromIni), fromIni)
        << "no file: the main configuration's";

    data.write("xdg/config/vorn/settings.ini", "[window]\nwidth = 1024\n[quality]\nperpixel = false\n");
    const Settings loaded = Settings::load(Settings::defaultFile(), fromIni);
    EXPECT_EQ(loaded.width, 1024);
    EXPECT_EQ(loaded.height, 600) << "a key the file leaves out keeps the main configuration's value";
    loaded.applyTo(config);
    EXPECT_EQ(config.getInt("window:width", 0), 1024);
    EXPECT_EQ(config.getInt("WINDOW:height", 0), 600);
    EXPECT_FALSE(config.getBool("GameSettings:shader", true));
    EXPECT_FALSE(config.getBool("GameSettings:bumpmaps", true));
    EXPECT_EQ(data.read("Vorn.ini"), kMainIni);
    EXPECT_EQ(Util::calcHash(Util::kConfigSalt, "../Vorn.ini"), hash);
}

TEST(SettingsTest, APresetSetsTheSwitchesTheFileDoesNotName) {
    const TempDataRoot data;
    const fs::path file =
        data.write("xdg/config/vorn/settings.ini", "[quality]\npreset = low\nshadows = true\n");
    const Settings loaded = Settings::load(file, Settings{});
    EXPECT_EQ(loaded.quality, Settings::Quality::Low);
    EXPECT_EQ(loaded.renderScale, 0.5f);
    EXPECT_FALSE(loaded.perPixel);
    EXPECT_TRUE(loaded.shadows) << "named in the file";
}

TEST(SettingsTest, ADamagedFileIsSetAsideWithOneWarningAndTheDefaultsApply) {
    const std::vector<std::string> damaged = {
        "[window\nwidth = 1024\n",        // no section
        "[sound]\nmaster = loud\n",       // no number
        "[sound]\nmusic = 1.5\n",         // out of range
        "[window]\nfullscreen = maybe\n", // no yes or no
        "[quality]\npreset = ultra\n",    // no preset
        "[controls]\njump = 87\n",        // W twice: roll forward has it
        "[controls]\nboost = 99999\n",    // no key
    };
    for (const std::string& text : damaged) {
        const TempDataRoot data;
        const fs::path file = data.write("xdg/config/vorn/settings.ini", text);
        Settings defaults;
        defaults.width = 333;
        LogCapture log;
        EXPECT_EQ(Settings::load(file, defaults), defaults) << text;
        EXPECT_EQ(log.problems().size(), 1u) << text;
        EXPECT_FALSE(fs::exists(file)) << text;
        EXPECT_EQ(data.read("xdg/config/vorn/settings.ini.bad"), text);
    }
}

TEST(SettingsTest, ABindingAlreadyTakenIsRefusedAndResetBringsBackTheDefaults) {
    Bindings bindings;
    EXPECT_EQ(bindings.bind(Bindings::Jump, 'W'), Bindings::RollForward);
    EXPECT_EQ(bindings.codeOf(Bindings::Jump), GlfwKeys::KEY_SPACE) << "nothing changed";
    EXPECT_FALSE(bindings.bind(Bindings::Jump, 'J'));
    EXPECT_FALSE(bindings.bind(Bindings::Jump, 'J')) << "binding the key it has is no conflict";
    EXPECT_EQ(bindings.actionOf('J'), Bindings::Jump);
    EXPECT_FALSE(bindings.actionOf(GlfwKeys::KEY_SPACE));
    bindings.resetToDefaults();
    EXPECT_EQ(bindings, Bindings{});
    EXPECT_EQ(Bindings::nameOfCode(GlfwKeys::KEY_SPACE), "Space");
    EXPECT_EQ(Bindings::nameOfCode(Bindings::kMouseButton + GlfwKeys::MOUSE_BUTTON_LEFT), "Left mouse");
    EXPECT_EQ(Bindings::nameOfCode('Q'), "Q");
    EXPECT_EQ(Bindings::nameOfCode(GlfwKeys::KEY_F1 + 11), "F12");
}

TEST(SettingsTest, PresetsAndTheAutoLadderSetTheirSwitches) {
    Settings settings;
    settings.choose(Settings::Quality::Low);
    EXPECT_FALSE(settings.shadows);
    EXPECT_FALSE(settings.perPixel);
    EXPECT_LT(settings.renderScale, 1.0f);
    settings.choose(Settings::Quality::High);
    EXPECT_TRUE(settings.shadows && settings.perPixel);
    EXPECT_EQ(settings.renderScale, 1.0f);
    EXPECT_EQ(settings.fireDetail, 1.0f);
    // Each rung down draws less than the one above it.
    for (int step = 1; step < Settings::kAutoSteps; ++step) {
        const Settings::QualityStep& above = Settings::kAutoLadder[step - 1];
        const Settings::QualityStep& below = Settings::kAutoLadder[step];
        EXPECT_TRUE(below.renderScale < above.renderScale || below.fireDetail < above.fireDetail ||
                    below.shadows < above.shadows)
            << step;
    }
    settings.chooseAutoStep(99);
    EXPECT_EQ(settings.autoStep, Settings::kAutoSteps - 1);
}

// Frames of one length for `seconds` of play.
int playFrames(QualityTuner& tuner, double milliseconds, double seconds) {
    for (double time = 0.0; time < seconds * 1000.0; time += milliseconds) {
        tuner.addFrame(milliseconds);
    }
    return tuner.step();
}

TEST(QualityTunerTest, ASlowMachineStepsDownUntilFramesAreFastEnough) {
    QualityTuner tuner(0, 5);
    EXPECT_EQ(playFrames(tuner, 50.0, 0.4), 0) << "the warm-up is not judged";
    EXPECT_EQ(playFrames(tuner, 50.0, 2.2), 1);
    EXPECT_EQ(playFrames(tuner, 45.0, 2.6), 2);
    EXPECT_FALSE(tuner.settled());
    EXPECT_EQ(playFrames(tuner, 25.0, 2.6), 2);
    EXPECT_TRUE(tuner.settled()) << "between 12 and 33 ms it stays";
    EXPECT_EQ(playFrames(tuner, 80.0, 10.0), 2) << "and is not judged again";

    QualityTuner hopeless(3, 5);
    EXPECT_EQ(playFrames(hopeless, 100.0, 30.0), 4);
    EXPECT_TRUE(hopeless.settled()) << "at the bottom of the ladder";
}

TEST(QualityTunerTest, AFastMachineStepsUpButNeverBackToARungFoundTooSlow) {
    QualityTuner tuner(4, 5);
    EXPECT_EQ(playFrames(tuner, 8.0, 2.6), 3);
    EXPECT_EQ(playFrames(tuner, 8.0, 2.6), 2);
    EXPECT_EQ(playFrames(tuner, 40.0, 2.6), 3) << "too slow one rung up";
    EXPECT_EQ(playFrames(tuner, 10.0, 2.6), 3) << "fast again, but the rung above was too slow";
    EXPECT_TRUE(tuner.settled());

    QualityTuner top(0, 5);
    EXPECT_EQ(playFrames(top, 5.0, 3.0), 0);
    EXPECT_TRUE(top.settled()) << "nothing above the best";
}

} // namespace
