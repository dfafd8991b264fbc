#include "ui/ControlsHint.h"

#include <algorithm>

#include "core/Log.h"
#include "core/PlayerFiles.h"
#include "core/Settings.h"
#include "ui/FontRenderer.h"
#include "ui/Ortho.h"

VORN_FILE_LOGGER("ControlsHint")

namespace {

constexpr float kTextSize = 16.0f;
constexpr int kLineHeight = 20;
constexpr int kPadding = 10;
// In the bottom-left corner: clear of the ball in the middle of the view and of the
// messages, which stack up from the bottom-right one.
constexpr int kMargin = 15;
constexpr int kBottomMargin = 40;

} // namespace

std::filesystem::path ControlsHint::seenFile() {
    return PlayerFiles::stateDir() / "controls-hint-seen";
}

// The keys are the player's own, as bound in the options.
std::vector<std::string> ControlsHint::lines() {
    const Bindings& keys = Settings::active().bindings;
    const auto name = [&keys](Bindings::Action action) { return Bindings::nameOfCode(keys.codeOf(action)); };
    return {
        name(Bindings::RollForward) + " " + name(Bindings::RollLeft) + " " + name(Bindings::RollBack) + " " +
            name(Bindings::RollRight) + ": roll    " + name(Bindings::Jump) + ": jump (hold: higher)",
        name(Bindings::Boost) + ": boost    " + name(Bindings::Brake) + ": brake",
        "Mouse: look (2 frees the cursor)    F1: help",
        "Orange bar: energy, it burns away;",
        "  gold crystals refill it.",
        "Blue bar: turbo for boosts;",
        "  blue crystals fill it.",
    };
}

void ControlsHint::offer() {
    if (!showing && !PlayerFiles::read(seenFile())) {
        showing = true;
        stepsShown = 0;
    }
}

void ControlsHint::advance(int steps, bool checkpointReached) {
    if (!showing) {
        return;
    }
    stepsShown += steps;
    if (checkpointReached || stepsShown >= kSteps) {
        finish();
    }
}

// Even when the file cannot be written the hint ends; it comes again next time.
void ControlsHint::finish() {
    showing = false;
    if (!PlayerFiles::replace(seenFile(), "shown\n")) {
        LOG_WARN("The controls hint will show again at the next start");
    }
}

void ControlsHint::render() const {
    const FontRenderer* font = FontRenderer::getInstance();
    const std::vector<std::string> text = lines();
    int width = 0;
    for (const std::string& line : text) {
        width = std::max(width, font->getTextWidth(line, kTextSize));
    }
    const Ortho::Size window = Ortho::windowSize();
    const int height = static_cast<int>(text.size()) * kLineHeight;
    const int left = kMargin + kPadding;
    const int top = window.height - kBottomMargin - height;
    Ortho::fill({static_cast<float>(left - kPadding), static_cast<float>(top - kPadding),
                 static_cast<float>(left + width + kPadding), static_cast<float>(top + height + kPadding)},
                0.0f, 0.0f, 0.0f, 0.6f);
    int y = top;
    for (const std::string& line : text) {
        font->drawText(line, kTextSize, static_cast<float>(left), static_cast<float>(y));
        y += kLineHeight;
    }
}
