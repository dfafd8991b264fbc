#include "app/AutoQuality.h"

#include "app/SettingsEffects.h"
#include "core/Log.h"
#include "core/Settings.h"

VORN_FILE_LOGGER("AutoQuality")

AutoQuality::AutoQuality(std::function<Milliseconds()> clock) : clock(std::move(clock)) {}

bool AutoQuality::settled() const {
    return stopped || (tuner && tuner->settled());
}

void AutoQuality::frame(bool inPlay) {
    const Milliseconds now = clock();
    const std::optional<Milliseconds> previous = lastFrame;
    lastFrame = inPlay ? std::optional<Milliseconds>(now) : std::nullopt;
    Settings& settings = Settings::active();
    if (stopped || !inPlay || !previous || settings.quality != Settings::Quality::Auto) {
        return;
    }
    if (!tuner) {
        tuner.emplace(settings.autoStep, Settings::kAutoSteps);
    }
    if (tuner->settled()) {
        return;
    }
    const int step = tuner->addFrame(static_cast<double>(now - *previous));
    if (step != settings.autoStep) {
        settings.chooseAutoStep(step);
        const Settings::QualityStep& rung = Settings::kAutoLadder[step];
        LOG_INFO("Auto quality: step " << step << " (render scale " << rung.renderScale << ", fire detail "
                                       << rung.fireDetail << ", shadows " << (rung.shadows ? "on" : "off")
                                       << ")");
        SettingsEffects::apply(settings);
    }
    if (tuner->settled()) {
        LOG_INFO("Auto quality settled at step " << step);
        settings.save(Settings::defaultFile());
    }
}
